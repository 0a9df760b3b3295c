// Two plain windows of one size for tests of a shaped window over another: "Behind" is all
// button, "Front" has a small button in its upper left corner. A test gives Front an outline
// and clicks where it leaves Front out.
#pragma once

#include "platform/ui/structure.h"

namespace platform::testing {

inline constexpr ui::ControlDecl kBehindControls[] = {
    ui::Button("?Behind", "Behind", {0, 0, 120, 60}),
};
inline constexpr ui::WindowStructure kBehindWindow{
    "test$behind", "Behind", ui::WindowKind::kPlain, "Behind", {0, 0, 120, 60}, kBehindControls};
inline constexpr ui::ControlDecl kFrontControls[] = {
    ui::Button("?Front", "Front", {2, 2, 30, 12}),
};
inline constexpr ui::WindowStructure kFrontWindow{
    "test$front", "Front", ui::WindowKind::kPlain, "Front", {0, 0, 120, 60}, kFrontControls};

}  // namespace platform::testing
