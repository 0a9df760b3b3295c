#include "platform/core/queue.h"

#include <algorithm>
#include <cassert>
#include <utility>

#include "platform/core/error_codes.h"
#include "platform/core/error_state.h"

namespace platform {
namespace {

bool SameKey(const QueueKey& a, const QueueKey& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const KeyPart& x, const KeyPart& y) {
    return x.field == y.field && x.descending == y.descending;
  });
}

}  // namespace

void QueueBase::SetText(size_t n, std::string_view text) {
  if (n >= 1 && n <= FieldCount()) SetFieldText(layout_.field(n), buffer_address(), text);
}

std::string QueueBase::EntryText(size_t pos, size_t n) const {
  assert(pos >= 1 && pos <= Records());
  return n >= 1 && n <= FieldCount() ? packed_entry(pos).Text(layout_, n) : std::string();
}

double QueueBase::EntryNumber(size_t pos, size_t n) const {
  assert(pos >= 1 && pos <= Records());
  return n >= 1 && n <= FieldCount() ? packed_entry(pos).Number(layout_, n) : 0;
}

void QueueBase::Free() {
  entries_.clear();
  entries_.shrink_to_fit();
  pointer_ = 0;
  has_current_ = false;
  sorted_by_.clear();
  Touch();
  ClearError();
}

void QueueBase::Add() { AddAt(Records() + 1); }

void QueueBase::AddAt(size_t pos) {
  if (pos == 0) pos = 1;
  if (pos > Records() + 1) pos = Records() + 1;
  entries_.insert(entries_.begin() + static_cast<ptrdiff_t>(pos - 1), PackBuffer());
  pointer_ = pos;
  has_current_ = true;
  KeepOrderAround(pos);
  Touch();
  ClearError();
}

bool QueueBase::InOrderAt(size_t pos) const {
  const PackedRecord& e = entries_[pos - 1];
  if (pos > 1 && Compare(entries_[pos - 2], e, sorted_by_) > 0) return false;
  if (pos < Records() && Compare(e, entries_[pos], sorted_by_) > 0) return false;
  return true;
}

void QueueBase::KeepOrderAround(size_t pos) {
  if (!sorted_by_.empty() && !InOrderAt(pos)) sorted_by_.clear();
}

void QueueBase::AddByKey(const QueueKey& key) {
  // Upper bound: after every entry whose key is not greater than the buffer's.
  PackedRecord added = PackBuffer();
  size_t lo = 0, hi = Records();
  while (lo < hi) {
    const size_t mid = lo + (hi - lo) / 2;
    if (Compare(entries_[mid], added, key) <= 0) {
      lo = mid + 1;
    } else {
      hi = mid;
    }
  }
  // An empty queue is in every order, so the first entry added by a key puts the queue in
  // that key's order; from then on keyed lookups by it stay logarithmic.
  if (entries_.empty()) sorted_by_ = key;
  entries_.insert(entries_.begin() + static_cast<ptrdiff_t>(lo), std::move(added));
  pointer_ = lo + 1;
  has_current_ = true;
  if (!SameKey(key, sorted_by_)) KeepOrderAround(pointer_);
  Touch();
  ClearError();
}

bool QueueBase::Get(size_t pos) {
  if (pos < 1 || pos > Records()) {
    PostError(kEntryNotFound);
    return false;
  }
  packed_entry(pos).Unpack(layout_, buffer_address());
  pointer_ = pos;
  has_current_ = true;
  ClearError();
  return true;
}

bool QueueBase::GetByKey(const QueueKey& key) {
  const PackedRecord wanted = PackBuffer();
  size_t found = 0;
  if (!key.empty() && sorted_by_.size() >= key.size() &&
      SameKey(key, QueueKey(sorted_by_.begin(), sorted_by_.begin() + key.size()))) {
    // Sorted by this key: the first match by binary search.
    size_t lo = 0, hi = Records();
    while (lo < hi) {
      const size_t mid = lo + (hi - lo) / 2;
      if (Compare(entries_[mid], wanted, key) < 0) {
        lo = mid + 1;
      } else {
        hi = mid;
      }
    }
    if (lo < Records() && Compare(entries_[lo], wanted, key) == 0) found = lo + 1;
  } else {
    for (size_t i = 0; i < Records(); ++i) {
      if (Compare(entries_[i], wanted, key) == 0) {
        found = i + 1;
        break;
      }
    }
  }
  if (found == 0) {
    PostError(kEntryNotFound);
    return false;
  }
  packed_entry(found).Unpack(layout_, buffer_address());
  pointer_ = found;
  has_current_ = true;
  ClearError();
  return true;
}

bool QueueBase::Put() {
  if (!has_current_ || pointer_ < 1 || pointer_ > Records()) {
    PostError(kEntryNotFound);
    return false;
  }
  entries_[pointer_ - 1] = PackBuffer();
  KeepOrderAround(pointer_);
  Touch();
  ClearError();
  return true;
}

bool QueueBase::Delete() {
  if (!has_current_ || pointer_ < 1 || pointer_ > Records()) {
    PostError(kEntryNotFound);
    return false;
  }
  entries_.erase(entries_.begin() + static_cast<ptrdiff_t>(pointer_ - 1));
  // The runtime leaves POINTER on the position; the next entry now stands there, unread.
  if (pointer_ > Records()) pointer_ = Records();
  has_current_ = false;
  Touch();
  ClearError();
  return true;
}

void QueueBase::Sort(const QueueKey& key) {
  std::stable_sort(
      entries_.begin(), entries_.end(),
      [&](const PackedRecord& a, const PackedRecord& b) { return Compare(a, b, key) < 0; });
  sorted_by_ = key;
  Touch();
  ClearError();
}

QueueKey QueueBase::KeyFromNames(std::string_view names) const {
  QueueKey key;
  while (!names.empty()) {
    const size_t comma = names.find(',');
    std::string_view part = names.substr(0, comma);
    names = comma == std::string_view::npos ? std::string_view() : names.substr(comma + 1);
    while (!part.empty() && part.front() == ' ') part.remove_prefix(1);
    while (!part.empty() && part.back() == ' ') part.remove_suffix(1);
    bool descending = false;
    if (!part.empty() && (part.front() == '+' || part.front() == '-')) {
      descending = part.front() == '-';
      part.remove_prefix(1);
    }
    if (const size_t n = layout_.Find(part); n != 0) key.push_back({n, descending});
  }
  return key;
}

void QueueBase::Sort(std::string_view names) { Sort(KeyFromNames(names)); }

int QueueBase::Compare(const PackedRecord& a, const PackedRecord& b, const QueueKey& key) const {
  for (const KeyPart& part : key) {
    const int c = PackedRecord::CompareField(layout_, part.field, a, b);
    if (c != 0) return part.descending ? -c : c;
  }
  return 0;
}

}  // namespace platform
