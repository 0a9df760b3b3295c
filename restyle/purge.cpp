// ZOVRestyleBaseClass.PurgeDisabledProperties: what the configuration switched off leaves
// the restyle files, and with it the sets that hold nothing any more.
#include <string>
#include <vector>

#include "platform/core/number.h"
#include "platform/core/text.h"
#include "restyle/restyle_base.h"
#include "restyle/stored_shapes.h"

namespace restyle {

void ZOVRestyleBaseClass::PurgeDisabledProperties() {
  if (!IsBound()) return;
  const std::string user = user_name_ ? platform::Upper(platform::Clip(user_name_->view())) : "";
  const std::string profile =
      REFCURRENTPROFILE ? platform::Clip(REFCURRENTPROFILE->view()) : std::string();
  const auto same = [](std::string_view a, std::string_view b) {
    return platform::Upper(platform::Clip(a)) == platform::Upper(platform::Clip(b));
  };
  // The sets first, then the deletes, so no walk runs over records it deletes.
  std::vector<int32_t> sets;
  set_file_->Clear();
  *set_user_ = user;
  *set_profile_ = profile;
  if (set_file_->SetKey(set_sort_key_, /*from_buffer=*/true)) {
    while (set_file_->Next() && same(set_user_->view(), user) &&
           same(set_profile_->view(), profile)) {
      sets.push_back(*set_id_);
    }
  }
  for (const int32_t set : sets) {
    std::vector<std::string> switched_off;
    restyle_file_->Clear();
    *restyle_set_id_ = set;
    if (restyle_file_->SetKey(restyle_key_, /*from_buffer=*/true)) {
      while (restyle_file_->Next() && *restyle_set_id_ == set) {
        if (*restyle_parameter_ == "ENABLED" &&
            platform::TextToNumber(restyle_value_->view()) == 0) {
          switched_off.push_back(platform::Clip(restyle_property_->view()));
        }
      }
    }
    for (const std::string& property : switched_off) {
      DeleteGroup(ControlPropertyGroup::Layout(), nullptr, set, property);
    }
    restyle_file_->Clear();
    *restyle_set_id_ = set;
    const bool has_values = restyle_file_->SetKey(restyle_key_, /*from_buffer=*/true) &&
                            restyle_file_->Next() && *restyle_set_id_ == set;
    condition_file_->Clear();
    *condition_set_id_ = set;
    const bool has_conditions = condition_file_->SetKey(condition_key_, /*from_buffer=*/true) &&
                                condition_file_->Next() && *condition_set_id_ == set;
    if (has_values || has_conditions) continue;
    set_file_->Clear();
    *set_id_ = set;
    if (set_file_->Get(set_primary_key_)) static_cast<void>(set_file_->Delete());
  }
}

}  // namespace restyle
