#include "platform/ui/translator.h"

#include <string>
#include <vector>

#include "platform/core/fixed_string.h"
#include "platform/core/record.h"
#include "platform/files/ascii_driver.h"
#include "platform/files/file.h"
#include "platform/files/keyed/file_system.h"
#include "platform/ui/control.h"
#include "platform/ui/control_family.h"
#include "platform/ui/list_control.h"
#include "platform/ui/window.h"

namespace platform::ui {
namespace {

constexpr std::string_view kIndent = "           ";  // 11 blanks before each PSTRING

// The group's label: the first 8 characters of the name's base, the part before its first
// full stop after the last directory.
std::string GroupLabel(std::string_view file_name) {
  const size_t slash = file_name.rfind('/');
  std::string_view base = slash == std::string_view::npos ? file_name : file_name.substr(slash + 1);
  base = base.substr(0, base.find('.'));
  return std::string(base.substr(0, 8));
}

}  // namespace

const RecordLayout& TranslationLine::Layout() {
  static const RecordLayout layout =
      MakeLayout<TranslationLine>("TRN", Field<&TranslationLine::LINE>("LINE"));
  return layout;
}

void Translator::Init() {
  pairs_.clear();
  file_name = "";
}

void Translator::AddPair(std::string_view text, std::string_view translation) {
  const std::string_view key = ClipView(text);
  auto it = pairs_.find(key);
  if (it == pairs_.end()) {
    pairs_.emplace(std::string(key), std::string(translation));
  } else {
    it->second = std::string(translation);
  }
}

std::string Translator::LookupText(std::string_view text) {
  const std::string_view key = ClipView(text);
  auto it = pairs_.find(key);
  if (it != pairs_.end()) {
    if (!ClipView(it->second).empty()) return it->second;
  } else if (!file_name.empty() && !key.empty()) {
    pairs_.emplace(std::string(key), std::string());
  }
  return std::string(text);
}

void Translator::ApplyToWindow(Window& window) {
  const auto translate = [this](Control& c, Prop p, int32_t index) {
    const std::string text = c.Get(p, index);
    if (!text.empty()) c.Set(p, LookupText(text), index);
  };
  const std::string title = window.Get(kNoField, Prop::Text);
  if (!title.empty()) window.Set(kNoField, Prop::Text, LookupText(title));
  for (FieldId field : window.Fields()) {
    Control* c = window.control(field);
    if (c == nullptr) continue;
    // A string bound to a variable shows the variable, not a caption.
    const ControlFamily& family = FamilyOf(c->type());
    if (family.caption && !(family.bound_shows_variable && c->bound())) {
      translate(*c, Prop::Text, 0);
    }
    translate(*c, Prop::Tip, 0);
    translate(*c, Prop::Msg, 0);
    if (ListControl* list = window.list(field)) {
      const int32_t columns = static_cast<int32_t>(list->columns().size());
      for (int32_t i = 1; i <= columns; ++i) translate(*c, Prop::ColumnHeader, i);
    }
  }
}

bool Translator::WriteCollectedTexts() {
  if (file_name.empty()) return true;
  const std::string name = file_name.str();
  // A file that exists but could not be read at start-up holds the user's translations.
  if (files::Exists(name)) return true;
  std::vector<std::string_view> texts;
  for (const auto& [text, translation] : pairs_) {
    if (ClipView(translation).empty()) texts.push_back(text);
  }
  TranslationLine line;
  files::FileDeclaration decl;
  decl.label = "TRANSLATIONFILE";
  decl.name = name;
  decl.layout = &TranslationLine::Layout();
  decl.record = &line;
  files::File file(std::move(decl), files::MakeAsciiDriver());
  if (!file.Create() || !file.Open(files::kReadWrite | files::kDenyNone)) return false;
  const auto write = [&](std::string_view text) {
    line.LINE = text;
    return file.Add();
  };
  bool ok = write(GroupLabel(name) + " GROUP") &&
            write("Items      USHORT(" + std::to_string(texts.size()) + ")");
  for (std::string_view text : texts) {
    if (!ok) break;
    ok = write(std::string(kIndent) + "PSTRING('" + std::string(text) + "')") &&
         write(std::string(kIndent) + "PSTRING('')");
  }
  ok = ok && write("   END");
  // CLOSE puts the new file in place; after a failed write there is none.
  ok = file.Close() && ok;
  pairs_.clear();
  return ok;
}

}  // namespace platform::ui
