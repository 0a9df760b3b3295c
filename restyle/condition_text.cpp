#include "restyle/condition_text.h"

#include "platform/core/text.h"
#include "platform/eval/evaluate.h"

namespace restyle {

std::string QuotedLiteral(std::string_view text) {
  std::string out = "'";
  for (const char c : text) {
    out += c;
    if (c == '\'') out += '\'';
  }
  return out + "'";
}

std::string ConditionRowText(const ConditionQueueRecord& row, std::string_view tested) {
  const std::string op = platform::Clip(row.OPERATOR.view());
  if (row.PROPERTYEQUATE == 0) return " " + op + " ";
  const std::string value = platform::Clip(row.VALUE.view());
  const std::string upper_tested = platform::Upper(tested);
  if (platform::Upper(op) == "CONTAINS") {
    const std::string needle =
        row.MANUALVALUE == 1
            ? platform::Clip(platform::Upper(platform::Clip(platform::Evaluate(value))))
            : platform::Clip(platform::Upper(value));
    return "INSTRING(" + QuotedLiteral(needle) + "," + QuotedLiteral(upper_tested) + ",1,1)";
  }
  const std::string compared =
      row.MANUALVALUE == 1 ? platform::Upper(value) : QuotedLiteral(platform::Upper(value));
  return QuotedLiteral(upper_tested) + op + compared;
}

}  // namespace restyle
