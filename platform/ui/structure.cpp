#include "platform/ui/structure.h"

#include <map>
#include <mutex>
#include <string>

#include "platform/core/text.h"

namespace platform::ui {
namespace {

struct StructureRegistry {
  std::mutex mutex;
  std::map<std::string, const WindowStructure*> by_name;
};

StructureRegistry& Structures() {
  static StructureRegistry r;
  return r;
}

std::string Key(std::string_view module, std::string_view label) {
  return Upper(module) + "|" + Upper(label);
}

}  // namespace

void RegisterWindowStructure(const WindowStructure& structure) {
  StructureRegistry& r = Structures();
  std::lock_guard lock(r.mutex);
  r.by_name[Key(structure.module, structure.label)] = &structure;
}

const WindowStructure* FindWindowStructure(std::string_view module, std::string_view label) {
  StructureRegistry& r = Structures();
  std::lock_guard lock(r.mutex);
  const auto it = r.by_name.find(Key(module, label));
  return it != r.by_name.end() ? it->second : nullptr;
}

std::vector<const WindowStructure*> WindowStructures() {
  StructureRegistry& r = Structures();
  std::lock_guard lock(r.mutex);
  std::vector<const WindowStructure*> out;
  for (const auto& [key, structure] : r.by_name) out.push_back(structure);
  return out;
}

}  // namespace platform::ui
