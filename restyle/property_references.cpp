// ZOVRestyleBaseClass.ResolvePropertyReferences and StripQuestionMark: the references to
// current property values in an expression, "?DSNSTRING:PROMPT{Text}", replaced by the values.
#include <algorithm>
#include <string>
#include <string_view>

#include "platform/core/fixed_string.h"
#include "platform/core/text.h"
#include "platform/ui/window.h"
#include "restyle/restyle_base.h"

namespace restyle {
namespace {

constexpr size_t kMaxText = 512;
constexpr size_t kMaxName = 64;
constexpr std::string_view kPropPrefix = "PROP:";
constexpr std::string_view kSelf = "SELF";
constexpr std::string_view kNoBeginBracket = "ERROR in expression - No begin bracket '{'";
constexpr std::string_view kNoEndBracket = "ERROR in expression - No end bracket '}'";
constexpr std::string_view kUnknownProperty = "ERROR in expression - Unknown property ";
constexpr std::string_view kUnknownControl = "ERROR in expression - Unknown control ";

std::string Cut(std::string_view text, size_t bytes) {
  return std::string(platform::CutUtf8(text, bytes));
}

// A text as the evaluator reads a quoted string: a quote inside doubled.
std::string Quoted(std::string_view value) {
  std::string out = "'";
  for (char c : value) {
    out += c;
    if (c == '\'') out += '\'';
  }
  return out + "'";
}

}  // namespace

std::string ZOVRestyleBaseClass::ResolvePropertyReferences(
    const platform::ui::Window& window, platform::Queue<ControlSnapshotRecord>& controls,
    PropertyTableQueue& properties, std::string_view text, platform::ui::FieldId self) {
  std::string work = Cut(text, kMaxText);
  size_t from = 0;
  for (;;) {
    const size_t mark = work.find('?', from);
    if (mark == std::string::npos) return work;
    const size_t begin = work.find('{', mark + 1);
    if (begin == std::string::npos) return std::string(kNoBeginBracket);
    const size_t end = work.find('}', begin + 1);
    if (end == std::string::npos) return std::string(kNoEndBracket);
    const std::string control =
        Cut(platform::Upper(work.substr(mark + 1, begin - mark - 1)), kMaxName);
    std::string property = platform::Upper(work.substr(begin + 1, end - begin - 1));
    if (property.starts_with(kPropPrefix)) property.erase(0, kPropPrefix.size());
    property = Cut(property, kMaxName);
    if (!FindPropertyByName(properties, property)) return std::string(kUnknownProperty) + property;
    platform::ui::FieldId field = self;
    if (platform::ClipView(control) != kSelf) {
      controls.ClearBuffer();
      controls.buffer.CONTROLEQUATESTRING = "?" + control;
      if (!controls.GetByKey({controls.Asc(&ControlSnapshotRecord::CONTROLEQUATESTRING)})) {
        return std::string(kUnknownControl) + control;
      }
      field = controls.buffer.CONTROLEQUATE;
    }
    const auto prop = static_cast<platform::ui::Prop>(properties.buffer.PROPERTYEQUATE);
    std::string value = window.Get(field, prop);
    if (IsTextValued(properties.buffer.TYPE)) value = Quoted(value);
    work = Cut(work.substr(0, mark) + value + work.substr(end + 1), kMaxText);
    // On after the value: what a value holds is never a reference itself.
    from = std::min(mark + value.size(), work.size());
  }
}

std::string ZOVRestyleBaseClass::StripQuestionMark(std::string_view text) {
  return std::string(text.starts_with('?') ? text.substr(1) : text);
}

}  // namespace restyle
