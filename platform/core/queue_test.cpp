#include "platform/core/queue.h"

#include <gtest/gtest.h>

#include "platform/core/error_state.h"

namespace platform {
namespace {

struct Row {
  CString<20> NAME;
  int32_t N = 0;
  FixedString<4> TAG;
  static const RecordLayout& Layout() {
    static const RecordLayout layout = MakeLayout<Row>(
        "ROW", Field<&Row::NAME>("NAME"), Field<&Row::N>("N"), Field<&Row::TAG>("TAG"));
    return layout;
  }
};

void AddRow(Queue<Row>& q, std::string_view name, int n, std::string_view tag = "") {
  q.buffer.NAME = name;
  q.buffer.N = n;
  q.buffer.TAG = tag;
  q.Add();
}

std::string Names(const Queue<Row>& q) {
  std::string out;
  for (size_t i = 1; i <= q.Records(); ++i) {
    if (!out.empty()) out += ",";
    out += q.entry(i).NAME.str() + std::to_string(q.entry(i).N);
  }
  return out;
}

TEST(Queue, AddGetPutDeleteAndPointer) {
  Queue<Row> q;
  AddRow(q, "a", 1);
  AddRow(q, "b", 2);
  q.buffer.NAME = "first";
  q.buffer.N = 0;
  q.AddAt(1);
  EXPECT_EQ(q.Pointer(), 1u);
  q.buffer.NAME = "far";
  q.AddAt(99);  // past the end: at the end
  EXPECT_EQ(Names(q), "first0,a1,b2,far0");

  ASSERT_TRUE(q.Get(3));
  EXPECT_EQ(q.buffer.NAME, "b");
  EXPECT_EQ(q.Pointer(), 3u);
  q.buffer.N = 20;
  ASSERT_TRUE(q.Put());
  EXPECT_EQ(q.entry(3).N, 20);
  ASSERT_TRUE(q.Delete());
  EXPECT_EQ(Names(q), "first0,a1,far0");
  EXPECT_EQ(q.Pointer(), 3u);
}

TEST(Queue, PutOrDeleteAfterDeleteTouchesNoUnreadEntry) {
  Queue<Row> q;
  AddRow(q, "a", 1);
  AddRow(q, "b", 2);
  AddRow(q, "c", 3);
  ASSERT_TRUE(q.Get(2));
  ASSERT_TRUE(q.Delete());
  EXPECT_EQ(q.Pointer(), 2u);  // POINTER stays; "c" now stands there, never read
  q.buffer.N = 99;
  EXPECT_FALSE(q.Put());
  EXPECT_EQ(ErrorCode(), 30);
  EXPECT_FALSE(q.Delete());
  EXPECT_EQ(ErrorCode(), 30);
  EXPECT_EQ(Names(q), "a1,c3");
  // A GET makes it current again.
  ASSERT_TRUE(q.Get(2));
  EXPECT_EQ(ErrorCode(), 0);
  ASSERT_TRUE(q.Delete());
  EXPECT_EQ(Names(q), "a1");
}

TEST(Queue, FailedGetPostsEntryNotFoundAndKeepsTheBuffer) {
  Queue<Row> q;
  AddRow(q, "a", 1);
  q.buffer.NAME = "kept";
  EXPECT_FALSE(q.Get(0));
  EXPECT_EQ(ErrorCode(), 30);
  EXPECT_EQ(Error(), "Entry Not Found");
  EXPECT_FALSE(q.Get(2));
  EXPECT_EQ(q.buffer.NAME, "kept");
  q.buffer.NAME = "zzz";
  EXPECT_FALSE(q.GetByKey({q.Asc(&Row::NAME)}));
  EXPECT_EQ(ErrorCode(), 30);
  EXPECT_TRUE(q.Get(1));
  EXPECT_EQ(ErrorCode(), 0);  // success clears the error
}

TEST(Queue, SortIsStableAndFollowsDirections) {
  Queue<Row> q;
  AddRow(q, "b", 2);
  AddRow(q, "a", 2);
  AddRow(q, "c", 1);
  AddRow(q, "a", 1);
  AddRow(q, "b", 1);
  q.Sort({q.Asc(&Row::N)});
  EXPECT_EQ(Names(q), "c1,a1,b1,b2,a2");  // equal N keep their order
  q.Sort("-ROW:N,+name");
  EXPECT_EQ(Names(q), "a2,b2,a1,b1,c1");
  q.Sort("NAME, -N");
  EXPECT_EQ(Names(q), "a2,a1,b2,b1,c1");
}

TEST(Queue, NumbersSortAsNumbersAndTextsAsTexts) {
  Queue<Row> q;
  AddRow(q, "10", 10);
  AddRow(q, "9", 9);
  AddRow(q, "100", 100);
  q.Sort("N");
  EXPECT_EQ(Names(q), "99,1010,100100");
  q.Sort("NAME");
  EXPECT_EQ(Names(q), "1010,100100,99");
}

TEST(Queue, AddByKeyAndGetByKeyWithDuplicates) {
  Queue<Row> q;
  const QueueKey key = {q.Asc(&Row::NAME)};
  for (auto [name, n] : {std::pair{"m", 1}, {"c", 2}, {"m", 3}, {"a", 4}, {"m", 5}, {"z", 6}}) {
    q.buffer.NAME = name;
    q.buffer.N = n;
    q.AddByKey(key);
  }
  EXPECT_EQ(Names(q), "a4,c2,m1,m3,m5,z6");  // an equal key goes after the others
  q.Sort(key);
  q.buffer.NAME = "m   ";  // trailing blanks do not count
  ASSERT_TRUE(q.GetByKey(key));
  EXPECT_EQ(q.buffer.N, 1);  // the first of the duplicates
  EXPECT_EQ(q.Pointer(), 3u);

  // Unsorted queue: still the first match, by position.
  Queue<Row> u;
  AddRow(u, "x", 1);
  AddRow(u, "m", 2);
  AddRow(u, "m", 3);
  u.buffer.NAME = "m";
  ASSERT_TRUE(u.GetByKey({u.Asc(&Row::NAME)}));
  EXPECT_EQ(u.buffer.N, 2);
}

// GET by key searches by halving only while the queue is in the key's order. Whatever an
// operation did to that order, every name is found at its first position.
TEST(Queue, GetByKeyFindsTheFirstMatchAfterAnyChangeOfOrder) {
  struct Case {
    std::string_view name;
    void (*change)(Queue<Row>&);
  };
  const Case kCases[] = {
      {"keyed adds only", [](Queue<Row>&) {}},
      {"add in order at the end", [](Queue<Row>& q) { AddRow(q, "z", 9); }},
      {"add out of order at the end", [](Queue<Row>& q) { AddRow(q, "b", 9); }},
      {"add out of order in front",
       [](Queue<Row>& q) {
         q.buffer.NAME = "y";
         q.AddAt(1);
       }},
      {"add in order in front",
       [](Queue<Row>& q) {
         q.buffer.NAME = "a";
         q.AddAt(1);
       }},
      {"put out of order",
       [](Queue<Row>& q) {
         q.Get(2);
         q.buffer.NAME = "x";
         q.Put();
       }},
      {"add by another key",
       [](Queue<Row>& q) {
         q.buffer.NAME = "a";
         q.buffer.N = -1;
         q.AddByKey({q.Desc(&Row::N)});
       }},
      {"delete",
       [](Queue<Row>& q) {
         q.Get(1);
         q.Delete();
       }},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Queue<Row> q;
    const QueueKey key = {q.Asc(&Row::NAME)};
    for (auto [name, n] : {std::pair{"m", 1}, {"c", 2}, {"m", 3}, {"e", 4}, {"w", 5}}) {
      q.buffer.NAME = name;
      q.buffer.N = n;
      q.AddByKey(key);
    }
    c.change(q);
    for (std::string_view name : {"a", "b", "c", "e", "m", "w", "x", "y", "z", "q"}) {
      SCOPED_TRACE(std::string(name));
      size_t first = 0;
      for (size_t i = q.Records(); i >= 1; --i) {
        if (q.entry(i).NAME == name) first = i;
      }
      q.buffer.NAME = name;
      EXPECT_EQ(q.GetByKey(key), first != 0);
      if (first != 0) {
        EXPECT_EQ(q.Pointer(), first);
      }
    }
  }
}

TEST(Queue, KeyIsCaseSensitive) {
  Queue<Row> q;
  AddRow(q, "Abc", 1);
  q.buffer.NAME = "abc";
  EXPECT_FALSE(q.GetByKey({q.Asc(&Row::NAME)}));
}

TEST(Queue, FreeKeepsTheBufferAndMovesTheChangeCounter) {
  Queue<Row> q;
  AddRow(q, "a", 1);
  const uint64_t before = q.change_count();
  q.Free();
  EXPECT_EQ(q.Records(), 0u);
  EXPECT_EQ(q.Pointer(), 0u);
  EXPECT_EQ(q.buffer.NAME, "a");
  EXPECT_GT(q.change_count(), before);
  q.ClearBuffer();
  EXPECT_TRUE(q.buffer.NAME.empty());
}

TEST(Queue, FieldAccessByNumber) {
  Queue<Row> q;
  QueueBase& any = q;
  any.SetText(1, "name");
  any.SetText(2, "7");
  any.SetText(4, "ignored");  // no field 4
  EXPECT_EQ(q.buffer.NAME, "name");
  EXPECT_EQ(q.buffer.N, 7);
  EXPECT_EQ(any.GetText(2), "7");
  EXPECT_EQ(any.GetText(4), "");
}

TEST(Queue, EntryFieldsReadWithoutTouchingTheBuffer) {
  Queue<Row> q;
  AddRow(q, "first", 7, "ab");
  AddRow(q, std::string(19, 'z'), -3);
  q.buffer.NAME = "kept";
  EXPECT_EQ(q.EntryText(1, 1), "first");
  EXPECT_EQ(q.EntryText(1, 2), "7");
  EXPECT_EQ(q.EntryText(1, 3), "ab");
  EXPECT_EQ(q.EntryText(2, 1), std::string(19, 'z'));
  EXPECT_EQ(q.EntryNumber(2, 2), -3);
  EXPECT_EQ(q.EntryText(2, 4), "");  // no such field
  EXPECT_EQ(q.entry(2).N, -3);
  EXPECT_EQ(q.buffer.NAME, "kept");
}

}  // namespace
}  // namespace platform
