// Draws a metafile the picture readers read (platform/image/metafile.h) with Qt's painter:
// pens, brushes, fonts, lines, polylines, polygons, rectangles, round rectangles, ellipses,
// arcs, text and device-independent bitmaps. Other records are passed over.
#pragma once

#include <QImage>
#include <QSize>

#include "platform/image/metafile.h"

namespace platform::qt {

// `meta` drawn to fill an image of `size` on a transparent ground; a null image when `size`
// is empty or beyond the picture limits.
QImage DrawMetafile(const image::Metafile& meta, QSize size);

}  // namespace platform::qt
