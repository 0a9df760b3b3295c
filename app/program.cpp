#include "app/program.h"

#include <cassert>

#include "catalog/catalog_queues.h"
#include "catalog/field_types.h"
#include "catalog/txd_relations.h"
#include "platform/core/message.h"
#include "platform/core/record.h"

namespace app {
namespace {

ProgramObjects* g_objects = nullptr;

}  // namespace

namespace detail {

catalog::SysrelRecord ClearCatalogRecords() {
  catalog::TablesQueue.ClearBuffer();
  catalog::ColumnsQueue.ClearBuffer();
  catalog::IndexesQueue.ClearBuffer();
  catalog::PrimaryKeysQueue.ClearBuffer();
  catalog::ForeignKeysQueue.ClearBuffer();
  catalog::FieldTypesQueue.ClearBuffer();
  catalog::SysrelRecord sysrel;
  platform::ClearRecord(catalog::SysrelLayout(), &sysrel);
  return sysrel;
}

}  // namespace detail

MainModule::MainModule() {
  assert(g_objects == nullptr);
  // In declaration order: the splash object, the record buffers of the catalog queues and
  // the record of sysrel cleared, the style manager, the assistant (its ring-buffer positions
  // at 1), the blank user name, then the class library's objects.
  objects_ = std::make_unique<ProgramObjects>();
  g_objects = objects_.get();
}

MainModule::~MainModule() {
  // The system message hook calls the style manager, which goes now.
  platform::SetMessageHook({});
  g_objects = nullptr;
  objects_.reset();
  catalog::FieldTypesQueue.Free();
  catalog::ForeignKeysQueue.Free();
  catalog::PrimaryKeysQueue.Free();
  catalog::IndexesQueue.Free();
  catalog::ColumnsQueue.Free();
  catalog::TablesQueue.Free();
}

ProgramObjects& Program() {
  assert(g_objects != nullptr);
  return *g_objects;
}

}  // namespace app
