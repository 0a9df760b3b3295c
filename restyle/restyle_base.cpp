#include "restyle/restyle_base.h"

#include <algorithm>
#include <string>

#include "platform/core/call_trace.h"
#include "platform/core/error_state.h"
#include "platform/core/message.h"
#include "platform/core/number.h"
#include "platform/core/text.h"
#include "platform/ui/statements.h"

namespace restyle {
namespace {

using platform::Field;
using platform::MakeLayout;
using platform::RecordLayout;

// Stored shapes never have more fields than this.
constexpr size_t kMaxStoredFields = 255;

// Shows the wait cursor for its lifetime.
class WaitCursor {
 public:
  WaitCursor() { platform::ui::SetCursor(platform::ui::Cursor::kWait); }
  ~WaitCursor() { platform::ui::SetCursor(platform::ui::Cursor::kNormal); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

// Whether a lookup is of the sets of "~Global settings": by the style manager's switch when
// asked to follow it, else by `global`.
bool UseGlobal(const uint8_t* change_global, uint8_t global, uint8_t follow_switch) {
  if (follow_switch == 1) return change_global != nullptr && *change_global != 0;
  return global == 1;
}

}  // namespace

const RecordLayout& ConditionSetQueueRecord::Layout() {
  using R = ConditionSetQueueRecord;
  static const RecordLayout layout = MakeLayout<R>(
      "CSQ", Field<&R::CONDITIONALSET>("CONDITIONALSET"),
      Field<&R::CONDITIONALSETID>("CONDITIONALSETID"), Field<&R::GLOBALPROPERTY>("GLOBALPROPERTY"),
      Field<&R::LOCALPROPERTY>("LOCALPROPERTY"), Field<&R::SPECIFICPROPERTY>("SPECIFICPROPERTY"));
  return layout;
}

const RecordLayout& ConditionQueueRecord::Layout() {
  using R = ConditionQueueRecord;
  static const RecordLayout layout = MakeLayout<R>(
      "CQ", Field<&R::CONDITION>("CONDITION"), Field<&R::CONDITIONALID>("CONDITIONALID"),
      Field<&R::CONTROL>("CONTROL"), Field<&R::PROPERTYEQUATE>("PROPERTYEQUATE"),
      Field<&R::PROPERTY>("PROPERTY"), Field<&R::OPERATOR>("OPERATOR"), Field<&R::VALUE>("VALUE"),
      Field<&R::MANUALVALUE>("MANUALVALUE"));
  return layout;
}

ZOVRestyleBaseClass::ZOVRestyleBaseClass()
    : CONDITIONSETQUEUE(std::make_unique<platform::Queue<ConditionSetQueueRecord>>()),
      CONDITIONQUEUE(std::make_unique<platform::Queue<ConditionQueueRecord>>()) {}

ZOVRestyleBaseClass::~ZOVRestyleBaseClass() {
  DisposeQueue(CONDITIONSETQUEUE);
  DisposeQueue(CONDITIONQUEUE);
}

void ZOVRestyleBaseClass::BindUserName(FixedString<255>& user_name) {
  user_name_ = &user_name;
  platform::TraceCall("ZOVRestyleBaseClass.BindUserName " + std::string(user_name.view()));
}

void ZOVRestyleBaseClass::BindRestyleFile(platform::files::File& file, size_t key, int32_t& set_id,
                                          FixedString<64>& property, FixedString<64>& parameter,
                                          FixedString<512>& value) {
  restyle_file_ = &file;
  restyle_key_ = key;
  restyle_set_id_ = &set_id;
  restyle_property_ = &property;
  restyle_parameter_ = &parameter;
  restyle_value_ = &value;
  platform::TraceCall("ZOVRestyleBaseClass.BindRestyleFile " + file.label());
}

void ZOVRestyleBaseClass::BindConditionSetFile(platform::files::File& file, size_t primary_key,
                                               size_t sort_key, FixedString<80>& user,
                                               FixedString<80>& profile, FixedString<80>& procedure,
                                               FixedString<128>& group, FixedString<64>& set_name,
                                               int32_t& set_id) {
  set_file_ = &file;
  set_primary_key_ = primary_key;
  set_sort_key_ = sort_key;
  set_user_ = &user;
  set_profile_ = &profile;
  set_procedure_ = &procedure;
  set_group_ = &group;
  set_name_ = &set_name;
  set_id_ = &set_id;
  platform::TraceCall("ZOVRestyleBaseClass.BindConditionSetFile " + file.label());
}

void ZOVRestyleBaseClass::BindConditionFile(platform::files::File& file, size_t key,
                                            int32_t& set_id, int32_t& condition_id,
                                            FixedString<64>& control, int32_t& property_equate,
                                            FixedString<10>& op, FixedString<255>& value,
                                            uint8_t& manual_value) {
  condition_file_ = &file;
  condition_key_ = key;
  condition_set_id_ = &set_id;
  condition_id_ = &condition_id;
  condition_control_ = &control;
  condition_property_equate_ = &property_equate;
  condition_operator_ = &op;
  condition_value_ = &value;
  condition_manual_value_ = &manual_value;
  platform::TraceCall("ZOVRestyleBaseClass.BindConditionFile " + file.label());
}

void ZOVRestyleBaseClass::ShareBindsOf(const ZOVRestyleBaseClass& other) {
  user_name_ = other.user_name_;
  restyle_file_ = other.restyle_file_;
  restyle_key_ = other.restyle_key_;
  restyle_set_id_ = other.restyle_set_id_;
  restyle_property_ = other.restyle_property_;
  restyle_parameter_ = other.restyle_parameter_;
  restyle_value_ = other.restyle_value_;
  set_file_ = other.set_file_;
  set_primary_key_ = other.set_primary_key_;
  set_sort_key_ = other.set_sort_key_;
  set_user_ = other.set_user_;
  set_profile_ = other.set_profile_;
  set_procedure_ = other.set_procedure_;
  set_group_ = other.set_group_;
  set_name_ = other.set_name_;
  set_id_ = other.set_id_;
  condition_file_ = other.condition_file_;
  condition_key_ = other.condition_key_;
  condition_set_id_ = other.condition_set_id_;
  condition_id_ = other.condition_id_;
  condition_control_ = other.condition_control_;
  condition_property_equate_ = other.condition_property_equate_;
  condition_operator_ = other.condition_operator_;
  condition_value_ = other.condition_value_;
  condition_manual_value_ = other.condition_manual_value_;
}

// Condition sets.

int32_t ZOVRestyleBaseClass::FindSetId(bool global, std::string_view group,
                                       std::string_view set_name) {
  const SetKey key = MakeSetKey(global, group);
  set_file_->Clear();
  *set_user_ = key.user;
  *set_profile_ = key.profile;
  *set_procedure_ = key.procedure;
  *set_group_ = key.group;
  *set_name_ = set_name;
  return set_file_->Get(set_sort_key_) ? *set_id_ : 0;
}

ZOVRestyleBaseClass::SetKey ZOVRestyleBaseClass::MakeSetKey(bool global,
                                                            std::string_view group) const {
  SetKey key;
  key.user = user_name_ ? platform::Upper(platform::Clip(user_name_->view())) : std::string();
  key.profile = REFCURRENTPROFILE ? platform::Clip(REFCURRENTPROFILE->view()) : std::string();
  key.procedure = global ? std::string(kGlobalSettings) : platform::Clip(PROCEDURENAME.view());
  key.group = platform::Clip(group);
  return key;
}

bool ZOVRestyleBaseClass::SetBelongsTo(const SetKey& key) const {
  // As the name key compares them: without regard to case, so a set found here is the one
  // the unique key would refuse to add again.
  const auto same = [](std::string_view a, std::string_view b) {
    return platform::Upper(platform::Clip(a)) == platform::Upper(b);
  };
  return same(set_user_->view(), key.user) && same(set_profile_->view(), key.profile) &&
         same(set_procedure_->view(), key.procedure) && same(set_group_->view(), key.group);
}

bool ZOVRestyleBaseClass::FirstSetOf(const SetKey& key) {
  set_file_->Clear();
  *set_user_ = key.user;
  *set_profile_ = key.profile;
  *set_procedure_ = key.procedure;
  *set_group_ = key.group;
  *set_name_ = "";
  return set_file_->SetKey(set_sort_key_, /*from_buffer=*/true) && set_file_->Next() &&
         SetBelongsTo(key);
}

int32_t ZOVRestyleBaseClass::AddUnconditionalSet(const SetKey& key) {
  set_file_->Clear();
  // The first record of the primary key holds the highest number; an empty file leaves 0.
  if (!set_file_->SetKey(set_primary_key_, /*from_buffer=*/false) || !set_file_->Next()) {
    set_file_->Clear();
  }
  const int32_t next = *set_id_ + 1;
  *set_user_ = key.user;
  *set_profile_ = key.profile;
  *set_procedure_ = key.procedure;
  *set_group_ = key.group;
  *set_id_ = next;
  *set_name_ = kUnconditionalSet;
  if (!set_file_->Add()) {
    platform::Stop(
        "Het toevoegen van de standaard \"Unconditional\" Conditie Set is mislukt!|Fout:" +
        platform::Error() + "|" + platform::FileError());
    // Ignore: there is no such set, so nothing may be stored under its number.
    return 0;
  }
  return next;
}

int32_t ZOVRestyleBaseClass::GetConditionSetId(uint8_t global, uint8_t follow_switch,
                                               std::string_view group) {
  const SetKey key = MakeSetKey(UseGlobal(REFCHANGEGLOBALPROPERTIES, global, follow_switch), group);
  if (FirstSetOf(key)) return *set_id_;
  return AddUnconditionalSet(key);
}

void ZOVRestyleBaseClass::LoadConditionSets(uint8_t create, uint8_t global, uint8_t follow_switch,
                                            std::string_view group) {
  platform::Queue<ConditionSetQueueRecord>& queue = *CONDITIONSETQUEUE;
  queue.Free();
  const platform::QueueKey by_name = {queue.Asc(&ConditionSetQueueRecord::CONDITIONALSET)};
  const auto add = [&](std::string_view name, int32_t id) {
    queue.ClearBuffer();
    queue.buffer.CONDITIONALSET = name;
    queue.buffer.CONDITIONALSETID = id;
    queue.AddByKey(by_name);
  };
  const SetKey key = MakeSetKey(UseGlobal(REFCHANGEGLOBALPROPERTIES, global, follow_switch), group);
  bool unconditional = false;
  for (bool more = FirstSetOf(key); more; more = set_file_->Next() && SetBelongsTo(key)) {
    add(set_name_->view(), *set_id_);
    unconditional = unconditional || *set_name_ == kUnconditionalSet;
  }
  if (create == 1 && !unconditional) {
    if (const int32_t id = AddUnconditionalSet(key); id != 0) add(kUnconditionalSet, id);
  }
}

uint8_t ZOVRestyleBaseClass::ConditionSetExists(uint8_t global, std::string_view group) {
  return FirstSetOf(MakeSetKey(global == 1, group)) ? 1 : 0;
}

// Restyle records.

uint8_t ZOVRestyleBaseClass::HasEnabledProperty(int32_t set_id, std::string_view property) {
  const std::string wanted = platform::Clip(property);
  restyle_file_->Clear();
  *restyle_set_id_ = set_id;
  *restyle_property_ = wanted;
  if (!restyle_file_->SetKey(restyle_key_, /*from_buffer=*/true)) return 0;
  while (restyle_file_->Next()) {
    if (*restyle_set_id_ != set_id) break;
    if (!wanted.empty() && *restyle_property_ != wanted) break;
    if (*restyle_parameter_ == "ENABLED" && platform::TextToNumber(restyle_value_->view()) == 1) {
      return 1;
    }
  }
  return 0;
}

template <class Step>
void ZOVRestyleBaseClass::ForEachStoredField(const RecordLayout& layout, int32_t set_id,
                                             std::string_view property, Step step) {
  *restyle_set_id_ = set_id;
  *restyle_property_ = platform::Clip(property);
  const size_t count = std::min(layout.FieldCount(), kMaxStoredFields);
  for (size_t i = 1; i <= count; ++i) {
    const platform::FieldInfo& field = layout.field(i);
    if (platform::Clip(field.name).empty()) break;
    *restyle_parameter_ = field.name;
    if (!step(field)) break;
  }
}

bool ZOVRestyleBaseClass::StoreValue(std::string_view operation, std::string_view value) {
  const bool found = restyle_file_->Get(restyle_key_);
  *restyle_value_ = value;
  if (found ? restyle_file_->Put() : restyle_file_->Add()) return true;
  platform::Stop(
      "ZOVRestyleBaseClass(" + std::string(operation) + "): Restyle gegevens kunnen niet in file " +
      platform::Clip(restyle_file_->name()) + " opgeslagen worden! " + platform::Error());
  return false;
}

void ZOVRestyleBaseClass::SaveFields(std::string_view operation, const RecordLayout& layout,
                                     const void* group, int32_t set_id, std::string_view property) {
  WaitCursor wait;
  ForEachStoredField(layout, set_id, property, [&](const platform::FieldInfo& field) {
    return StoreValue(operation, platform::GetFieldText(field, group));
  });
}

uint8_t ZOVRestyleBaseClass::LoadFields(const RecordLayout& layout, void* group, int32_t set_id,
                                        std::string_view property) {
  WaitCursor wait;
  bool all = true;
  ForEachStoredField(layout, set_id, property, [&](const platform::FieldInfo& field) {
    if (!restyle_file_->Get(restyle_key_)) return all = false;
    platform::SetFieldText(field, group, restyle_value_->view());
    return true;
  });
  return all ? 1 : 0;
}

void ZOVRestyleBaseClass::DeleteFields(const RecordLayout& layout, int32_t set_id,
                                       std::string_view property) {
  ForEachStoredField(layout, set_id, property, [&](const platform::FieldInfo&) {
    if (restyle_file_->Get(restyle_key_)) static_cast<void>(restyle_file_->Delete());
    return true;
  });
}

void ZOVRestyleBaseClass::SaveGroup(const RecordLayout& layout, const void* group, int32_t set_id,
                                    std::string_view property) {
  SaveFields("SaveGroup", layout, group, set_id, property);
}

void ZOVRestyleBaseClass::SaveQueue(platform::QueueBase& queue, int32_t set_id,
                                    std::string_view property) {
  SaveFields("SaveQueue", queue.layout(), queue.buffer_address(), set_id, property);
}

void ZOVRestyleBaseClass::SaveSetting(std::string_view value, int32_t set_id,
                                      std::string_view property, std::string_view parameter) {
  WaitCursor wait;
  *restyle_set_id_ = set_id;
  *restyle_property_ = platform::Clip(property);
  *restyle_parameter_ = parameter;
  static_cast<void>(StoreValue("SaveSetting", value));
}

uint8_t ZOVRestyleBaseClass::LoadGroup(const RecordLayout& layout, void* group, int32_t set_id,
                                       std::string_view property) {
  return LoadFields(layout, group, set_id, property);
}

uint8_t ZOVRestyleBaseClass::LoadQueue(platform::QueueBase& queue, int32_t set_id,
                                       std::string_view property) {
  return LoadFields(queue.layout(), queue.buffer_address(), set_id, property);
}

uint8_t ZOVRestyleBaseClass::LoadSetting(std::string& target, int32_t set_id,
                                         std::string_view property, std::string_view parameter) {
  WaitCursor wait;
  *restyle_set_id_ = set_id;
  *restyle_property_ = platform::Clip(property);
  *restyle_parameter_ = parameter;
  if (!restyle_file_->Get(restyle_key_)) return 0;
  target = restyle_value_->str();
  return 1;
}

void ZOVRestyleBaseClass::DeleteGroup(const RecordLayout& layout, const void* /*group*/,
                                      int32_t set_id, std::string_view property) {
  DeleteFields(layout, set_id, property);
}

void ZOVRestyleBaseClass::DeleteQueue(platform::QueueBase& queue, int32_t set_id,
                                      std::string_view property) {
  DeleteFields(queue.layout(), set_id, property);
}

}  // namespace restyle
