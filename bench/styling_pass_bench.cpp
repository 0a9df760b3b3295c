// The styling pass over a window of many registered controls, on the SQLite-backed restyle
// files: the time of one pass (as a resize runs it), and the shares of the keyed-file reads
// and of the evaluation of the condition texts.
//
//   pex_styling_pass_bench [--controls=100] [--passes=50]
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/core/text.h"
#include "platform/eval/evaluate.h"
#include "platform/files/file_test_support.h"
#include "platform/files/keyed/keyed_driver.h"
#include "platform/testing/scripted_display.h"
#include "platform/ui/prop.h"
#include "platform/ui/structure.h"
#include "platform/ui/thread.h"
#include "platform/ui/window.h"
#include "restyle/condition_text.h"
#include "restyle/restyle_class.h"
#include "restyle/restyle_file_builder.h"
#include "restyle/restyle_files.h"
#include "restyle/restyle_test_support.h"
#include "stylemanager/stylemanager_class.h"

namespace {

namespace ui = platform::ui;
using Clock = std::chrono::steady_clock;
using platform::Status;
using platform::files::File;

constexpr std::string_view kProcedure = "BenchWindow";
constexpr int32_t kEntry = 8;
constexpr int32_t kButton = 9;
constexpr int32_t kPrompt = 10;
constexpr int32_t kWindowType = 25;

// Time spent in the keyed files' reads, over every file.
double g_read_seconds = 0;
int64_t g_reads = 0;

// The keyed driver, with its reads timed.
class TimedDriver final : public platform::files::ForwardingDriverForTest {
 public:
  using ForwardingDriverForTest::ForwardingDriverForTest;

  Status Set(File& f) override {
    return Timed([&] { return inner().Set(f); });
  }
  Status SetKey(File& f, size_t key, bool from_buffer) override {
    return Timed([&] { return inner().SetKey(f, key, from_buffer); });
  }
  Status Next(File& f) override {
    return Timed([&] { return inner().Next(f); });
  }
  Status Previous(File& f) override {
    return Timed([&] { return inner().Previous(f); });
  }
  Status Get(File& f, size_t key) override {
    return Timed([&] { return inner().Get(f, key); });
  }

 private:
  template <class Op>
  Status Timed(Op op) {
    const Clock::time_point start = Clock::now();
    Status s = op();
    g_read_seconds += std::chrono::duration<double>(Clock::now() - start).count();
    ++g_reads;
    return s;
  }
};

// The 20 properties listed for every type: 14 of the runtime's, 6 custom ones.
constexpr ui::Prop kListed[] = {
    ui::Prop::Color, ui::Prop::FontColor, ui::Prop::FontStyle,     ui::Prop::FontSize,
    ui::Prop::Font,  ui::Prop::Trn,       ui::Prop::SelectedColor, ui::Prop::SelectedFillColor,
    ui::Prop::Tip,   ui::Prop::Cursor,    ui::Prop::Icon,          ui::Prop::Disable,
    ui::Prop::Msg,   ui::Prop::Flat,
};
constexpr int32_t kListedCustom[] = {
    restyle::kMarkSelectedControl, restyle::kWindowRoundness, restyle::kControlPositionAndSize,
    restyle::kResizeStrategy,      restyle::kImageOnControl,  restyle::kNoPropertyStyling,
};

// One condition of the benchmark's sets, as stored.
struct BenchCondition {
  int32_t property;
  std::string_view op;
  std::string_view value;
  uint8_t manual;
};

// A set of the benchmark: where it is, its conditions (none: "-Unconditional-") and how many
// of the listed properties it gives values.
struct BenchSet {
  bool global;
  std::string group;  // "ControlType 8", "Control ?E3"
  std::string name;
  std::vector<BenchCondition> conditions;
  int values;
};

constexpr auto kWidth = static_cast<int32_t>(ui::Prop::Width);
constexpr auto kText = static_cast<int32_t>(ui::Prop::Text);

// 20 sets over the three levels, 8 of them with conditions.
std::vector<BenchSet> Sets() {
  const auto type = [](int32_t t) { return "ControlType " + std::to_string(t); };
  return {
      {true, type(kEntry), std::string(restyle::kUnconditionalSet), {}, 6},
      {true, type(kPrompt), std::string(restyle::kUnconditionalSet), {}, 6},
      {true, type(kButton), std::string(restyle::kUnconditionalSet), {}, 6},
      {true, type(kWindowType), std::string(restyle::kUnconditionalSet), {}, 2},
      {true, type(kEntry), "Wide", {{kWidth, ">", "50", 1}}, 3},
      {true, type(kPrompt), "Colon", {{kText, "CONTAINS", ":", 0}}, 3},
      {false, type(kEntry), std::string(restyle::kUnconditionalSet), {}, 4},
      {false,
       type(kEntry),
       "Narrow and low",
       {{kWidth, "<", "100", 1}, {0, "AND", "", 0}, {kWidth, ">", "10", 1}},
       3},
      {false, type(kEntry), "Named", {{restyle::kNameOfTheControl, "CONTAINS", "1", 0}}, 2},
      {false, type(kPrompt), std::string(restyle::kUnconditionalSet), {}, 4},
      {false,
       type(kPrompt),
       "Either",
       {{kText, "=", "Label 3:", 0}, {0, "OR", "", 0}, {kText, "=", "Label 7:", 0}},
       2},
      {false, type(kButton), std::string(restyle::kUnconditionalSet), {}, 4},
      {false, type(kButton), "Ok", {{kText, "<>", "&Cancel", 0}}, 2},
      {false, type(kWindowType), std::string(restyle::kUnconditionalSet), {}, 3},
      {false, "Control ?E1", std::string(restyle::kUnconditionalSet), {}, 3},
      {false, "Control ?E2", std::string(restyle::kUnconditionalSet), {}, 3},
      {false, "Control ?P1", "Sized", {{kWidth, "=", "60", 0}}, 2},
      {false, "Control ?B1", std::string(restyle::kUnconditionalSet), {}, 3},
      {false, "Control ?B2", std::string(restyle::kUnconditionalSet), {}, 3},
      {false, "Control ?P2", std::string(restyle::kUnconditionalSet), {}, 3},
  };
}

// A value for the i-th listed runtime property.
std::string ValueFor(ui::Prop p, int i) {
  switch (p) {
    case ui::Prop::Font:
      return "Arial";
    case ui::Prop::FontSize:
      return "9";
    case ui::Prop::Tip:
    case ui::Prop::Msg:
      return "Value " + std::to_string(i);
    case ui::Prop::Trn:
    case ui::Prop::Disable:
    case ui::Prop::Flat:
      return "";
    case ui::Prop::Cursor:
    case ui::Prop::Icon:
      return "";
    default:
      return std::to_string(0x102030 + i);
  }
}

// A property row's name: `prefix` and `number`.
std::string RowName(std::string_view prefix, int32_t number) {
  std::string name(prefix);
  name += std::to_string(number);
  return name;
}

struct Figures {
  double pass_seconds = 0;
  double read_share = 0;
  double eval_share = 0;
  int64_t reads_per_pass = 0;
  int64_t evaluations_per_pass = 0;
};

Figures Run(int controls, int passes) {
  platform::files::InTempDirForTest temp;
  // The window: a third each of prompts, entries and buttons, ten to a row.
  std::vector<std::string> names;
  std::vector<std::string> texts;
  names.reserve(controls);
  texts.reserve(controls);
  std::vector<ui::ControlDecl> decls;
  for (int i = 0; i < controls; ++i) {
    const int kind = i % 3;
    const int n = i / 3 + 1;
    const std::string number = std::to_string(n);
    std::string name = kind == 0 ? "?P" : kind == 1 ? "?E" : "?B";
    name += number;
    names.push_back(std::move(name));
    std::string text = kind == 0 ? "Label " : "&Button ";
    text += number;
    if (kind == 0) text += ":";
    texts.push_back(std::move(text));
    const ui::RectDu at{4 + (i % 10) * 64, 4 + (i / 10) * 16, 60, 12};
    decls.push_back(kind == 0   ? ui::Prompt(names.back(), texts.back(), at)
                    : kind == 1 ? ui::Entry(names.back(), at)
                                : ui::Button(names.back(), texts.back(), at));
  }
  const ui::WindowStructure structure{"bench$styling", "P1$WINDOW",      ui::WindowKind::kPlain,
                                      "Styled",        {0, 0, 660, 180}, decls};

  const std::vector<BenchSet> sets = Sets();
  restyle::testing::WriteRestyleFiles([&](restyle::testing::RestyleFileBuilder& b) {
    for (const int32_t type : {kEntry, kButton, kPrompt, kWindowType}) {
      for (const ui::Prop p : kListed) {
        b.ListProperty(type, RowName("P", static_cast<int32_t>(p)), static_cast<int32_t>(p));
      }
      for (const int32_t p : kListedCustom) b.ListProperty(type, RowName("C", -p), p);
    }
    for (const BenchSet& s : sets) {
      const int32_t id = b.Set(s.global ? restyle::kGlobalSettings : kProcedure, s.group, s.name);
      for (const BenchCondition& c : s.conditions) {
        b.Condition(id, c.property, c.op, c.value, c.manual);
      }
      for (int v = 0; v < s.values; ++v) {
        const ui::Prop p = kListed[v % std::size(kListed)];
        b.Value(id, static_cast<int32_t>(p), ValueFor(p, v));
      }
    }
  });

  Figures f;
  restyle::RestyleFiles files(
      [] { return std::make_unique<TimedDriver>(platform::files::MakeKeyedDriver()); });
  platform::FixedString<255> user = restyle::testing::kDefaultUser;
  stylemanager::ZOVStylemanagerClass manager;
  restyle::testing::BindToFiles(manager, files, user);
  manager.BindPropertyFile(files.ZOVPROPERTIESFILE, restyle::kPropertiesPrimaryKey,
                           files.ZOVPF.CONTROLTYPEEQUATE, files.ZOVPF.PROPERTYEQUATE,
                           files.ZOVPF.PROPERTY, files.ZOVPF.PROPERTYDESCRIPTION,
                           files.ZOVPF.HIDEFROMENDUSER);
  platform::testing::ScriptedDisplay display;
  restyle::testing::RunOnRuntimeThread(display, [&] {
    manager.Init(0x653);
    ui::Window window(structure);
    window.Open();
    {
      restyle::ZOVRestyleClass restyle;
      restyle.Init(manager, kProcedure);
      restyle.AddControl(0, 0, "Window", "Window");
      for (size_t i = 0; i < decls.size(); ++i) {
        restyle.AddControl(structure.FieldAt(i), 0, decls[i].equate, decls[i].equate);
      }
      restyle.SetWindow(window, 1);

      g_read_seconds = 0;
      g_reads = 0;
      const Clock::time_point start = Clock::now();
      for (int i = 0; i < passes; ++i) restyle.Restyle(0, 1);
      f.pass_seconds = std::chrono::duration<double>(Clock::now() - start).count() / passes;
      f.read_share = g_read_seconds / passes / f.pass_seconds;
      f.reads_per_pass = g_reads / passes;

      // The condition texts one pass evaluates: every set with conditions, for every control
      // its group reaches, against the control's values as the pass reads them.
      std::vector<std::string> conditions;
      for (size_t i = 0; i < decls.size(); ++i) {
        const ui::FieldId field = structure.FieldAt(i);
        const std::string type = window.Get(field, ui::Prop::Type);
        for (const BenchSet& s : sets) {
          if (s.conditions.empty()) continue;
          if (s.group != "ControlType " + type &&
              s.group != "Control " + platform::Upper(decls[i].equate)) {
            continue;
          }
          std::string text;
          for (const BenchCondition& c : s.conditions) {
            restyle::ConditionQueueRecord row;
            row.PROPERTYEQUATE = c.property;
            row.OPERATOR = c.op;
            row.VALUE = c.value;
            row.MANUALVALUE = c.manual;
            const std::string tested =
                c.property == restyle::kNameOfTheControl
                    ? platform::Upper(decls[i].equate)
                    : (c.property > 0 ? window.Get(field, static_cast<ui::Prop>(c.property)) : "");
            text += restyle::ConditionRowText(row, tested);
          }
          conditions.push_back(text);
        }
      }
      const Clock::time_point eval_start = Clock::now();
      for (int i = 0; i < passes; ++i) {
        for (const std::string& text : conditions) {
          if (platform::Evaluate(text).size() > 1000) std::abort();
        }
      }
      f.eval_share = std::chrono::duration<double>(Clock::now() - eval_start).count() / passes /
                     f.pass_seconds;
      f.evaluations_per_pass = static_cast<int64_t>(conditions.size());
    }
    window.Close();
    manager.Shutdown();
  });
  return f;
}

int Argument(int argc, char** argv, std::string_view name, int fallback) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view a = argv[i];
    if (a.starts_with(name) && a.size() > name.size() && a[name.size()] == '=') {
      return std::atoi(argv[i] + name.size() + 1);
    }
  }
  return fallback;
}

}  // namespace

int main(int argc, char** argv) {
  const int passes = Argument(argc, argv, "--passes", 50);
  const int only = Argument(argc, argv, "--controls", 0);
  std::printf("%-9s %12s %14s %12s %14s %12s\n", "controls", "ms per pass", "keyed reads",
              "reads share", "evaluations", "eval share");
  for (const int controls : {100, 300}) {
    if (only != 0 && controls != only) continue;
    const Figures f = Run(controls, passes);
    std::printf("%-9d %12.2f %14lld %11.1f%% %14lld %11.1f%%\n", controls, f.pass_seconds * 1000,
                static_cast<long long>(f.reads_per_pass), f.read_share * 100,
                static_cast<long long>(f.evaluations_per_pass), f.eval_share * 100);
  }
  return 0;
}
