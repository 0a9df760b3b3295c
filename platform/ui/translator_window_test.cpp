// Translator.ApplyToWindow on a window of every kind of caption: what is translated and what
// is left alone.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/testing/window_test.h"
#include "platform/ui/structure.h"
#include "platform/ui/translator.h"
#include "platform/ui/window.h"

namespace platform::ui {
namespace {

constexpr ControlDecl kControls[] = {
    Menubar(),
    Menu("?FileMenu", "&File"),
    Item("?CloseItem", "Close", "?FileMenu").Msg("Close"),
    Prompt("?Prompt", "Name", {4, 4, 40, 10}),
    String("?Label", "Name", {50, 4, 40, 10}),
    String("?Shown", "Name", {90, 4, 40, 10}),
    Entry("?Entry", {4, 16, 100, 10}).Tip("Name").Msg("Name"),
    Button("?Ok", "OK", {4, 30, 40, 14}).Tip("OK"),
    Check("?Check", "Name", {4, 46, 40, 10}),
    Option("?Option", "Name", {4, 58, 80, 30}),
    Radio("?Radio", "OK", {8, 66, 40, 10}, "?Option"),
    Sheet("?Sheet", {4, 90, 100, 60}),
    Tab("?Tab", "Name", "?Sheet"),
    List("?List", {8, 104, 90, 40}).Format("40L(2)|M~Name~@s20@40L(2)|M~Other~@s20@"),
    Button("?Empty", "", {4, 152, 40, 14}),
};
constexpr WindowStructure kWindow{"test$translate", "P1$WINDOW",      WindowKind::kPlain,
                                  "Name",           {0, 0, 160, 170}, kControls};

class TranslatorWindowTest : public testing::WindowTest {};

TEST_F(TranslatorWindowTest, TranslatesCaptionsTipsMessagesAndHeadersButNoVariables) {
  std::vector<std::string> texts;
  std::vector<std::string> collected;
  runtime.StartMain([&] {
    Window window(kWindow);
    std::string variable = "Name";
    window.Use(kWindow.Equate("?Shown"), variable);
    window.Use(kWindow.Equate("?Check"), variable);
    Translator t;
    t.Init();
    t.file_name = "collecting";
    t.AddPair("Name", "Naam");
    t.AddPair("OK", "Goed");
    t.ApplyToWindow(window);
    texts.push_back(window.Get(kNoField, Prop::Text));
    for (const char* equate : {"?FileMenu", "?CloseItem", "?Prompt", "?Label", "?Shown", "?Ok",
                               "?Check", "?Option", "?Radio", "?Tab", "?Empty"}) {
      texts.push_back(std::string(equate) + "=" +
                      window.Get(kWindow.FindEquate(equate), Prop::Text));
    }
    const FieldId entry = kWindow.Equate("?Entry");
    const FieldId list = kWindow.Equate("?List");
    texts.push_back("tip " + window.Get(entry, Prop::Tip) + ", msg " +
                    window.Get(entry, Prop::Msg) + ", ok tip " +
                    window.Get(kWindow.Equate("?Ok"), Prop::Tip) + ", item msg " +
                    window.Get(kWindow.Equate("?CloseItem"), Prop::Msg));
    texts.push_back("headers " + window.Get(list, Prop::ColumnHeader, 1) + "|" +
                    window.Get(list, Prop::ColumnHeader, 2));
    for (const auto& [text, translation] : t.pairs()) {
      if (translation.empty()) collected.push_back(text);
    }
  });
  runtime.Join();
  EXPECT_EQ(texts, (std::vector<std::string>{
                       "Naam",
                       "?FileMenu=&File",
                       "?CloseItem=Close",
                       "?Prompt=Naam",
                       "?Label=Naam",
                       "?Shown=Name",  // shows its variable
                       "?Ok=Goed",
                       "?Check=Naam",  // a check's variable is its state, not its caption
                       "?Option=Naam",
                       "?Radio=Goed",
                       "?Tab=Naam",
                       "?Empty=",
                       "tip Naam, msg Naam, ok tip Goed, item msg Close",
                       "headers Naam|Other",
                   }));
  EXPECT_EQ(collected, (std::vector<std::string>{"&File", "Close", "Other"}));
}

}  // namespace
}  // namespace platform::ui
