// The look of a top-level window that the runtime shapes: a window with an outline has no
// system frame and draws its own caption and frame, so the outline, which counts from the
// window's outer corner, covers the same caption and frame as where the system draws them.
// Also the window's place above the others (TopMost) and its opacity (Opacity, for fading).
#pragma once

#include <cstdint>

#include "platform/ui/backend.h"

class QWidget;

namespace platform::qt {

// Applies `view`'s outline, TopMost and Opacity to `top`, a top-level window whose layout
// holds its contents: with an outline the window is frameless and its layout leaves
// `frame_px` around the contents and `caption_px` more above them for the caption it draws;
// without one it has the system's frame and no margins. The mask itself is the mirror's. A
// sub-window of an MDI area, which draws its own frame already, is left as it is (Qt gives
// opacity to top-level windows only). GUI thread.
void ApplyWindowLook(QWidget& top, const ui::WindowView& view, int32_t frame_px,
                     int32_t caption_px);

// True while `top` draws its own caption and frame.
bool DrawsOwnFrame(const QWidget& top);

}  // namespace platform::qt
