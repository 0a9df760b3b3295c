// ZOVStylemanagerClass.LoadConditionList: the conditions of one set as the restyle editor
// lists them.
#include <string>

#include "platform/core/text.h"
#include "restyle/property_table.h"
#include "stylemanager/stylemanager_class.h"

namespace stylemanager {

void ZOVStylemanagerClass::LoadConditionList(int32_t set_id) {
  platform::Queue<restyle::ConditionQueueRecord>& conditions = *CONDITIONQUEUE;
  conditions.Free();
  conditions.ClearBuffer();
  ReadConditions(set_id, conditions);
  for (size_t i = 1; i <= conditions.Records(); ++i) {
    conditions.Get(i);
    restyle::ConditionQueueRecord& c = conditions.buffer;
    c.MANUALVALUE = 0;
    c.PROPERTY = "";
    if (restyle::FindPropertyByNumber(*CLARIONCONTROLPROPERTIESQUEUE, c.PROPERTYEQUATE)) {
      c.PROPERTY = CLARIONCONTROLPROPERTIESQUEUE->buffer.PROPERTY.view();
    }
    if (c.PROPERTYEQUATE == 0) {
      c.CONDITION = platform::Clip(c.OPERATOR.view());
    } else {
      // The value keeps the blanks of its 128 bytes; the text is cut to 255.
      c.CONDITION = platform::Clip(c.CONTROL.view()) +
                    "{Prop:" + platform::Clip(c.PROPERTY.view()) + "} " +
                    platform::Clip(c.OPERATOR.view()) + " " + c.VALUE.Padded();
    }
    conditions.Put();
  }
  conditions.ClearBuffer();
}

}  // namespace stylemanager
