// ZOVRestyleBaseClass: the storage layer over the restyle files (restyle_files.h), which the
// style manager and every restyle object derive from. It finds and creates condition sets,
// and stores groups, queue records and single settings as one restyle record per field:
//
//   ControlPropertyGroup value;
//   const int32_t set = GetConditionSetId(/*global=*/1, /*follow_switch=*/0, "ControlType 9");
//   if (set != 0 && LoadGroup(value, set, "property 31744")) ...
//
// Every object shares the main module's files and record buffers through its binds. No
// operation yields; each requires the runtime lock, and the STOP boxes let it go while shown.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/core/fixed_string.h"
#include "platform/core/queue.h"
#include "platform/core/record.h"
#include "platform/files/file.h"
#include "platform/ui/forward.h"
#include "restyle/property_table.h"
#include "restyle/restyle_queues.h"

namespace platform::ui {
class Window;
}

namespace restyle {

using platform::CString;
using platform::FixedString;

// The set that always applies, and the procedure name of sets valid in every procedure.
inline constexpr std::string_view kUnconditionalSet = "-Unconditional-";
inline constexpr std::string_view kGlobalSettings = "~Global settings";

// CONDITIONSETQUEUE: the sets the last lookup found, in name order.
struct ConditionSetQueueRecord {
  FixedString<64> CONDITIONALSET;
  int32_t CONDITIONALSETID = 0;
  FixedString<2> GLOBALPROPERTY;  // the last three: for the style manager's windows
  FixedString<2> LOCALPROPERTY;
  FixedString<2> SPECIFICPROPERTY;
  static const platform::RecordLayout& Layout();
};

// CONDITIONQUEUE: the conditions of one set.
struct ConditionQueueRecord {
  FixedString<255> CONDITION;  // the text shown
  int32_t CONDITIONALID = 0;
  FixedString<64> CONTROL;
  int32_t PROPERTYEQUATE = 0;
  FixedString<64> PROPERTY;
  FixedString<10> OPERATOR;
  FixedString<128> VALUE;
  uint8_t MANUALVALUE = 0;
  static const platform::RecordLayout& Layout();
};

class ZOVRestyleBaseClass {
 public:
  // Creates the two queues.
  ZOVRestyleBaseClass();
  // Disposes the two queues.
  virtual ~ZOVRestyleBaseClass();
  ZOVRestyleBaseClass(const ZOVRestyleBaseClass&) = delete;
  ZOVRestyleBaseClass& operator=(const ZOVRestyleBaseClass&) = delete;

  // The binds keep references, borrowed: the files and fields must outlive this object. Key
  // arguments are key numbers of the file's declaration.
  void BindUserName(FixedString<255>& user_name);
  void BindRestyleFile(platform::files::File& file, size_t key, int32_t& set_id,
                       FixedString<64>& property, FixedString<64>& parameter,
                       FixedString<512>& value);
  void BindConditionSetFile(platform::files::File& file, size_t primary_key, size_t sort_key,
                            FixedString<80>& user, FixedString<80>& profile,
                            FixedString<80>& procedure, FixedString<128>& group,
                            FixedString<64>& set_name, int32_t& set_id);
  void BindConditionFile(platform::files::File& file, size_t key, int32_t& set_id,
                         int32_t& condition_id, FixedString<64>& control, int32_t& property_equate,
                         FixedString<10>& op, FixedString<255>& value, uint8_t& manual_value);

  // Takes over the user name and the three binds of `other` (the style manager), so both
  // share one record buffer per file.
  void ShareBindsOf(const ZOVRestyleBaseClass& other);
  // Whether the condition-set, condition and restyle files are bound; without them nothing
  // is read or stored.
  bool IsBound() const {
    return set_file_ != nullptr && condition_file_ != nullptr && restyle_file_ != nullptr;
  }

  // The text with every property reference ("?CONTROL{Text}", "?SELF{PROP:Text}") replaced
  // by the property's current value in `window`, of the control found by its equate text in
  // `controls` (or `self` for ?SELF), the property found by name in `properties`. A text
  // value is quoted, quotes doubled; a number is bare. Scanning goes on after each value, so
  // a value is never taken for a reference. At most 512 bytes in and out. A reference that
  // cannot be resolved answers one of the "ERROR in expression - ..." texts.
  std::string ResolvePropertyReferences(const platform::ui::Window& window,
                                        platform::Queue<ControlSnapshotRecord>& controls,
                                        PropertyTableQueue& properties, std::string_view text,
                                        platform::ui::FieldId self);
  // Deletes the property values switched off (ENABLED 0) from every set of the current user
  // and profile, then every set left without conditions and values. The settings stored
  // under no set (-3, -7) stay.
  void PurgeDisabledProperties();
  // The text without a leading "?".
  static std::string StripQuestionMark(std::string_view text);

  // Deletes the records of the group's fields under (set, property); missing ones are skipped.
  virtual void DeleteGroup(const platform::RecordLayout& layout, const void* group, int32_t set_id,
                           std::string_view property);
  virtual void DeleteQueue(platform::QueueBase& queue, int32_t set_id, std::string_view property);
  // 1 when a set of (user, profile, "~Global settings" when `global` else PROCEDURENAME,
  // group) exists.
  virtual uint8_t ConditionSetExists(uint8_t global, std::string_view group);
  // 1 when the set holds an ENABLED record of value 1 under `property`; with an empty
  // property, under any property of the set.
  virtual uint8_t HasEnabledProperty(int32_t set_id, std::string_view property);
  // Fills CONDITIONSETQUEUE with the sets of (user, profile, procedure, group) in name order;
  // with `create`, adds the "-Unconditional-" set when it is not among them. The procedure is
  // "~Global settings" when `follow_switch` and CHANGEGLOBALPROPERTIES are set, or when
  // `global` is set without `follow_switch`; else PROCEDURENAME.
  virtual void LoadConditionSets(uint8_t create, uint8_t global, uint8_t follow_switch,
                                 std::string_view group);
  // The number of the first set of (user, profile, procedure, group) in name order, creating
  // the "-Unconditional-" set when there is none; 0 when creating it failed.
  virtual int32_t GetConditionSetId(uint8_t global, uint8_t follow_switch, std::string_view group);
  // Reads the group's fields from their records under (set, property); answers 0 at the first
  // missing one, the fields before it loaded, the rest as they were.
  virtual uint8_t LoadGroup(const platform::RecordLayout& layout, void* group, int32_t set_id,
                            std::string_view property);
  // The same into the queue's record buffer; the caller adds the entry.
  virtual uint8_t LoadQueue(platform::QueueBase& queue, int32_t set_id, std::string_view property);
  // One record: 1 and `target` its value when found, else 0.
  virtual uint8_t LoadSetting(std::string& target, int32_t set_id, std::string_view property,
                              std::string_view parameter);
  // Stores the group's fields as records under (set, property), adding or rewriting each; a
  // failing write shows the STOP box and stores no further field.
  virtual void SaveGroup(const platform::RecordLayout& layout, const void* group, int32_t set_id,
                         std::string_view property);
  virtual void SaveQueue(platform::QueueBase& queue, int32_t set_id, std::string_view property);
  virtual void SaveSetting(std::string_view value, int32_t set_id, std::string_view property,
                           std::string_view parameter);

  // The same for a record type with a field table (stored_shapes.h).
  template <class G>
  uint8_t LoadGroup(G& group, int32_t set_id, std::string_view property) {
    return LoadGroup(G::Layout(), &group, set_id, property);
  }
  template <class G>
  void SaveGroup(const G& group, int32_t set_id, std::string_view property) {
    SaveGroup(G::Layout(), &group, set_id, property);
  }
  template <class G>
  void DeleteGroup(const G& group, int32_t set_id, std::string_view property) {
    DeleteGroup(G::Layout(), &group, set_id, property);
  }

  // Empties and releases a queue; an absent one is fine.
  template <class Q>
  static void DisposeQueue(std::unique_ptr<Q>& queue) {
    if (queue) queue->Free();
    queue.reset();
  }

  // The bound user name; null before BindUserName.
  const FixedString<255>* user_name() const { return user_name_; }
  platform::files::File* condition_set_file() const { return set_file_; }
  platform::files::File* condition_file() const { return condition_file_; }
  platform::files::File* restyle_file() const { return restyle_file_; }

  std::unique_ptr<platform::Queue<ConditionSetQueueRecord>> CONDITIONSETQUEUE;
  std::unique_ptr<platform::Queue<ConditionQueueRecord>> CONDITIONQUEUE;
  // The style manager's switch and current profile; null until a derived class sets them.
  uint8_t* REFCHANGEGLOBALPROPERTIES = nullptr;
  CString<256>* REFCURRENTPROFILE = nullptr;
  // The procedure whose sets this object uses.
  CString<81> PROCEDURENAME;

 protected:
  // The (user, profile, procedure, group) of a lookup.
  struct SetKey {
    std::string user;
    std::string profile;
    std::string procedure;
    std::string group;
  };
  // Clears the condition-set buffer, sets the key's fields and reads the first record of the
  // name key from them; true when it belongs to the key. The record is then in the buffer.
  bool FirstSetOf(const SetKey& key);
  // The set name in the condition-set buffer.
  std::string_view set_name() const { return set_name_->view(); }
  // The number of the set (user, profile, "~Global settings" when `global` else
  // PROCEDURENAME, group, set name), 0 when there is none. Creates nothing.
  int32_t FindSetId(bool global, std::string_view group, std::string_view set_name);
  // Appends the conditions of `set_id` to `conditions` in CONDITIONALID order, each value cut
  // to the queue's 128 characters.
  void ReadConditions(int32_t set_id, platform::Queue<ConditionQueueRecord>& conditions);

 private:
  SetKey MakeSetKey(bool global, std::string_view group) const;
  bool SetBelongsTo(const SetKey& key) const;
  // Adds the "-Unconditional-" set of the key with the next free number; 0 when that failed.
  int32_t AddUnconditionalSet(const SetKey& key);
  // Walks the fields of a stored shape; the walk stops when `step` answers false.
  template <class Step>
  void ForEachStoredField(const platform::RecordLayout& layout, int32_t set_id,
                          std::string_view property, Step step);
  void SaveFields(std::string_view operation, const platform::RecordLayout& layout,
                  const void* group, int32_t set_id, std::string_view property);
  uint8_t LoadFields(const platform::RecordLayout& layout, void* group, int32_t set_id,
                     std::string_view property);
  void DeleteFields(const platform::RecordLayout& layout, int32_t set_id,
                    std::string_view property);
  // Writes the restyle buffer's value under its key: PUT when found, else ADD. Shows the STOP
  // box of `operation` on failure.
  bool StoreValue(std::string_view operation, std::string_view value);

  FixedString<255>* user_name_ = nullptr;

  platform::files::File* restyle_file_ = nullptr;
  size_t restyle_key_ = 0;
  int32_t* restyle_set_id_ = nullptr;
  FixedString<64>* restyle_property_ = nullptr;
  FixedString<64>* restyle_parameter_ = nullptr;
  FixedString<512>* restyle_value_ = nullptr;

  platform::files::File* set_file_ = nullptr;
  size_t set_primary_key_ = 0;
  size_t set_sort_key_ = 0;
  FixedString<80>* set_user_ = nullptr;
  FixedString<80>* set_profile_ = nullptr;
  FixedString<80>* set_procedure_ = nullptr;
  FixedString<128>* set_group_ = nullptr;
  FixedString<64>* set_name_ = nullptr;
  int32_t* set_id_ = nullptr;

  platform::files::File* condition_file_ = nullptr;
  size_t condition_key_ = 0;
  int32_t* condition_set_id_ = nullptr;
  int32_t* condition_id_ = nullptr;
  FixedString<64>* condition_control_ = nullptr;
  int32_t* condition_property_equate_ = nullptr;
  FixedString<10>* condition_operator_ = nullptr;
  FixedString<255>* condition_value_ = nullptr;
  uint8_t* condition_manual_value_ = nullptr;
};

}  // namespace restyle
