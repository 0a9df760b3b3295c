#include "app/program.h"

#include <cassert>

#include "catalog/catalog_queues.h"
#include "catalog/field_types.h"
#include "platform/core/message.h"

namespace app {
namespace {

ProgramObjects* g_objects = nullptr;

}  // namespace

MainModule::MainModule() {
  assert(g_objects == nullptr);
  // The record buffers of the catalog queues and the field-types queue start cleared.
  // TODO(relations): the record of the table sysrel; TODO(restyle data store): the record
  // buffers of the four restyle files.
  catalog::TablesQueue.ClearBuffer();
  catalog::ColumnsQueue.ClearBuffer();
  catalog::IndexesQueue.ClearBuffer();
  catalog::PrimaryKeysQueue.ClearBuffer();
  catalog::ForeignKeysQueue.ClearBuffer();
  catalog::FieldTypesQueue.ClearBuffer();
  // The splash object, the style manager, the assistant (its ring-buffer positions at 1),
  // the blank user name, then the class library's objects, in declaration order.
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
