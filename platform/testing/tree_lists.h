// A window of lists that the list tests of both backends share: a tree list over a queue of
// text, icon, level and style; a menu panel's list of text, icon, style and the item's
// equate, which is no tree; and a list whose rows carry their own tips.
#pragma once

#include <cstdint>
#include <span>

#include "platform/core/fixed_string.h"
#include "platform/core/queue.h"
#include "platform/core/record.h"
#include "platform/ui/structure.h"

namespace platform::testing {

inline constexpr ui::ControlDecl kTreeListControls[] = {
    ui::List("?Tree", {0, 0, 97, 100}).Format("2000L(2)JYTS(2000)"),
    ui::List("?Panel", {100, 0, 80, 40}).Format("20L(2)JY?"),
    ui::List("?Tips", {100, 50, 80, 40}).Format("60L(2)P"),
};
inline constexpr ui::WindowStructure kTreeListWindow{"test$listtree",        "P1$WINDOW",
                                                     ui::WindowKind::kPlain, "Tree window",
                                                     {0, 0, 200, 120},       kTreeListControls};

struct TreeListRecord {
  CString<21> MENUITEM;
  int32_t ICON = 0;
  int32_t LEVEL = 0;
  int32_t STYLE = 0;
  static const RecordLayout& Layout() {
    static const RecordLayout layout =
        MakeLayout<TreeListRecord>("TREE", platform::Field<&TreeListRecord::MENUITEM>("MENUITEM"),
                                   platform::Field<&TreeListRecord::ICON>("ICON"),
                                   platform::Field<&TreeListRecord::LEVEL>("LEVEL"),
                                   platform::Field<&TreeListRecord::STYLE>("STYLE"));
    return layout;
  }
};

// A row of the tree list as a test writes it.
struct TreeListRow {
  const char* text;
  int32_t icon;
  int32_t level;
  int32_t style;
};

// Adds `rows` to the end of `tree`, in order.
inline void AddTreeRows(Queue<TreeListRecord>& tree, std::span<const TreeListRow> rows) {
  for (const TreeListRow& r : rows) {
    tree.buffer.MENUITEM = r.text;
    tree.buffer.ICON = r.icon;
    tree.buffer.LEVEL = r.level;
    tree.buffer.STYLE = r.style;
    tree.Add();
  }
}

struct PanelListRecord {
  CString<21> MENUITEM;
  int32_t ICON = 0;
  int32_t STYLE = 0;
  int32_t CONTROLEQUATE = 0;
  static const RecordLayout& Layout() {
    static const RecordLayout layout = MakeLayout<PanelListRecord>(
        "PANEL", platform::Field<&PanelListRecord::MENUITEM>("MENUITEM"),
        platform::Field<&PanelListRecord::ICON>("ICON"),
        platform::Field<&PanelListRecord::STYLE>("STYLE"),
        platform::Field<&PanelListRecord::CONTROLEQUATE>("CONTROLEQUATE"));
    return layout;
  }
};

struct TipListRecord {
  CString<21> TEXT;
  CString<41> TIP;
  static const RecordLayout& Layout() {
    static const RecordLayout layout =
        MakeLayout<TipListRecord>("TIPS", platform::Field<&TipListRecord::TEXT>("TEXT"),
                                  platform::Field<&TipListRecord::TIP>("TIP"));
    return layout;
  }
};

}  // namespace platform::testing
