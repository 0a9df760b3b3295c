// For the tests of the restyle store: the four restyle files in a temporary current
// directory, each through a driver whose faults the test sets, and a store bound to them as
// the main program binds the style manager.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "platform/files/file_test_support.h"
#include "platform/files/keyed/keyed_driver.h"
#include "platform/files/keyed/keyed_test_support.h"
#include "platform/ui/backend.h"
#include "platform/ui/thread.h"
#include "restyle/restyle_base.h"
#include "restyle/restyle_files.h"

namespace restyle::testing {

using platform::files::InTempDirForTest;

// The restyle files, each with the faults of `faults` (all files share them).
inline DriverFactory FaultyKeyedDrivers(
    const std::shared_ptr<platform::files::DriverFaultsForTest>& faults) {
  return [faults] {
    return std::make_unique<platform::files::FaultyDriverForTest>(
        platform::files::MakeKeyedDriver(), faults);
  };
}

// A keyed file at `path` of another record layout than any restyle file's, with one row.
inline bool WriteKeyedFileOfAnotherLayout(const std::string& path) {
  platform::files::keyed_test::Row row;
  auto other = platform::files::keyed_test::RowFile(path, row, {});
  return other->Open(platform::files::kReadWrite | platform::files::kDenyNone) &&
         platform::files::keyed_test::AddRow(*other, row, "old", 1) && other->Close();
}

// Binds `store` to `files` and `user`, as the main program binds the style manager.
inline void BindToFiles(ZOVRestyleBaseClass& store, RestyleFiles& files,
                        platform::FixedString<255>& user) {
  store.BindUserName(user);
  store.BindConditionSetFile(files.ZOVCONDITIONSETFILE, kConditionSetPrimaryKey,
                             kConditionSetSortKey, files.ZOVCS.USERNAME, files.ZOVCS.PROFILE,
                             files.ZOVCS.PROCEDURENAME, files.ZOVCS.GROUPNAME,
                             files.ZOVCS.CONDITIONALSET, files.ZOVCS.CONDITIONALSETID);
  store.BindConditionFile(files.ZOVCONDITIONFILE, kConditionPrimaryKey,
                          files.ZOVCD.CONDITIONALSETID, files.ZOVCD.CONDITIONALID,
                          files.ZOVCD.CONTROL, files.ZOVCD.PROPERTYEQUATE, files.ZOVCD.OPERATOR,
                          files.ZOVCD.VALUE, files.ZOVCD.MANUALVALUE);
  store.BindRestyleFile(files.ZOVRESTYLEFILE, kRestylePrimaryKey, files.ZOVRF.CONDITIONALSETID,
                        files.ZOVRF.PROPERTY, files.ZOVRF.PARAMETER, files.ZOVRF.VALUE);
}

// Runs `body` on thread 1 of a runtime over `display` and waits until it has ended.
inline void RunOnRuntimeThread(platform::ui::DisplayBackend& display,
                               const std::function<void()>& body) {
  platform::ui::Runtime runtime(display);
  runtime.StartMain(body);
  runtime.Join();
}

}  // namespace restyle::testing
