#include "platform/ui/property_registry.h"

#include <algorithm>
#include <cctype>

namespace platform::ui {
namespace {

using V = ValueKind;
constexpr Families kC = kFamilyControl;
constexpr Families kL = kFamilyList;
constexpr Families kS = kFamilySheet;
constexpr Families kW = kFamilyWindow;
constexpr Families kSys = kFamilySystem;
constexpr bool kIndexed = true;
constexpr bool kReadOnly = true;

// Sorted by number. A control family (kFamilyControl) means every control: lists and sheets
// have these too. Names are those of prop.h; where the runtime gives a number two names, the
// row carries the first.
constexpr PropertyInfo kProperties[] = {
    {Prop::Up, "Up", V::kNumber, false, kC},
    {Prop::Down, "Down", V::kNumber, false, kC},
    {Prop::UpsideDown, "UpsideDown", V::kFlag, false, kC},
    {Prop::Single, "Single", V::kFlag, false, kC},
    {Prop::Repeat, "Repeat", V::kNumber, false, kC},
    {Prop::Flat, "Flat", V::kFlag, false, kC},
    {Prop::WallPaper, "WallPaper", V::kPicture, false, kC | kW},
    {Prop::Tiled, "Tiled", V::kFlag, false, kC | kW},
    {Prop::Centered, "Centered", V::kFlag, false, kC | kW},
    {Prop::MessageHook, "MessageHook", V::kFlag, false, kSys},
    // Numbered for the STOP hook; no object keeps it yet.
    {Prop::StopHook, "StopHook", V::kFlag, false, 0},
    {Prop::NoWidth, "NoWidth", V::kFlag, false, kC},
    {Prop::NoHeight, "NoHeight", V::kFlag, false, kC},
    {Prop::BrokenTabs, "BrokenTabs", V::kFlag, false, kC},
    {Prop::Buffer, "Buffer", V::kFlag, false, kW | kSys},
    {Prop::Text, "Text", V::kText, false, kC | kW},
    {Prop::Type, "Type", V::kNumber, false, kC | kW, kReadOnly},
    {Prop::Xpos, "Xpos", V::kNumber, false, kC | kW},
    {Prop::Ypos, "Ypos", V::kNumber, false, kC | kW},
    {Prop::Width, "Width", V::kNumber, false, kC | kW},
    {Prop::Height, "Height", V::kNumber, false, kC | kW},
    {Prop::Center, "Center", V::kNumber, false, kC | kW},
    {Prop::CenterOffset, "CenterOffset", V::kNumber, false, kC},
    {Prop::Left, "Left", V::kNumber, false, kC},
    {Prop::LeftOffset, "LeftOffset", V::kNumber, false, kC},
    {Prop::Decimal, "Decimal", V::kNumber, false, kC},
    {Prop::DecimalOffset, "DecimalOffset", V::kNumber, false, kC},
    {Prop::Right, "Right", V::kNumber, false, kC},
    {Prop::RightOffset, "RightOffset", V::kNumber, false, kC},
    {Prop::Font, "Font", V::kText, false, kC | kW},
    {Prop::FontSize, "FontSize", V::kNumber, false, kC | kW},
    {Prop::FontColor, "FontColor", V::kColour, false, kC | kW},
    {Prop::FontStyle, "FontStyle", V::kNumber, false, kC | kW},
    {Prop::RangeLow, "RangeLow", V::kNumber, false, kC},
    {Prop::RangeHigh, "RangeHigh", V::kNumber, false, kC},
    {Prop::Vcr, "Vcr", V::kFlag, false, kC},
    {Prop::Double, "Double", V::kFlag, false, kC | kW},
    {Prop::Resize, "Resize", V::kFlag, false, kC | kW},
    {Prop::NoFrame, "NoFrame", V::kFlag, false, kC | kW},
    {Prop::Pixels, "Pixels", V::kFlag, false, kW},
    {Prop::MouseDownRow, "MouseDownRow", V::kNumber, false, kL, kReadOnly},
    {Prop::MouseMoveRow, "MouseMoveRow", V::kNumber, false, kL, kReadOnly},
    {Prop::MouseDownField, "MouseDownField", V::kNumber, false, kL, kReadOnly},
    {Prop::MouseState, "MouseState", V::kNumber, false, kL, kReadOnly},
    {Prop::Max, "Max", V::kFlag, false, kC | kW},
    {Prop::First, "First", V::kFlag, false, kC},
    {Prop::Last, "Last", V::kFlag, false, kC},
    {Prop::Ins, "Ins", V::kFlag, false, kC},
    {Prop::Ovr, "Ovr", V::kFlag, false, kC},
    {Prop::Boxed, "Boxed", V::kFlag, false, kC},
    {Prop::Cap, "Cap", V::kFlag, false, kC},
    {Prop::Cursor, "Cursor", V::kText, false, kC | kW},
    {Prop::Default, "Default", V::kFlag, false, kC},
    {Prop::Disable, "Disable", V::kFlag, false, kC | kW},
    {Prop::Drop, "Drop", V::kNumber, false, kC},
    {Prop::Fill, "Fill", V::kColour, false, kC},
    {Prop::From, "From", V::kText, false, kL},
    {Prop::Full, "Full", V::kFlag, false, kC},
    {Prop::Gray, "Gray", V::kFlag, false, kC},
    {Prop::Hide, "Hide", V::kFlag, false, kC | kW},
    {Prop::Hlp, "Hlp", V::kText, false, kC},
    {Prop::HScroll, "HScroll", V::kFlag, false, kC},
    {Prop::Icon, "Icon", V::kPicture, false, kC | kW},
    {Prop::Iconize, "Iconize", V::kFlag, false, kC | kW},
    {Prop::Imm, "Imm", V::kFlag, false, kC | kW},
    {Prop::Key, "Key", V::kKey, false, kC},
    {Prop::Maximize, "Maximize", V::kFlag, false, kC | kW},
    {Prop::Msg, "Msg", V::kText, false, kC | kW},
    {Prop::NoBar, "NoBar", V::kFlag, false, kC},
    {Prop::NoMerge, "NoMerge", V::kFlag, false, kC},
    {Prop::Password, "Password", V::kFlag, false, kC},
    {Prop::ReadOnly, "ReadOnly", V::kFlag, false, kC},
    {Prop::Req, "Req", V::kFlag, false, kC},
    {Prop::Round, "Round", V::kFlag, false, kC},
    {Prop::Scroll, "Scroll", V::kFlag, false, kC},
    {Prop::Skip, "Skip", V::kFlag, false, kC},
    {Prop::Step, "Step", V::kNumber, false, kC},
    {Prop::System, "System", V::kFlag, false, kC | kW},
    {Prop::Format, "Format", V::kText, false, kL},
    {Prop::Trn, "Trn", V::kFlag, false, kC | kW},
    {Prop::Upr, "Upr", V::kFlag, false, kC},
    {Prop::VScroll, "VScroll", V::kFlag, false, kC},
    {Prop::Items, "Items", V::kNumber, false, kL},
    {Prop::Auto, "Auto", V::kFlag, false, kC},
    {Prop::ToolBox, "ToolBox", V::kFlag, false, kC},
    {Prop::Palette, "Palette", V::kNumber, false, kC},
    {Prop::Handle, "Handle", V::kNumber, false, kW, kReadOnly},
    {Prop::Active, "Active", V::kFlag, false, kW},
    {Prop::Tip, "Tip", V::kText, false, kC | kW},
    {Prop::MinWidth, "MinWidth", V::kNumber, false, kC | kW},
    {Prop::MinHeight, "MinHeight", V::kNumber, false, kC | kW},
    {Prop::MaxWidth, "MaxWidth", V::kNumber, false, kC | kW},
    {Prop::MaxHeight, "MaxHeight", V::kNumber, false, kC | kW},
    {Prop::NoTips, "NoTips", V::kFlag, false, kC},
    {Prop::Spread, "Spread", V::kFlag, false, kC},
    {Prop::Size, "Size", V::kNumber, false, kC},
    {Prop::ScreenText, "ScreenText", V::kText, false, kC},
    {Prop::LazyDisplay, "LazyDisplay", V::kFlag, false, kSys},
    {Prop::DeferMove, "DeferMove", V::kNumber, false, kSys},
    {Prop::BevelStyle, "BevelStyle", V::kNumber, false, kC},
    {Prop::Join, "Join", V::kFlag, false, kC},
    {Prop::NoSheet, "NoSheet", V::kFlag, false, kC | kS},
    {Prop::BevelOuter, "BevelOuter", V::kNumber, false, kC},
    {Prop::BevelInner, "BevelInner", V::kNumber, false, kC},
    {Prop::LineWidth, "LineWidth", V::kNumber, false, kC},
    {Prop::Angle, "Angle", V::kNumber, false, kC},
    // Indexed for menus and menu items (1 background, 2 selected text, 3 selected background)
    // and, as the other font and colour properties, for the styles of lists (prop.h); every
    // other object keeps one colour.
    {Prop::Color, "Color", V::kColour, kIndexed, kC | kW},
    {Prop::SelectedColor, "SelectedColor", V::kColour, false, kC},
    {Prop::SelectedFillColor, "SelectedFillColor", V::kColour, false, kC},
    {Prop::LineHeight, "LineHeight", V::kNumber, false, kC},
    {Prop::DropWidth, "DropWidth", V::kNumber, false, kC},
    {Prop::AlwaysDrop, "AlwaysDrop", V::kFlag, false, kC},
    {Prop::EditControl, "EditControl", V::kNumber, kIndexed, kL},
    {Prop::Alrt, "Alrt", V::kKey, kIndexed, kC | kW},
    {Prop::NextField, "NextField", V::kNumber, kIndexed, kW, kReadOnly},
    {Prop::SnapWidth, "SnapWidth", V::kNumber, false, kC},
    {Prop::SnapHeight, "SnapHeight", V::kNumber, false, kC},
    {Prop::Parent, "Parent", V::kNumber, false, kC, kReadOnly},
    {Prop::Visible, "Visible", V::kFlag, false, kC, kReadOnly},
    {Prop::Selected, "Selected", V::kNumber, false, kC},
    {Prop::Timer, "Timer", V::kNumber, false, kW},
    {Prop::Std, "Std", V::kNumber, false, kC},
    {Prop::Thread, "Thread", V::kNumber, false, kW, kReadOnly},
    {Prop::ClientHandle, "ClientHandle", V::kNumber, false, kW, kReadOnly},
    {Prop::Touched, "Touched", V::kFlag, false, kC},
    {Prop::Modal, "Modal", V::kFlag, false, kSys},
    {Prop::IconList, "IconList", V::kPicture, kIndexed, kL},
    {Prop::Mark, "Mark", V::kNumber, false, kL},
    {Prop::Picture, "Picture", V::kText, false, kC},
    {Prop::ChildIndex, "ChildIndex", V::kNumber, false, kC, kReadOnly},
    {Prop::Target, "Target", V::kNumber, false, kSys, kReadOnly},
    {Prop::Opacity, "Opacity", V::kNumber, false, kW},
    {Prop::Progress, "Progress", V::kNumber, false, kC},
    {Prop::TopMost, "TopMost", V::kFlag, false, kW},
    {Prop::Value, "Value", V::kText, false, kC},
    {Prop::Ole, "OLE", V::kFlag, false, kFamilyOle, kReadOnly},
    {Prop::Stretch, "Stretch", V::kFlag, false, kC},
    {Prop::FontCharSet, "FontCharSet", V::kNumber, false, kC | kW},
    // Answered by the runtime: no window of the program has a toolbar.
    {Prop::InToolBar, "InToolBar", V::kFlag, false, kC, kReadOnly},
    {Prop::Docked, "Docked", V::kNumber, false, kW},
    {Prop::TreeRow, "TreeRow", V::kNumber, false, kL, kReadOnly},
    {Prop::MenuBarHilite, "MenuBarHilite", V::kNumber, false, kW},
    {Prop::Child, "Child", V::kNumber, kIndexed, kC, kReadOnly},
    {Prop::ColumnHeader, "ColumnHeader", V::kText, kIndexed, kL},
    {Prop::ColumnWidth, "ColumnWidth", V::kNumber, kIndexed, kL},
    {Prop::ColumnResizable, "ColumnResizable", V::kNumber, kIndexed, kL},
};

static_assert(FirstDuplicateNumber(kProperties) == std::size(kProperties),
              "two properties share a number");
static_assert(std::ranges::is_sorted(kProperties, {}, &PropertyInfo::prop),
              "the registry is kept in order of number");

bool SameName(std::string_view a, std::string_view b) {
  return std::ranges::equal(
      a, b, [](unsigned char x, unsigned char y) { return std::tolower(x) == std::tolower(y); });
}

}  // namespace

std::span<const PropertyInfo> AllProperties() { return kProperties; }

const PropertyInfo* FindProperty(Prop p) {
  const auto it = std::ranges::lower_bound(kProperties, p, {}, &PropertyInfo::prop);
  return it != std::end(kProperties) && it->prop == p ? &*it : nullptr;
}

const PropertyInfo* FindProperty(std::string_view name) {
  for (const PropertyInfo& info : kProperties) {
    if (SameName(info.name, name)) return &info;
  }
  return nullptr;
}

}  // namespace platform::ui
