// Pixel probes for the Qt tests: whether a grabbed picture shows a colour in an area, so a
// test checks what the user sees without depending on antialiasing or the exact glyphs.
#pragma once

#include <cstdlib>

#include <QColor>
#include <QImage>
#include <QRect>

namespace platform::testing {

// Whether `image` shows a pixel of about `colour` (within a small distance) within `area`.
inline bool Shows(const QImage& image, const QRect& area, const QColor& colour) {
  constexpr int kTolerance = 60;  // sum of the three channel distances
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green()) +
              std::abs(c.blue() - colour.blue()) <
          kTolerance) {
        return true;
      }
    }
  }
  return false;
}

}  // namespace platform::testing
