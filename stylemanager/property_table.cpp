// ZOVStylemanagerClass.BuildPropertyTable: the property table, the custom properties first,
// then the runtime's, each inserted in PROPERTYDESCRIPTION order. The numbers are a stored
// format: a value is stored under "property " & the number in decimal.
#include "restyle/property_table.h"

#include <cstdint>
#include <string_view>

#include "platform/core/text.h"
#include "platform/ui/prop.h"
#include "stylemanager/stylemanager_class.h"

namespace stylemanager {
namespace {

using platform::ui::Prop;
using namespace restyle;  // the custom numbers and the editor types

struct Row {
  std::string_view name;
  int32_t number;
  uint8_t type;
  std::string_view description = {};  // the name when empty
};

constexpr int32_t N(Prop p) { return static_cast<int32_t>(p); }

// In the order they are added; each name is translated.
constexpr Row kCustomRows[] = {
    {"Mark selected control", kMarkSelectedControl, kEditMark},
    {"Window roundness", kWindowRoundness, kEditByte},
    {"Check window position", kCheckWindowPosition, kEditTrueFalse},
    {"Save window position and size", kSaveWindowPosition, kEditTrueFalse},
    {"Custom menu look", kCustomMenuLook, kEditMenuLook},
    {"Dynamic sizing of window", kDynamicSizing, kEditTrueFalse},
    {"Maximize window automatic", kMaximizeAutomatic, kEditTrueFalse},
    {"Center controls automatic", kCenterControls, kEditTrueFalse},
    {"No property styling for this controltype", kNoPropertyStyling, kEditTrueFalse},
    {"Disable styling for this Window", kDisableStyling, kEditTrueFalse},
    {"Control position and size", kControlPositionAndSize, kEditPosition},
    {"Resize strategy", kResizeStrategy, kEditResizeStrategy},
    {"Image on control", kImageOnControl, kEditImageOnControl},
    {"Fade windows in and out", kFadeWindows, kEditFade},
    {"Limit procedure start", kLimitProcedureStart, kEditByte},
    {"Name of the control", kNameOfTheControl, kEditNone},
};

// The font of tips and of the status bar: numbers no control has, so they read "".
constexpr int32_t kTipsFont = 0x10;
constexpr int32_t kStatusFont = 0x14;

// In the order they are added; the names are the runtime's and are not translated.
constexpr Row kRuntimeRows[] = {
    {"Text", N(Prop::Text), kEditText},
    {"Type", N(Prop::Type), kEditText},
    {"Center", N(Prop::Center), kEditTrueFalse},
    {"CenterOffSet", N(Prop::CenterOffset), kEditText},
    {"Left", N(Prop::Left), kEditTrueFalse},
    {"LeftOffSet", N(Prop::LeftOffset), kEditText},
    {"Decimal", N(Prop::Decimal), kEditText},
    {"DecimalOffSet", N(Prop::DecimalOffset), kEditText},
    {"Right", N(Prop::Right), kEditText},
    {"RightOffSet", N(Prop::RightOffset), kEditText},
    {"Above", N(Prop::Decimal), kEditText},
    {"AboveSize", N(Prop::DecimalOffset), kEditText},
    {"Below", N(Prop::Center), kEditText},
    {"BelowSize", N(Prop::CenterOffset), kEditText},
    {"Font", N(Prop::Font), kEditFont},
    {"FontName", N(Prop::Font), kEditText},
    {"FontSize", N(Prop::FontSize), kEditText},
    {"FontColor", N(Prop::FontColor), kEditColor},
    {"FontStyle", N(Prop::FontStyle), kEditText},
    {"TipsFont", kTipsFont, kEditText},
    {"StatusFont", kStatusFont, kEditText},
    {"Range", N(Prop::RangeLow), kEditText},
    {"RangeLow", N(Prop::RangeLow), kEditText},
    {"RangeHigh", N(Prop::RangeHigh), kEditText},
    {"VCR", N(Prop::Vcr), kEditTrueFalse},
    {"Double", N(Prop::Double), kEditText},
    {"Resize", N(Prop::Resize), kEditTrueFalse},
    {"NoFrame", N(Prop::NoFrame), kEditTrueFalse},
    {"First", N(Prop::First), kEditText},
    {"Last", N(Prop::Last), kEditText},
    {"Ins", N(Prop::Ins), kEditText},
    {"Ovr", N(Prop::Ovr), kEditText},
    {"Boxed", N(Prop::Boxed), kEditTrueFalse},
    {"Cap", N(Prop::Cap), kEditTrueFalse,
     "Specifies automatic capitalization of text entered into ENTRY or TEXT controls"},
    {"Cursor", N(Prop::Cursor), kEditCursor},
    {"Default", N(Prop::Default), kEditText},
    {"Disable", N(Prop::Disable), kEditTrueFalse},
    {"Required", N(Prop::Req), kEditTrueFalse},
    {"Read-only", N(Prop::ReadOnly), kEditTrueFalse},
    {"Drop", N(Prop::Drop), kEditText},
    {"Fill", N(Prop::Fill), kEditColor},
    {"From", N(Prop::From), kEditText},
    {"Full", N(Prop::Full), kEditTrueFalse},
    {"Gray", N(Prop::Gray), kEditTrueFalse},
    {"Hide", N(Prop::Hide), kEditTrueFalse},
    {"Hlp", N(Prop::Hlp), kEditText},
    {"HScroll", N(Prop::HScroll), kEditTrueFalse,
     "Specifies the presence of a Horizontal Scrollbar"},
    {"Icon", N(Prop::Icon), kEditIcon},
    {"Iconize", N(Prop::Iconize), kEditTrueFalse},
    {"Key", N(Prop::Key), kEditText},
    {"Max", N(Prop::Max), kEditTrueFalse,
     "Specifies the presence of a Maximize button on the window"},
    {"Maximize", N(Prop::Maximize), kEditTrueFalse},
    {"Msg", N(Prop::Msg), kEditText},
    {"NoBar", N(Prop::NoBar), kEditTrueFalse},
    {"NoMerge", N(Prop::NoMerge), kEditTrueFalse},
    {"Password", N(Prop::Password), kEditTrueFalse},
    {"Round", N(Prop::Round), kEditTrueFalse},
    {"Scroll", N(Prop::Scroll), kEditTrueFalse},
    {"Skip", N(Prop::Skip), kEditTrueFalse},
    {"Step", N(Prop::Step), kEditText},
    {"System", N(Prop::System), kEditText,
     "Specifies the presence of a Windows system menu (also called the control menu) on the "
     "APPLICATION or WINDOW"},
    {"Format", N(Prop::Format), kEditText},
    {"Trn", N(Prop::Trn), kEditTrueFalse},
    {"Upr", N(Prop::Upr), kEditTrueFalse,
     "Specifies automatic UPPER case of text entered into ENTRY or TEXT controls"},
    {"VScroll", N(Prop::VScroll), kEditTrueFalse, "Specifies the presence of a Vertical Scrollbar"},
    {"Items", N(Prop::Items), kEditText},
    {"Auto", N(Prop::Auto), kEditText},
    {"ToolBox", N(Prop::ToolBox), kEditTrueFalse},
    {"Palette", N(Prop::Palette), kEditText},
    {"Tip", N(Prop::Tip), kEditText},
    {"MinWidth", N(Prop::MinWidth), kEditText},
    {"MinHeight", N(Prop::MinHeight), kEditText},
    {"MaxWidth", N(Prop::MaxWidth), kEditText},
    {"MaxHeight", N(Prop::MaxHeight), kEditText},
    {"NoTips", N(Prop::NoTips), kEditTrueFalse},
    {"Spread", N(Prop::Spread), kEditText},
    {"Size", N(Prop::Size), kEditText},
    {"BevelStyle", N(Prop::BevelStyle), kEditText},
    {"Join", N(Prop::Join), kEditText},
    {"NoSheet", N(Prop::NoSheet), kEditText},
    {"BevelOuter", N(Prop::BevelOuter), kEditByte},
    {"BevelInner", N(Prop::BevelInner), kEditByte},
    {"LineWidth", N(Prop::LineWidth), kEditText},
    {"Angle", N(Prop::Angle), kEditText},
    {"Color", N(Prop::Color), kEditColor},
    {"Background", N(Prop::Color), kEditColor},
    {"FillColor", N(Prop::Color), kEditColor},
    {"SelectedColor", N(Prop::SelectedColor), kEditColor},
    {"SelectedFillColor", N(Prop::SelectedFillColor), kEditColor},
    {"LineHeight", N(Prop::LineHeight), kEditText},
    {"DropWidth", N(Prop::DropWidth), kEditText},
    {"AlwaysDrop", N(Prop::AlwaysDrop), kEditTrueFalse},
    {"Up", N(Prop::Up), kEditText},
    {"Down", N(Prop::Down), kEditText},
    {"UpsideDown", N(Prop::UpsideDown), kEditText},
    {"Single", N(Prop::Single), kEditText},
    {"Repeat", N(Prop::Repeat), kEditText},
    {"Flat", N(Prop::Flat), kEditTrueFalse},
    {"WallPaper", N(Prop::WallPaper), kEditImage},
    {"Tiled", N(Prop::Tiled), kEditTrueFalse},
    {"Centered", N(Prop::Centered), kEditTrueFalse},
    {"BrokenTabs", N(Prop::BrokenTabs), kEditText},
    {"SnapWidth", N(Prop::SnapWidth), kEditText},
    {"SnapHeight", N(Prop::SnapHeight), kEditText},
};
static_assert(std::size(kCustomRows) == 16);
static_assert(std::size(kRuntimeRows) == 104);
// The stored numbers that the platform's own numbering must keep.
static_assert(N(Prop::NoSheet) == 0x7CE3 && N(Prop::Color) == 0x7CFA && N(Prop::Req) == 0x7C7C &&
              N(Prop::SnapHeight) == 0x7D0D && N(Prop::BrokenTabs) == 0x7A49);

}  // namespace

void ZOVStylemanagerClass::BuildPropertyTable() {
  PropertyTableQueue& table = *CLARIONCONTROLPROPERTIESQUEUE;
  table.Free();  // built anew by every Init
  const platform::QueueKey by_description = {
      table.Asc(&ControlPropertyRecord::PROPERTYDESCRIPTION)};
  const auto add = [&](std::string_view property, std::string_view description, const Row& row,
                       uint8_t custom) {
    table.ClearBuffer();
    table.buffer.PROPERTY = property;
    table.buffer.PROPERTYDESCRIPTION = description;
    table.buffer.PROPERTYEQUATE = row.number;
    table.buffer.TYPE = row.type;
    table.buffer.CUSTOMPROPERTY = custom;
    table.AddByKey(by_description);
  };
  for (const Row& row : kCustomRows) {
    const std::string name = Translate(row.name);
    add(name, name, row, 1);
  }
  for (const Row& row : kRuntimeRows) {
    add(platform::Upper(row.name), row.description.empty() ? row.name : row.description, row, 0);
  }
}

}  // namespace stylemanager
