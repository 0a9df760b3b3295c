#include "platform/ui/property_registry.h"

#include <set>
#include <string>

#include <gtest/gtest.h>

#include "platform/ui/property_table.h"

namespace platform::ui {
namespace {

TEST(PropertyRegistry, NumbersAreUnique) {
  EXPECT_EQ(FirstDuplicateNumber(AllProperties()), AllProperties().size());
  // The check itself finds a number given twice, wherever the second one is.
  constexpr PropertyInfo kTwice[] = {
      {Prop::Text, "Text", ValueKind::kText, false, kFamilyControl},
      {Prop::Hide, "Hide", ValueKind::kFlag, false, kFamilyControl},
      {Prop::Text, "Caption", ValueKind::kText, false, kFamilyWindow},
  };
  static_assert(FirstDuplicateNumber(kTwice) == 2);
  EXPECT_EQ(FirstDuplicateNumber(std::span(kTwice).first(2)), 2u);
  // The two numbers that once were one.
  EXPECT_NE(static_cast<int32_t>(Prop::TopMost), static_cast<int32_t>(Prop::Value));
}

TEST(PropertyRegistry, FindsEveryPropertyByNumberAndByNameInAnyCase) {
  std::set<std::string> upper_names;
  for (const PropertyInfo& info : AllProperties()) {
    SCOPED_TRACE(std::string(info.name));
    EXPECT_EQ(FindProperty(info.prop), &info);
    EXPECT_EQ(FindProperty(info.name), &info);
    std::string upper(info.name);
    for (char& ch : upper) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    EXPECT_EQ(FindProperty(upper), &info);
    EXPECT_TRUE(upper_names.insert(upper).second) << "two properties share a name";
  }
  ASSERT_NE(FindProperty("FontColor"), nullptr);
  EXPECT_EQ(FindProperty("FontColor")->prop, Prop::FontColor);
  EXPECT_EQ(FindProperty("FontColour"), nullptr);
  EXPECT_EQ(FindProperty(""), nullptr);
  EXPECT_EQ(FindProperty(static_cast<Prop>(0x7D5F)), nullptr);
}

// The registry lists what each family's table stores: same properties, indexed alike, and a
// value kind the table's storage kind can hold.
TEST(PropertyRegistry, AgreesWithTheFamiliesTables) {
  struct Family {
    std::string_view name;
    Families bits;  // a registry row with any of these belongs to the family
    const PropertyTable& table;
  };
  const Family kFamilies[] = {
      {"control", kFamilyControl, ControlProperties()},
      {"list", kFamilyControl | kFamilyList, ListProperties()},
      {"sheet", kFamilyControl | kFamilySheet, SheetProperties()},
      {"menu", kFamilyControl | kFamilyMenu, MenuProperties()},
      {"ole", kFamilyControl | kFamilyOle, OleProperties()},
      {"window", kFamilyWindow, WindowProperties()},
      {"system", kFamilySystem, SystemProperties()},
  };
  auto storage = [](ValueKind kind) {
    switch (kind) {
      case ValueKind::kText:
      case ValueKind::kPicture:
        return PropKind::kText;
      case ValueKind::kFlag:
        return PropKind::kFlag;
      default:
        return PropKind::kNumber;
    }
  };
  for (const Family& f : kFamilies) {
    SCOPED_TRACE(std::string(f.name));
    std::set<Prop> stored;
    f.table.ForEach([&](const PropertyDef& d) {
      SCOPED_TRACE(static_cast<int32_t>(d.prop));
      EXPECT_TRUE(stored.insert(d.prop).second) << "visited twice";
      const PropertyInfo* info = FindProperty(d.prop);
      ASSERT_NE(info, nullptr) << "not registered";
      EXPECT_NE(info->families & f.bits, 0) << info->name << " not listed for the family";
      // Color takes an index only on menus, and the font and colour properties on lists (a
      // style number); the other families keep one colour and one font.
      const std::set<Prop> kListStyle = {
          Prop::Font,        Prop::FontSize, Prop::FontColor,     Prop::FontStyle,
          Prop::FontCharSet, Prop::Color,    Prop::SelectedColor, Prop::SelectedFillColor};
      const bool list_style = f.bits & kFamilyList && kListStyle.contains(info->prop);
      if (list_style) {
        EXPECT_TRUE(d.indexed) << info->name;
      } else if (info->prop != Prop::Color || f.bits & kFamilyMenu) {
        EXPECT_EQ(info->indexed, d.indexed) << info->name;
      }
      // A flag of the window that controls keep as a number (Center) is the one exception.
      if (storage(info->kind) != d.kind) {
        EXPECT_EQ(info->prop, Prop::Center) << info->name;
      }
      EXPECT_EQ(f.table.Find(info->name), &d) << info->name;
    });
    for (const PropertyInfo& info : AllProperties()) {
      if ((info.families & f.bits) == 0 || info.read_only) continue;
      EXPECT_TRUE(stored.contains(info.prop)) << info.name << " listed but not stored";
    }
  }
}

}  // namespace
}  // namespace platform::ui
