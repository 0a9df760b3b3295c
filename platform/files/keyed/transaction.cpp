#include "platform/files/keyed/transaction.h"

#include <algorithm>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/core/error_codes.h"
#include "platform/core/error_state.h"
#include "platform/files/keyed/keyed_driver_internal.h"

namespace platform::files {
namespace keyed {
namespace {

struct Enrolment {
  KeyedDriver* driver;  // borrowed; removed by DriverDestroyed
  File* file;           // the File that owns `driver`
  int order;
  uint64_t sequence;  // files of equal order are taken in the order they were enrolled
};

// The transaction: one connection with the first file as its main database and the others
// attached. SQLite commits such a connection through a super-journal, so all files commit
// or none. The participants are the files' drivers, which run their statements on it.
struct Active {
  Db db;  // null for a transaction over no files
  std::vector<KeyedDriver*> participants;
};

struct State {
  std::mutex mutex;
  std::vector<Enrolment> enrolled;
  uint64_t next_sequence = 0;
  std::optional<Active> active;
};

State& GetState() {
  static State state;
  return state;
}

void EndTransaction(State& state) {
  for (KeyedDriver* d : state.active->participants) d->LeaveTransaction();
  state.active.reset();
}

Status BeginOver(State& state, const std::vector<File*>& files, int timeout_seconds) {
  if (state.active) return Status::Error(kLogoutAlreadyActive);
  std::vector<KeyedDriver*> drivers;
  for (File* file : files) {
    if (!file->is_open()) return Status::Error(kFileNotOpen);
    auto* driver = dynamic_cast<KeyedDriver*>(&file->driver());
    if (!driver) {
      return Status::Error(kUnableToLogTransaction, {},
                           file->name() + " is no keyed file and cannot take part");
    }
    if (driver->read_only()) return Status::Error(kAccessDenied);
    if (std::find(drivers.begin(), drivers.end(), driver) == drivers.end()) {
      drivers.push_back(driver);
    }
  }
  Active active;
  if (!drivers.empty()) {
    Result<Db> db = OpenDb(drivers[0]->path(), SQLITE_OPEN_READWRITE);
    if (!db.ok()) return db.status();
    active.db = std::move(db.value());
    sqlite3* raw = active.db.get();
    std::vector<std::string> schemas = {"main"};
    for (size_t i = 1; i < drivers.size(); ++i) {
      // Built in place: "t" + to_string trips a false -Wrestrict in g++ 12.
      std::string schema = "t";
      schema += std::to_string(i);
      schemas.push_back(std::move(schema));
      Result<Stmt> attach = Prepare(raw, "ATTACH ?1 AS " + Quote(schemas.back()));
      if (!attach.ok()) return attach.status();
      const std::string& path = drivers[i]->path();
      sqlite3_bind_text(attach.value().get(), 1, path.data(), static_cast<int>(path.size()),
                        SQLITE_TRANSIENT);
      if (int rc = sqlite3_step(attach.value().get()); rc != SQLITE_DONE) {
        return SqliteError(raw, rc);
      }
    }
    for (const std::string& schema : schemas) {
      const std::string s = Quote(schema);
      if (Status st =
              Exec(raw, "PRAGMA " + s + ".journal_mode=DELETE; PRAGMA " + s + ".synchronous=FULL");
          !st.ok()) {
        return st;
      }
    }
    // LOGOUT locks its files for writing at once, waiting at most the time-out for
    // another process's transaction; later statements wait as long as any statement does.
    sqlite3_busy_timeout(raw, std::max(timeout_seconds, 0) * 1000);
    if (Status st = Exec(raw, "BEGIN IMMEDIATE"); !st.ok()) {
      return Status::Error(kUnableToLogTransaction, {}, st.file_error(), st.file_error_code());
    }
    sqlite3_busy_timeout(raw, kBusyTimeoutMs);
    for (size_t i = 0; i < drivers.size(); ++i) drivers[i]->JoinTransaction(raw, schemas[i]);
  }
  active.participants = std::move(drivers);
  state.active = std::move(active);
  return Status();
}

}  // namespace

void Enrol(KeyedDriver& driver, File& file, int order) {
  State& state = GetState();
  std::lock_guard lock(state.mutex);
  std::erase_if(state.enrolled, [&](const Enrolment& e) { return e.driver == &driver; });
  if (order != 0) state.enrolled.push_back({&driver, &file, order, state.next_sequence++});
}

int EnrolledOrder(const KeyedDriver& driver) {
  State& state = GetState();
  std::lock_guard lock(state.mutex);
  for (const Enrolment& e : state.enrolled) {
    if (e.driver == &driver) return e.order;
  }
  return 0;
}

void DriverClosed(KeyedDriver& driver) {
  State& state = GetState();
  std::lock_guard lock(state.mutex);
  if (!state.active) return;
  // Its changes so far stay in the transaction (the connection still has the file attached)
  // and are committed or rolled back with the other files'.
  std::vector<KeyedDriver*>& p = state.active->participants;
  if (std::erase(p, &driver) == 0) return;
  driver.LeaveTransaction();
  // With the last of its files closed nobody can commit the transaction any more, and its
  // locks would keep every other user out of the files: it ends, its changes undone.
  if (p.empty() && state.active->db) {
    // Ignoring errors on purpose: closing the connection rolls back all the same.
    (void)Exec(state.active->db.get(), "ROLLBACK");
    state.active.reset();
  }
}

void DriverDestroyed(KeyedDriver& driver) {
  DriverClosed(driver);
  State& state = GetState();
  std::lock_guard lock(state.mutex);
  std::erase_if(state.enrolled, [&](const Enrolment& e) { return e.driver == &driver; });
}

}  // namespace keyed

bool Logout(int timeout_seconds) {
  keyed::State& state = keyed::GetState();
  std::lock_guard lock(state.mutex);
  std::vector<keyed::Enrolment> list;
  for (const keyed::Enrolment& e : state.enrolled) {
    if (e.file->is_open()) list.push_back(e);
  }
  std::sort(list.begin(), list.end(), [](const keyed::Enrolment& a, const keyed::Enrolment& b) {
    return a.order != b.order ? a.order < b.order : a.sequence < b.sequence;
  });
  std::vector<File*> files;
  for (const keyed::Enrolment& e : list) files.push_back(e.file);
  return SetErrorState(keyed::BeginOver(state, files, timeout_seconds));
}

bool Logout(int timeout_seconds, std::span<File* const> files) {
  keyed::State& state = keyed::GetState();
  std::lock_guard lock(state.mutex);
  return SetErrorState(
      keyed::BeginOver(state, std::vector<File*>(files.begin(), files.end()), timeout_seconds));
}

bool Logout(int timeout_seconds, std::initializer_list<File*> files) {
  return Logout(timeout_seconds, std::span<File* const>(files.begin(), files.size()));
}

bool Commit() {
  keyed::State& state = keyed::GetState();
  std::lock_guard lock(state.mutex);
  if (!state.active) return SetErrorState(Status::Error(kNoLogoutActive));
  if (state.active->db) {
    if (Status s = keyed::Exec(state.active->db.get(), "COMMIT"); !s.ok()) {
      return SetErrorState(s);
    }
  }
  keyed::EndTransaction(state);
  return SetErrorState(Status());
}

bool Rollback() {
  keyed::State& state = keyed::GetState();
  std::lock_guard lock(state.mutex);
  if (!state.active) return SetErrorState(Status::Error(kNoLogoutActive));
  Status s;
  // Closing the connection rolls back too, so the transaction ends whatever this answers.
  if (state.active->db) s = keyed::Exec(state.active->db.get(), "ROLLBACK");
  keyed::EndTransaction(state);
  return SetErrorState(s);
}

bool InTransaction() {
  keyed::State& state = keyed::GetState();
  std::lock_guard lock(state.mutex);
  return state.active.has_value();
}

}  // namespace platform::files
