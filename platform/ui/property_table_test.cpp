#include "platform/ui/property_table.h"

#include <gtest/gtest.h>

#include "platform/ui/backend.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/list_control.h"

namespace platform::ui {
namespace {

TEST(PropertyStore, ValuesAreNormalisedToTheirKind) {
  struct Case {
    Prop prop;
    std::string_view in;
    std::string_view out;
  };
  constexpr Case kCases[] = {
      {Prop::Hide, "1", "1"},         {Prop::Hide, "0", ""},
      {Prop::Hide, "", ""},           {Prop::Hide, "yes", "1"},
      {Prop::LineHeight, "14", "14"}, {Prop::LineHeight, " 14 ", "14"},
      {Prop::LineHeight, "x", "0"},   {Prop::Text, " a b ", " a b "},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string(c.in));
    PropertyStore store(ControlProperties());
    store.Set(c.prop, c.in);
    EXPECT_EQ(store.Get(c.prop), c.out);
  }
}

TEST(PropertyStore, UnknownPropertyIsIgnored) {
  PropertyStore store(ControlProperties());
  EXPECT_EQ(store.Set(Prop::Handle, "12"), nullptr);  // a window property, not a control's
  EXPECT_EQ(store.Get(Prop::Handle), "");
  EXPECT_TRUE(store.values().empty());
}

TEST(PropertyStore, SetAnswersWhetherTheValueChanged) {
  PropertyStore store(ControlProperties());
  EXPECT_EQ(store.Get(Prop::Color), "-1");  // initial: no colour
  EXPECT_EQ(store.Set(Prop::Color, "-1"), nullptr);
  EXPECT_NE(store.Set(Prop::Color, "255"), nullptr);
  EXPECT_EQ(store.Set(Prop::Color, "255"), nullptr);
}

TEST(PropertyStore, IndexedPropertiesKeepOneValuePerIndex) {
  PropertyStore store(ListProperties());
  store.Set(Prop::ColumnHeader, "Owner", 2);
  store.Set(Prop::ColumnHeader, "Table", 3);
  EXPECT_EQ(store.Get(Prop::ColumnHeader, 2), "Owner");
  EXPECT_EQ(store.Get(Prop::ColumnHeader, 3), "Table");
  EXPECT_EQ(store.Get(Prop::ColumnHeader, 4), "");
  // A property without an index ignores it.
  store.Set(Prop::LineHeight, "14", 7);
  EXPECT_EQ(store.Get(Prop::LineHeight), "14");
}

TEST(ListFormat, ColumnsShowQueueFieldsInOrder) {
  const auto cols = ParseListFormat("80L(2)|M~Database~@s40@60R(2)*~Owner~C(0)@n5@40L#7#@s4@");
  ASSERT_EQ(cols.size(), 3u);
  EXPECT_EQ(cols[0].width, 80);
  EXPECT_EQ(cols[0].header, "Database");
  EXPECT_EQ(cols[0].picture, "@s40@");
  EXPECT_EQ(cols[0].queue_field, 1u);
  EXPECT_EQ(cols[1].align, 'R');
  EXPECT_EQ(cols[1].header, "Owner");
  EXPECT_EQ(cols[1].queue_field, 2u);  // its colours take fields 3 to 6
  EXPECT_EQ(cols[2].queue_field, 7u);
}

TEST(ListFormat, SingleColumnWithLocator) {
  const auto cols = ParseListFormat("1020L(2)@s255@?");
  ASSERT_EQ(cols.size(), 1u);
  EXPECT_EQ(cols[0].width, 1020);
  EXPECT_EQ(cols[0].picture, "@s255@");
  EXPECT_EQ(cols[0].flags, "?");
  EXPECT_TRUE(ParseListFormat("").empty());
}

TEST(ListFormat, ModifiersTakeTheFieldsAfterTheirColumnInOneOrder) {
  // Colours, icon, tree level, style, tip: in that order whatever order the letters have.
  struct Case {
    std::string_view format;
    size_t colours, icon, level, style, tip, next_column;
  };
  constexpr Case kCases[] = {
      {"2000L(2)JYTS(2000)", 0, 2, 3, 4, 0, 0},  // the tree list
      {"20L(2)JY?", 0, 2, 0, 3, 0, 0},           // a menu panel's list
      {"60L(2)PYT*I", 2, 6, 7, 8, 9, 0},        {"60L(2)P30L", 0, 0, 0, 0, 2, 3},
      {"60L(2)#4#T30L", 0, 0, 5, 0, 0, 6},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.format);
    const auto cols = ParseListFormat(c.format);
    ASSERT_FALSE(cols.empty());
    EXPECT_EQ(ModifierField(cols[0], '*'), c.colours);
    EXPECT_EQ(ModifierField(cols[0], 'I'), c.icon);
    EXPECT_EQ(ModifierField(cols[0], 'J'), c.icon);
    EXPECT_EQ(ModifierField(cols[0], 'T'), c.level);
    EXPECT_EQ(ModifierField(cols[0], 'Y'), c.style);
    EXPECT_EQ(ModifierField(cols[0], 'P'), c.tip);
    EXPECT_EQ(cols.size() > 1 ? cols[1].queue_field : 0, c.next_column);
  }
}

TEST(Popup, EntriesAreNumberedWithoutSeparatorsAndSubmenus) {
  const auto e = ParsePopup("Copy|-|More{|First|Second}|Last");
  ASSERT_EQ(e.size(), 6u);
  EXPECT_EQ(e[0].text, "Copy");
  EXPECT_EQ(e[0].number, 1);
  EXPECT_TRUE(e[1].separator);
  EXPECT_TRUE(e[2].submenu);
  EXPECT_EQ(e[2].text, "More");
  EXPECT_EQ(e[3].number, 2);
  EXPECT_EQ(e[3].depth, 1);
  EXPECT_EQ(e[4].number, 3);
  EXPECT_EQ(e[4].depth, 1);
  EXPECT_EQ(e[5].text, "Last");
  EXPECT_EQ(e[5].number, 4);
  EXPECT_EQ(e[5].depth, 0);
  EXPECT_TRUE(ParsePopup("").empty());
}

TEST(Locale, ButtonCaptionsComeFromClabutton) {
  EXPECT_EQ(StandardButtonCaptions()[1], "&Yes");
  SetLocale("CLABUTTON", "Oké,&Ja,&Nee");
  const std::vector<std::string> c = StandardButtonCaptions();
  ASSERT_EQ(c.size(), 8u);
  EXPECT_EQ(c[0], "Oké");
  EXPECT_EQ(c[2], "&Nee");
  EXPECT_EQ(c[3], "&Abort");  // not given: the default stays
  EXPECT_EQ(GetLocale("clabutton"), "Oké,&Ja,&Nee");
  SetLocale("CLABUTTON", "");
  EXPECT_EQ(StandardButtonCaptions()[0], "OK");
}

TEST(DialogUnits, ConvertWithTheFontsCharacterSize) {
  constexpr TextMetrics kFont{6, 13};
  static_assert(HorizontalPixels(4, kFont) == 6);
  static_assert(VerticalPixels(8, kFont) == 13);
  constexpr RectDu px = PixelsFromDialogUnits({10, 20, 419, 232}, kFont);
  EXPECT_EQ(px.x, 15);
  EXPECT_EQ(px.y, 32);
  EXPECT_EQ(px.width, 628);   // 419 * 6 / 4, rounded down
  EXPECT_EQ(px.height, 377);  // 232 * 13 / 8, rounded down
}

}  // namespace
}  // namespace platform::ui
