// The window a character shows in: frameless, a tool window that never takes the focus,
// showing the engine's current frame at the engine's place, shaped to the frame's opaque
// pixels so clicks beside the figure reach the window below.
#pragma once

#include <cstddef>
#include <map>
#include <memory>

#include <QImage>
#include <QRegion>
#include <QWidget>

#include "platform/agent/character_display.h"
#include "platform/region/region.h"

namespace platform::qt {

// `region` as a window mask.
QRegion ToQRegion(const region::Region& region);

class CharacterWindow final : public QWidget {
 public:
  CharacterWindow();

  // Follows `view`: frame, place, size, shown and kept on top. GUI thread.
  void Apply(const agent::CharacterView& view);

  // The frame drawn now; null before the first view. For tests.
  const QImage& image() const { return image_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  struct Drawn {
    QImage image;
    QRegion shape;
  };
  // Frame `frame` of the view's character at the view's size, decoded once.
  const Drawn& FrameOf(const agent::CharacterView& view);

  std::shared_ptr<const agent::Character> character_;
  std::map<size_t, Drawn> frames_;  // of character_ at size_
  QSize size_;
  QImage image_;
  bool on_top_ = false;
};

}  // namespace platform::qt
