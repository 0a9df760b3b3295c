#include "platform/ui/procedure_table.h"

#include <mutex>
#include <utility>

#include "platform/core/text.h"

namespace platform::ui {
namespace {

struct Registered {
  std::string name;
  Procedure procedure;
};

struct ProcedureTable {
  std::mutex mutex;
  std::vector<Registered> entries;  // in the order of first registration
};

ProcedureTable& Table() {
  static ProcedureTable t;
  return t;
}

Registered* FindLocked(ProcedureTable& t, std::string_view name) {
  const std::string key = Upper(name);
  for (Registered& e : t.entries) {
    if (Upper(e.name) == key) return &e;
  }
  return nullptr;
}

}  // namespace

void RegisterProcedure(std::string_view name, Procedure procedure,
                       std::initializer_list<const WindowStructure*> windows) {
  for (const WindowStructure* w : windows) RegisterWindowStructure(*w);
  ProcedureTable& t = Table();
  std::lock_guard lock(t.mutex);
  if (Registered* e = FindLocked(t, name)) {
    e->procedure = std::move(procedure);
    return;
  }
  t.entries.push_back({std::string(name), std::move(procedure)});
}

Procedure FindProcedure(std::string_view name) {
  ProcedureTable& t = Table();
  std::lock_guard lock(t.mutex);
  const Registered* e = FindLocked(t, name);
  return e ? e->procedure : Procedure();
}

std::vector<std::string> ProcedureNames() {
  ProcedureTable& t = Table();
  std::lock_guard lock(t.mutex);
  std::vector<std::string> names;
  for (const Registered& e : t.entries) names.push_back(e.name);
  return names;
}

ThreadId StartProcedure(std::string_view name, int32_t stack_bytes) {
  Procedure procedure = FindProcedure(name);
  return procedure ? Start(std::move(procedure), stack_bytes) : 0;
}

}  // namespace platform::ui
