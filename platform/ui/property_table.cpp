#include "platform/ui/property_table.h"

#include "platform/core/number.h"
#include "platform/ui/property_registry.h"

namespace platform::ui {
namespace {

using K = PropKind;

// Every control has these. The styling properties are here for every control type because
// stored styles may set any of them on any control; a control that cannot show one keeps
// the value all the same.
constexpr PropertyDef kControlDefs[] = {
    {Prop::Text, K::kText},
    {Prop::Xpos, K::kNumber, "0"},
    {Prop::Ypos, K::kNumber, "0"},
    {Prop::Width, K::kNumber, "0"},
    {Prop::Height, K::kNumber, "0"},
    {Prop::Center, K::kNumber},
    {Prop::CenterOffset, K::kNumber},
    {Prop::Left, K::kNumber},
    {Prop::LeftOffset, K::kNumber},
    {Prop::Decimal, K::kNumber},
    {Prop::DecimalOffset, K::kNumber},
    {Prop::Right, K::kNumber},
    {Prop::RightOffset, K::kNumber},
    {Prop::Font, K::kText},
    {Prop::FontSize, K::kNumber},
    {Prop::FontColor, K::kNumber, "-1"},
    {Prop::FontStyle, K::kNumber},
    {Prop::FontCharSet, K::kNumber},
    {Prop::RangeLow, K::kNumber},
    {Prop::RangeHigh, K::kNumber},
    {Prop::Progress, K::kNumber, "0"},
    {Prop::Value, K::kText},
    {Prop::Vcr, K::kFlag},
    {Prop::Double, K::kFlag},
    {Prop::Resize, K::kFlag},
    {Prop::NoFrame, K::kFlag},
    {Prop::Max, K::kFlag},
    {Prop::First, K::kFlag},
    {Prop::Last, K::kFlag},
    {Prop::Ins, K::kFlag},
    {Prop::Ovr, K::kFlag},
    {Prop::Boxed, K::kFlag},
    {Prop::Cap, K::kFlag},
    {Prop::Cursor, K::kText},
    {Prop::Default, K::kFlag},
    {Prop::Disable, K::kFlag},
    {Prop::Drop, K::kNumber},
    {Prop::Fill, K::kNumber, "-1"},
    {Prop::Full, K::kFlag},
    {Prop::Gray, K::kFlag},
    {Prop::Hide, K::kFlag},
    {Prop::Hlp, K::kText},
    {Prop::HScroll, K::kFlag},
    {Prop::Icon, K::kText},
    {Prop::Iconize, K::kFlag},
    {Prop::Imm, K::kFlag},
    {Prop::Key, K::kNumber, "0"},
    {Prop::Maximize, K::kFlag},
    {Prop::Msg, K::kText},
    {Prop::NoBar, K::kFlag},
    {Prop::NoMerge, K::kFlag},
    {Prop::Password, K::kFlag},
    {Prop::ReadOnly, K::kFlag},
    {Prop::Req, K::kFlag},
    {Prop::Round, K::kFlag},
    {Prop::Scroll, K::kFlag},
    {Prop::Skip, K::kFlag},
    {Prop::Step, K::kNumber},
    {Prop::System, K::kFlag},
    {Prop::Trn, K::kFlag},
    {Prop::Upr, K::kFlag},
    {Prop::VScroll, K::kFlag},
    {Prop::Auto, K::kFlag},
    {Prop::ToolBox, K::kFlag},
    {Prop::Palette, K::kNumber},
    {Prop::Tip, K::kText},
    {Prop::MinWidth, K::kNumber},
    {Prop::MinHeight, K::kNumber},
    {Prop::MaxWidth, K::kNumber},
    {Prop::MaxHeight, K::kNumber},
    {Prop::NoTips, K::kFlag},
    {Prop::Spread, K::kFlag},
    {Prop::Size, K::kNumber},
    {Prop::ScreenText, K::kText},
    {Prop::BevelStyle, K::kNumber},
    {Prop::Join, K::kFlag},
    {Prop::NoSheet, K::kFlag},
    {Prop::BevelOuter, K::kNumber},
    {Prop::BevelInner, K::kNumber},
    {Prop::LineWidth, K::kNumber},
    {Prop::Angle, K::kNumber},
    {Prop::Color, K::kNumber, "-1"},
    {Prop::SelectedColor, K::kNumber, "-1"},
    {Prop::SelectedFillColor, K::kNumber, "-1"},
    {Prop::LineHeight, K::kNumber},
    {Prop::DropWidth, K::kNumber},
    {Prop::AlwaysDrop, K::kFlag},
    {Prop::Up, K::kNumber},
    {Prop::Down, K::kNumber},
    {Prop::UpsideDown, K::kFlag},
    {Prop::Single, K::kFlag},
    {Prop::Repeat, K::kNumber},
    {Prop::Flat, K::kFlag},
    {Prop::WallPaper, K::kText},
    {Prop::Tiled, K::kFlag},
    {Prop::Centered, K::kFlag},
    {Prop::Stretch, K::kFlag},
    {Prop::NoWidth, K::kFlag},
    {Prop::NoHeight, K::kFlag},
    {Prop::BrokenTabs, K::kFlag},
    {Prop::SnapWidth, K::kNumber},
    {Prop::SnapHeight, K::kNumber},
    // Shown: the display routes an alerted key or press to the program instead of the widget.
    {Prop::Alrt, K::kNumber, {}, /*indexed=*/true},
    {Prop::Std, K::kNumber, "0"},
    {Prop::Picture, K::kText},
    {Prop::Selected, K::kNumber, "0"},
    {Prop::Touched, K::kFlag, {}, false, false},
};

constexpr PropertyDef kListDefs[] = {
    {Prop::Format, K::kText},
    {Prop::From, K::kText},
    {Prop::Items, K::kNumber},
    {Prop::ColumnHeader, K::kText, {}, true},
    {Prop::ColumnWidth, K::kNumber, {}, true},
    {Prop::ColumnResizable, K::kNumber, {}, true},
    {Prop::EditControl, K::kNumber, {}, true},
    {Prop::IconList, K::kText, {}, true},
    {Prop::Mark, K::kNumber, "0"},
    {Prop::MouseDownRow, K::kNumber, "0", false, false},
    {Prop::MouseDownField, K::kNumber, "0", false, false},
    {Prop::MouseMoveRow, K::kNumber, "0", false, false},
    {Prop::MouseState, K::kNumber, "0", false, false},
    {Prop::TreeRow, K::kNumber, "0", false, false},
    // The list's own look at index 0, the look of its styles (format modifier Y) by number.
    {Prop::Font, K::kText, {}, true},
    {Prop::FontSize, K::kNumber, {}, true},
    {Prop::FontColor, K::kNumber, "-1", true},
    {Prop::FontStyle, K::kNumber, {}, true},
    {Prop::FontCharSet, K::kNumber, {}, true},
    {Prop::Color, K::kNumber, "-1", true},
    {Prop::SelectedColor, K::kNumber, "-1", true},
    {Prop::SelectedFillColor, K::kNumber, "-1", true},
};

constexpr PropertyDef kSheetDefs[] = {
    {Prop::NoSheet, K::kFlag},
};

// Answered by the control from the object it holds; the program's set is ignored.
constexpr PropertyDef kOleDefs[] = {
    {Prop::Ole, K::kFlag, {}, false, /*shown=*/false},
};

constexpr PropertyDef kWindowDefs[] = {
    {Prop::Text, K::kText},
    {Prop::Xpos, K::kNumber, "0"},
    {Prop::Ypos, K::kNumber, "0"},
    {Prop::Width, K::kNumber, "0"},
    {Prop::Height, K::kNumber, "0"},
    {Prop::Pixels, K::kFlag},
    {Prop::Imm, K::kFlag},
    {Prop::Timer, K::kNumber, "0"},
    {Prop::Alrt, K::kNumber, {}, /*indexed=*/true},
    {Prop::Buffer, K::kFlag},
    {Prop::Center, K::kFlag},
    {Prop::Font, K::kText},
    {Prop::FontSize, K::kNumber},
    {Prop::FontColor, K::kNumber, "-1"},
    {Prop::FontStyle, K::kNumber},
    {Prop::FontCharSet, K::kNumber},
    {Prop::Color, K::kNumber, "-1"},
    {Prop::Icon, K::kText},
    {Prop::Maximize, K::kFlag},
    {Prop::Iconize, K::kFlag},
    {Prop::Max, K::kFlag},
    {Prop::Resize, K::kFlag},
    {Prop::System, K::kFlag},
    {Prop::Trn, K::kFlag},
    {Prop::WallPaper, K::kText},
    {Prop::Tiled, K::kFlag},
    {Prop::Centered, K::kFlag},
    {Prop::Cursor, K::kText},
    {Prop::Msg, K::kText},
    {Prop::Tip, K::kText},
    {Prop::MinWidth, K::kNumber},
    {Prop::MinHeight, K::kNumber},
    {Prop::MaxWidth, K::kNumber},
    {Prop::MaxHeight, K::kNumber},
    {Prop::NoFrame, K::kFlag},
    {Prop::Double, K::kFlag},
    {Prop::Disable, K::kFlag},
    {Prop::Hide, K::kFlag},
    {Prop::Opacity, K::kNumber, "255"},
    {Prop::TopMost, K::kFlag},
    {Prop::MenuBarHilite, K::kNumber, "0"},
    {Prop::Docked, K::kNumber, "0"},
    // Answered by the window (1 while it is the active one); setting it activates the window.
    {Prop::Active, K::kFlag, {}, false, false},
};

constexpr PropertyDef kSystemDefs[] = {
    {Prop::Buffer, K::kFlag, {}, false, false},
    {Prop::LazyDisplay, K::kFlag, {}, false, false},
    {Prop::DeferMove, K::kNumber, "0", false, false},
    {Prop::Modal, K::kFlag, {}, false, false},
    {Prop::MessageHook, K::kFlag, {}, false, false},
};

constexpr PropertyTable kControlTable(kControlDefs, nullptr);
constexpr PropertyTable kListTable(kListDefs, &kControlTable);
constexpr PropertyTable kSheetTable(kSheetDefs, &kControlTable);
// Menus and menu items keep what every control keeps, and colours by index: 1 the
// background, 2 the chosen entry's text, 3 the chosen entry's background.
constexpr PropertyDef kMenuDefs[] = {
    {Prop::Color, K::kNumber, "-1", /*indexed=*/true},
};
constexpr PropertyTable kMenuTable(kMenuDefs, &kControlTable);
constexpr PropertyTable kOleTable(kOleDefs, &kControlTable);
constexpr PropertyTable kWindowTable(kWindowDefs, nullptr);
constexpr PropertyTable kSystemTable(kSystemDefs, nullptr);

}  // namespace

const PropertyDef* PropertyTable::Find(Prop p) const {
  for (const PropertyDef& d : own_) {
    if (d.prop == p) return &d;
  }
  return base_ ? base_->Find(p) : nullptr;
}

const PropertyDef* PropertyTable::Find(std::string_view name) const {
  const PropertyInfo* info = FindProperty(name);
  return info ? Find(info->prop) : nullptr;
}

void PropertyTable::ForEach(const std::function<void(const PropertyDef&)>& visit) const {
  for (const PropertyTable* t = this; t != nullptr; t = t->base_) {
    for (const PropertyDef& d : t->own_) {
      if (Find(d.prop) == &d) visit(d);  // skips a wider family's row this one redefines
    }
  }
}

const PropertyTable& ControlProperties() { return kControlTable; }
const PropertyTable& ListProperties() { return kListTable; }
const PropertyTable& SheetProperties() { return kSheetTable; }
const PropertyTable& MenuProperties() { return kMenuTable; }
const PropertyTable& OleProperties() { return kOleTable; }
const PropertyTable& WindowProperties() { return kWindowTable; }
const PropertyTable& SystemProperties() { return kSystemTable; }

std::string NormalizeProperty(PropKind kind, std::string_view value) {
  switch (kind) {
    case PropKind::kText:
      return std::string(value);
    case PropKind::kNumber:
      return NumberToText(TextToNumber(value));
    case PropKind::kFlag: {
      const bool off = value.empty() || (ParseNumber(value) && TextToNumber(value) == 0);
      return off ? std::string() : std::string("1");
    }
  }
  return std::string(value);
}

std::string PropertyStore::Get(Prop p, int32_t index) const {
  const PropertyDef* d = table_->Find(p);
  if (d == nullptr) return {};
  const auto it = values_.find({static_cast<int32_t>(p), d->indexed ? index : 0});
  return it != values_.end() ? it->second : std::string(d->initial);
}

const PropertyDef* PropertyStore::Set(Prop p, std::string_view value, int32_t index) {
  const PropertyDef* d = table_->Find(p);
  if (d == nullptr) return nullptr;
  std::string v = NormalizeProperty(d->kind, value);
  const Key key{static_cast<int32_t>(p), d->indexed ? index : 0};
  const auto it = values_.find(key);
  const std::string_view current = it != values_.end() ? it->second : d->initial;
  if (current == v) return nullptr;
  values_[key] = std::move(v);
  return d;
}

}  // namespace platform::ui
