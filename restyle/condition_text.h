// The text of a set's conditions as the expression evaluator reads it. Every text taken from
// outside an expression (the control's live value, a condition value that is not an
// expression, a CONTAINS needle) is quoted with its single quotes doubled, so what the user
// typed is compared as written and cannot change the condition's meaning:
//
//   'O''NEIL'='O''NEIL' AND INSTRING('ABC','XABCX',1,1)
#pragma once

#include <string>
#include <string_view>

#include "restyle/restyle_base.h"

namespace restyle {

// `text` as a quoted literal of the evaluator.
std::string QuotedLiteral(std::string_view text);
// What condition row `row` adds to its set's text when the tested property holds `tested`:
// a connector (PROPERTYEQUATE 0) " AND " or " OR ", a CONTAINS as INSTRING, any other
// operator as a comparison. A MANUALVALUE expression is inserted as it is (a CONTAINS
// needle evaluated first).
std::string ConditionRowText(const ConditionQueueRecord& row, std::string_view tested);

}  // namespace restyle
