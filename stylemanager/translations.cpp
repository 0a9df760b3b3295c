// ZOVStylemanagerClass.LoadTranslations: the pairs of the translation file the translator
// writes (platform/ui/translator.h). A line that begins with a blank opens a pair and the
// next line, whatever it holds, is its translation; of both, columns 21 to L - 2 are taken
// (L: the line's length without its trailing blanks), the text between "PSTRING('" and "')".
#include <string>
#include <string_view>

#include "platform/core/fixed_string.h"
#include "platform/core/record.h"
#include "platform/files/ascii_driver.h"
#include "platform/files/file.h"
#include "stylemanager/stylemanager_class.h"

namespace stylemanager {
namespace {

using platform::ui::TranslationLine;

// Text and translation are held in this many bytes each.
constexpr size_t kPairTextBytes = 512;
constexpr size_t kFirstColumn = 21;

// Columns 21 to L - 2 of `line`.
std::string Quoted(std::string_view line) {
  line = platform::ClipView(line);
  if (line.size() < kFirstColumn + 1) return {};
  const std::string_view inner = line.substr(kFirstColumn - 1, line.size() - kFirstColumn - 1);
  return std::string(platform::CutUtf8(inner, kPairTextBytes));
}

}  // namespace

void ZOVStylemanagerClass::LoadTranslations() {
  TranslationLine line;
  platform::files::FileDeclaration decl;
  decl.label = "TRANSLATIONFILE";
  decl.name = TRANSLATOR->file_name.str();
  decl.layout = &TranslationLine::Layout();
  decl.record = &line;
  platform::files::File file(std::move(decl), platform::files::MakeAsciiDriver());
  // Without a readable file the run collects the texts it is asked for.
  if (!file.Open(platform::files::kReadWrite | platform::files::kDenyNone)) return;
  if (file.Set()) {
    while (file.Next()) {
      // A line of blanks opens no pair.
      if (!line.LINE.view().starts_with(' ') || platform::ClipView(line.LINE.view()).empty()) {
        continue;
      }
      const std::string text = Quoted(line.LINE.view());
      if (!file.Next()) break;
      const std::string translation = Quoted(line.LINE.view());
      // The translation keeps its trailing blanks; one of blanks only is none.
      if (!platform::ClipView(text).empty() && !platform::ClipView(translation).empty()) {
        TRANSLATOR->AddPair(platform::ClipView(text), translation);
      }
    }
  }
  static_cast<void>(file.Close());
  TRANSLATOR->file_name = "";
}

}  // namespace stylemanager
