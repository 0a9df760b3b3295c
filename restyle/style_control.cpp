// Styling one control: the sets of its type in "~Global settings", of its type in the
// procedure and of the control itself, in that order, each set applied when its conditions
// hold.
#include <string>
#include <utility>
#include <vector>

#include "platform/core/number.h"
#include "platform/core/text.h"
#include "platform/eval/evaluate.h"
#include "platform/ui/window.h"
#include "restyle/condition_text.h"
#include "restyle/restyle_class.h"

namespace restyle {
namespace {

using platform::ui::FieldId;
using platform::ui::Prop;

constexpr std::string_view kControlGroup = "Control ";
constexpr std::string_view kControlTypeGroup = "ControlType ";

}  // namespace

uint8_t ZOVRestyleClass::IsStylingAllowed(FieldId control) {
  if (GetPropertyValue(control, kNoPropertyStyling, 0, /*read_type=*/1, pass_value_) == 1 &&
      !platform::Clip(pass_value_.VALUE.view()).empty()) {
    return 0;
  }
  return 1;
}

void ZOVRestyleClass::StyleControl(FieldId control, int32_t type, ResizeRecord* geometry) {
  if (!IsBound() || IsStylingAllowed(control) == 0) return;
  const std::string type_group = std::string(kControlTypeGroup) + std::to_string(type);
  EvaluateSets(PassSets(/*global=*/1, type_group), control, type, geometry);
  EvaluateSets(PassSets(/*global=*/0, type_group), control, type, geometry);
  if (FindSnapshot(control)) {
    const std::string own =
        std::string(kControlGroup) + CONTROLPROPERTIESQUEUE->buffer.CONTROLEQUATESTRING.str();
    EvaluateSets(PassSets(/*global=*/0, own), control, type, geometry);
  }
}

void ZOVRestyleClass::EvaluateSets(const std::vector<std::pair<std::string, int32_t>>& sets,
                                   FieldId control, int32_t type, ResizeRecord* geometry) {
  for (const auto& [name, id] : sets) {
    if (id == 0) continue;
    if (name == kUnconditionalSet || ConditionsHold(control, id)) {
      ApplySet(id, control, type, geometry);
    }
  }
}

bool ZOVRestyleClass::ConditionsHold(FieldId control, int32_t set_id) {
  const std::vector<ConditionQueueRecord>& rows = PassConditions(set_id);
  if (rows.empty()) return false;
  const platform::ui::Window& window = *PROCEDUREWINDOW;
  std::string text;
  for (const ConditionQueueRecord& row : rows) {
    std::string tested;
    if (row.PROPERTYEQUATE == kNameOfTheControl) {
      if (FindSnapshot(control)) tested = CONTROLPROPERTIESQUEUE->buffer.CONTROLEQUATESTRING.str();
    } else if (row.PROPERTYEQUATE > 0) {
      tested = window.Get(control, static_cast<Prop>(row.PROPERTYEQUATE));
    }
    text += ConditionRowText(row, tested);
  }
  // A text that is no valid expression gives the empty text, which counts as 0.
  return platform::TextToNumber(platform::Evaluate(text)) != 0;
}

const std::vector<TypePropertyRow>& ZOVRestyleClass::TypeProperties(int32_t type) {
  const auto known = type_properties_.find(type);
  if (known != type_properties_.end()) return known->second;
  std::vector<TypePropertyRow> rows;
  if (STYLEMANAGER != nullptr) rows = STYLEMANAGER->TypeProperties(type);
  return type_properties_.emplace(type, std::move(rows)).first->second;
}

}  // namespace restyle
