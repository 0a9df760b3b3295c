// What a styling pass read from the restyle files, kept until the pass ends.
#include <string>
#include <utility>
#include <vector>

#include "restyle/restyle_class.h"

namespace restyle {

void ZOVRestyleClass::StartPassCache() {
  pass_cache_ = {};
  pass_cache_.active = true;
}

void ZOVRestyleClass::EndPassCache() { pass_cache_ = {}; }

int32_t ZOVRestyleClass::PassSetId(bool global, std::string_view group, std::string_view set_name) {
  if (!pass_cache_.active) return FindSetId(global, group, set_name);
  // The group's sets are read once, for this lookup and for styling its controls.
  for (const auto& [name, id] : PassSets(global ? 1 : 0, group)) {
    if (name == set_name) return id;
  }
  return 0;
}

const std::vector<std::pair<std::string, int32_t>>& ZOVRestyleClass::PassSets(
    uint8_t global, std::string_view group) {
  auto key = std::make_pair(global, std::string(group));
  const auto known = pass_cache_.sets.find(key);
  if (known != pass_cache_.sets.end()) return known->second;
  LoadConditionSets(/*create=*/0, global, /*follow_switch=*/0, group);
  std::vector<std::pair<std::string, int32_t>> sets;
  for (size_t i = 1; i <= CONDITIONSETQUEUE->Records(); ++i) {
    const ConditionSetQueueRecord& set = CONDITIONSETQUEUE->entry(i);
    sets.emplace_back(set.CONDITIONALSET.str(), set.CONDITIONALSETID);
  }
  return pass_cache_.sets.emplace(std::move(key), std::move(sets)).first->second;
}

const std::vector<ConditionQueueRecord>& ZOVRestyleClass::PassConditions(int32_t set_id) {
  const auto known = pass_cache_.conditions.find(set_id);
  if (known != pass_cache_.conditions.end()) return known->second;
  LoadConditions(set_id);
  std::vector<ConditionQueueRecord> rows;
  for (size_t i = 1; i <= CONDITIONQUEUE->Records(); ++i) rows.push_back(CONDITIONQUEUE->entry(i));
  return pass_cache_.conditions.emplace(set_id, std::move(rows)).first->second;
}

const ControlPropertyGroup* ZOVRestyleClass::PassValue(int32_t set_id, std::string_view property) {
  auto key = std::make_pair(set_id, std::string(property));
  auto known = pass_cache_.values.find(key);
  if (known == pass_cache_.values.end()) {
    std::optional<ControlPropertyGroup> value;
    ControlPropertyGroup loaded;
    if (LoadGroup(loaded, set_id, property) == 1 && loaded.ENABLED == 1) value = loaded;
    known = pass_cache_.values.emplace(std::move(key), std::move(value)).first;
  }
  return known->second ? &*known->second : nullptr;
}

}  // namespace restyle
