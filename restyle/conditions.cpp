// ZOVRestyleBaseClass.ReadConditions: the conditions of one set, as the condition file holds
// them.
#include "restyle/restyle_base.h"

namespace restyle {

void ZOVRestyleBaseClass::ReadConditions(int32_t set_id) {
  platform::Queue<ConditionQueueRecord>& conditions = *CONDITIONQUEUE;
  conditions.Free();
  conditions.ClearBuffer();
  if (!IsBound()) return;
  condition_file_->Clear();
  *condition_set_id_ = set_id;
  *condition_id_ = 0;
  if (!condition_file_->SetKey(condition_key_, /*from_buffer=*/true)) return;
  while (condition_file_->Next() && *condition_set_id_ == set_id) {
    conditions.ClearBuffer();
    ConditionQueueRecord& c = conditions.buffer;
    c.CONDITIONALID = *condition_id_;
    c.CONTROL = condition_control_->view();
    c.PROPERTYEQUATE = *condition_property_equate_;
    c.OPERATOR = condition_operator_->view();
    c.VALUE = condition_value_->view();  // its first 128 bytes
    c.MANUALVALUE = *condition_manual_value_;
    conditions.Add();
  }
}

}  // namespace restyle
