#include "platform/qt/character_window.h"

#include <cstring>
#include <utility>

#include <QPainter>

#include "platform/agent/frame_pixels.h"

namespace platform::qt {
namespace {

// A tool window of the kind that is placed where it is asked and never activated: the
// window manager neither moves it nor gives it the focus.
constexpr Qt::WindowFlags kFlags =
    Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus;

}  // namespace

QRegion ToQRegion(const region::Region& region) {
  QRegion out;
  for (const region::Rect& r : region.Rects()) {
    out += QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
  }
  return out;
}

CharacterWindow::CharacterWindow() {
  setWindowFlags(kFlags);
  // Shown without activating: the user goes on typing in the program's window.
  setAttribute(Qt::WA_ShowWithoutActivating);
  setAttribute(Qt::WA_NoSystemBackground);
  setFocusPolicy(Qt::NoFocus);
}

const CharacterWindow::Drawn& CharacterWindow::FrameOf(const agent::CharacterView& view) {
  const QSize size(view.width, view.height);
  if (view.character != character_ || size != size_) {
    character_ = view.character;
    size_ = size;
    frames_.clear();
  }
  auto it = frames_.find(view.frame);
  if (it != frames_.end()) return it->second;
  Drawn d;
  if (view.frame < character_->frames.size()) {
    const Result<agent::FramePixels> pixels = agent::DecodeFrame(character_->frames[view.frame]);
    if (pixels.ok()) {
      agent::FramePixels p = pixels.value();
      QImage image(p.width, p.height, QImage::Format_RGBA8888);
      for (int32_t y = 0; y < p.height; ++y) {
        std::memcpy(image.scanLine(y), p.rgba.data() + static_cast<size_t>(y) * p.width * 4,
                    static_cast<size_t>(p.width) * 4);
      }
      if (image.size() != size && !size.isEmpty()) {
        // A character sized anew is drawn, and shaped, at its new size.
        image = image.scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                    .convertToFormat(QImage::Format_RGBA8888);
        p.width = image.width();
        p.height = image.height();
        p.rgba.resize(static_cast<size_t>(p.width) * p.height * 4);
        for (int32_t y = 0; y < p.height; ++y) {
          std::memcpy(p.rgba.data() + static_cast<size_t>(y) * p.width * 4, image.constScanLine(y),
                      static_cast<size_t>(p.width) * 4);
        }
      }
      d.shape = ToQRegion(agent::OpaqueRegion(p));
      d.image = std::move(image);
    }
  }
  return frames_.emplace(view.frame, std::move(d)).first->second;
}

void CharacterWindow::Apply(const agent::CharacterView& view) {
  if (!view.shown) {
    hide();
    return;
  }
  if (view.on_top != on_top_) {
    on_top_ = view.on_top;
    setWindowFlags(on_top_ ? kFlags | Qt::WindowStaysOnTopHint : kFlags);
  }
  const Drawn& d = FrameOf(view);
  if (d.shape.isEmpty()) {
    // A frame with no opaque pixel (or one that does not decode) shows nothing.
    hide();
    return;
  }
  const QRect geometry(view.left, view.top, view.width, view.height);
  if (this->geometry() != geometry) setGeometry(geometry);
  if (d.image.cacheKey() != image_.cacheKey()) {
    image_ = d.image;
    setMask(d.shape);
    update();
  }
  if (!isVisible()) show();
  if (on_top_) raise();
}

void CharacterWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.drawImage(0, 0, image_);
}

}  // namespace platform::qt
