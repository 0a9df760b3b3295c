// Queues: the runtime's in-memory tables. A queue has a record buffer (the prefix object the
// program reads and writes, `GTQ.TABLENAME`) and entries numbered from 1. ADD copies the
// buffer into an entry, GET copies an entry into the buffer, PUT writes the buffer back over
// the entry last read. Every operation sets the thread's error state: a GET that finds
// nothing posts 30 "Entry Not Found" and leaves the buffer as it was.
//
// Entries are kept packed (see packed_record.h): a text costs its length and a byte or two,
// whatever its declared size. An entry keeps the fields of the record's field table and only
// those.
//
//   Queue<TablesRecord> tables;
//   tables.buffer.TABLENAME = "Customers";
//   tables.Add();
//   tables.Sort({Asc(tables, &TablesRecord::TABLENAME)});
#pragma once

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/packed_record.h"
#include "platform/core/record.h"

namespace platform {

// One component of a queue key: a field number and its direction.
struct KeyPart {
  size_t field = 0;  // 1-based
  bool descending = false;
};
using QueueKey = std::vector<KeyPart>;

// The queue interface, independent of the record type, for code that fills any queue by
// field number (result sets, catalog readers, list displays).
class QueueBase {
 public:
  QueueBase(const QueueBase&) = delete;
  QueueBase& operator=(const QueueBase&) = delete;
  virtual ~QueueBase() = default;

  const RecordLayout& layout() const { return layout_; }
  size_t FieldCount() const { return layout_.FieldCount(); }
  virtual void* buffer_address() = 0;

  // RECORDS: the number of entries.
  size_t Records() const { return entries_.size(); }
  // Field n of entry `pos` without touching the buffer, as GetText and GetFieldNumber would
  // read it after GET(pos). REQUIRES: 1 <= pos <= Records(); out-of-range n reads as empty.
  std::string EntryText(size_t pos, size_t n) const;
  double EntryNumber(size_t pos, size_t n) const;
  // POINTER: the entry last added, read or written (0 when none).
  size_t Pointer() const { return pointer_; }
  // Moves whenever entries change, so displays know when to take a new snapshot.
  uint64_t change_count() const { return change_count_; }

  // FREE: removes every entry. The buffer keeps its values.
  void Free();
  // ADD at the end; ADD at `pos` (1 = first; past the end adds at the end); ADD in key order
  // (after any entries with an equal key).
  void Add();
  void AddAt(size_t pos);
  void AddByKey(const QueueKey& key);
  // GET by position; GET the first entry whose key fields equal the buffer's. Both post 30
  // when there is none, leaving the buffer as it was. GET by key takes logarithmic time while
  // the queue is in the key's order (after SORT or ADD by it), else time linear in RECORDS.
  bool Get(size_t pos);
  bool GetByKey(const QueueKey& key);
  // PUT the buffer over the entry last added, read or written; posts 30 when there is none.
  bool Put();
  // DELETE the entry last added, read or written; posts 30 when there is none. POINTER stays
  // on the position, but the entry that moves into it was never read, so a PUT or DELETE
  // that follows without a new GET or ADD posts 30 instead of changing that entry.
  bool Delete();
  // SORT, stable, by the key's fields in order.
  void Sort(const QueueKey& key);
  // SORT by names as the runtime writes them: "+GTQ:OWNER,-GTQ:TABLENAME" (prefix and sign
  // optional, any case). Unknown names are ignored.
  void Sort(std::string_view names);
  // The key for `names`, as Sort(names) reads it.
  QueueKey KeyFromNames(std::string_view names) const;
  // CLEAR of the buffer: texts blank, numbers 0.
  void ClearBuffer() { ClearRecord(layout_, buffer_address()); }

  // Field access on the buffer by number (1-based); out-of-range numbers read as empty.
  std::string GetText(size_t n) {
    return n >= 1 && n <= FieldCount() ? GetFieldText(layout_.field(n), buffer_address())
                                       : std::string();
  }
  void SetText(size_t n, std::string_view text);

 protected:
  explicit QueueBase(const RecordLayout& layout) : layout_(layout) {}

  // REQUIRES: 1 <= pos <= Records().
  const PackedRecord& packed_entry(size_t pos) const { return entries_[pos - 1]; }

 private:
  PackedRecord PackBuffer() { return PackedRecord::Pack(layout_, buffer_address()); }
  // The records by the key's fields: -1, 0, 1.
  int Compare(const PackedRecord& a, const PackedRecord& b, const QueueKey& key) const;
  // Whether entry `pos` stands in sorted_by_'s order between its neighbours.
  bool InOrderAt(size_t pos) const;
  // After entry `pos` was added or written: forgets the order it broke.
  void KeepOrderAround(size_t pos);
  void Touch() { ++change_count_; }

  const RecordLayout& layout_;
  std::vector<PackedRecord> entries_;
  size_t pointer_ = 0;
  bool has_current_ = false;  // the entry at pointer_ is the one last added, read or written
  uint64_t change_count_ = 0;
  // The key the entries are known to be in order of (empty: none known): set by SORT and by
  // the first ADD by key, kept while every entry added or written stands in that order.
  // GET by a key that begins it searches by halving instead of entry by entry.
  QueueKey sorted_by_;
};

template <class R>
class Queue final : public QueueBase {
 public:
  Queue() : QueueBase(R::Layout()) {}

  R buffer{};

  void* buffer_address() override { return &buffer; }
  // A copy of entry `pos`, read without touching the buffer. REQUIRES: 1 <= pos <= Records().
  R entry(size_t pos) const {
    R r{};
    packed_entry(pos).Unpack(layout(), &r);
    return r;
  }

  // A key part for the member `m` of the record.
  template <class T>
  KeyPart Asc(T R::*m) const {
    return {Number(m), false};
  }
  template <class T>
  KeyPart Desc(T R::*m) const {
    return {Number(m), true};
  }

 private:
  template <class T>
  size_t Number(T R::*m) const {
    const size_t n = layout().FindAddress(&buffer, &(buffer.*m));
    assert(n != 0 && "member is not in the record's field table");
    return n;
  }
};

}  // namespace platform
