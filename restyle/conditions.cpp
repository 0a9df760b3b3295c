// The conditions of a set, read from the condition file in evaluation order.
#include "platform/core/text.h"
#include "restyle/restyle_base.h"
#include "restyle/restyle_class.h"

namespace restyle {

void ZOVRestyleBaseClass::ReadConditions(int32_t set_id,
                                         platform::Queue<ConditionQueueRecord>& conditions) {
  if (condition_file_ == nullptr || set_id == 0) return;
  condition_file_->Clear();
  *condition_set_id_ = set_id;
  *condition_id_ = 0;
  if (!condition_file_->SetKey(condition_key_, /*from_buffer=*/true)) return;
  while (condition_file_->Next() && *condition_set_id_ == set_id) {
    conditions.ClearBuffer();
    ConditionQueueRecord& row = conditions.buffer;
    row.CONDITIONALID = *condition_id_;
    row.CONTROL = condition_control_->view();
    row.PROPERTYEQUATE = *condition_property_equate_;
    row.OPERATOR = condition_operator_->view();
    row.VALUE = condition_value_->view();  // cut to its first 128 characters
    row.MANUALVALUE = *condition_manual_value_;
    conditions.Add();
  }
}

void ZOVRestyleClass::LoadConditions(int32_t set_id) {
  CONDITIONQUEUE->Free();
  ReadConditions(set_id, *CONDITIONQUEUE);
}

}  // namespace restyle
