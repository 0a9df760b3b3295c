#include "platform/qt/metafile_painter.h"

#include <cmath>
#include <optional>
#include <variant>
#include <vector>

#include <QBrush>
#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>
#include <QString>
#include <QTransform>

#include "platform/qt/picture_image.h"

namespace platform::qt {
namespace {

// Record functions.
constexpr std::uint16_t kSaveDc = 0x001E;
constexpr std::uint16_t kSetBkMode = 0x0102;
constexpr std::uint16_t kSetPolyFillMode = 0x0106;
constexpr std::uint16_t kRestoreDc = 0x0127;
constexpr std::uint16_t kSelectObject = 0x012D;
constexpr std::uint16_t kSetTextAlign = 0x012E;
constexpr std::uint16_t kDeleteObject = 0x01F0;
constexpr std::uint16_t kSetBkColor = 0x0201;
constexpr std::uint16_t kSetTextColor = 0x0209;
constexpr std::uint16_t kSetWindowOrg = 0x020B;
constexpr std::uint16_t kSetWindowExt = 0x020C;
constexpr std::uint16_t kLineTo = 0x0213;
constexpr std::uint16_t kMoveTo = 0x0214;
constexpr std::uint16_t kCreatePen = 0x02FA;
constexpr std::uint16_t kCreateFont = 0x02FB;
constexpr std::uint16_t kCreateBrush = 0x02FC;
constexpr std::uint16_t kPolygon = 0x0324;
constexpr std::uint16_t kPolyline = 0x0325;
constexpr std::uint16_t kEllipse = 0x0418;
constexpr std::uint16_t kRectangle = 0x041B;
constexpr std::uint16_t kTextOut = 0x0521;
constexpr std::uint16_t kPolyPolygon = 0x0538;
constexpr std::uint16_t kRoundRect = 0x061C;
constexpr std::uint16_t kArc = 0x0817;
constexpr std::uint16_t kPie = 0x081A;
constexpr std::uint16_t kChord = 0x0830;
constexpr std::uint16_t kExtTextOut = 0x0A32;
constexpr std::uint16_t kDibBitBlt = 0x0940;
constexpr std::uint16_t kDibStretchBlt = 0x0B41;
constexpr std::uint16_t kStretchDib = 0x0F43;

constexpr int kPenNull = 5;
constexpr int kBrushNull = 1;
constexpr int kBrushHatched = 2;
constexpr int kTransparentBk = 1;
constexpr int kWinding = 2;
constexpr int kTextAlignBaseline = 24;
constexpr int kTextAlignBottom = 8;
constexpr int kTextAlignCenter = 6;
constexpr int kTextAlignRight = 2;
constexpr int kExtTextClipped = 0x0004;
constexpr int kExtTextOpaque = 0x0002;
// A metafile that leaves its object table empty still creates a few objects.
constexpr int kMinObjects = 16;
constexpr int kMaxObjects = 65535;
constexpr int kMaxSavedStates = 64;
// Pixels the records may touch in all: 64 times the image, and at least 2^26, a second of
// painting or so. Real pictures touch each pixel a few times.
constexpr std::int64_t kDrawBudgetPerPixel = 64;
constexpr std::int64_t kMinDrawBudget = std::int64_t{1} << 26;

using Object = std::variant<std::monostate, QPen, QBrush, QFont>;

QColor ColourOf(const std::vector<std::uint16_t>& p, std::size_t at) {
  if (at + 1 >= p.size()) return Qt::black;
  return QColor(p[at] & 0xFF, p[at] >> 8, p[at + 1] & 0xFF);
}

double Signed(std::uint16_t word) { return static_cast<std::int16_t>(word); }

// The record's parameter words, read as signed numbers unless asked for the word itself.
class Params {
 public:
  explicit Params(const image::MetaRecord& r) : p_(r.params) {}
  std::size_t size() const { return p_.size(); }
  double operator[](std::size_t i) const { return i < p_.size() ? Signed(p_[i]) : 0; }
  std::uint16_t word(std::size_t i) const { return i < p_.size() ? p_[i] : 0; }
  // The rectangle in bottom, right, top, left order starting at `i`.
  QRectF Rect(std::size_t i) const {
    return QRectF(QPointF((*this)[i + 3], (*this)[i + 2]), QPointF((*this)[i + 1], (*this)[i]))
        .normalized();
  }
  // `count` points as x, y pairs starting at `i`; fewer when the record ends first.
  QPolygonF Points(std::size_t i, std::size_t count) const {
    QPolygonF points;
    for (std::size_t k = 0; k < count && i + 2 * k + 1 < p_.size(); ++k)
      points << QPointF((*this)[i + 2 * k], (*this)[i + 2 * k + 1]);
    return points;
  }
  // Bytes stored from word `i` on.
  std::vector<std::uint8_t> BytesFrom(std::size_t i) const {
    std::vector<std::uint8_t> out;
    for (std::size_t k = i; k < p_.size(); ++k) {
      out.push_back(static_cast<std::uint8_t>(p_[k] & 0xFF));
      out.push_back(static_cast<std::uint8_t>(p_[k] >> 8));
    }
    return out;
  }

 private:
  const std::vector<std::uint16_t>& p_;
};

// Latin-1 text of `count` bytes from word `i`: the metafiles hold the ANSI code page.
QString TextAt(const Params& p, std::size_t i, std::size_t count) {
  const std::vector<std::uint8_t> bytes = p.BytesFrom(i);
  count = std::min(count, bytes.size());
  return QString::fromLatin1(reinterpret_cast<const char*>(bytes.data()), static_cast<int>(count));
}

struct State {
  QPen pen{Qt::black};
  QBrush brush{Qt::white};
  QFont font;
  QColor text_colour = Qt::black;
  QColor background = Qt::white;
  bool opaque_background = true;
  Qt::FillRule fill_rule = Qt::OddEvenFill;
  int text_align = 0;
  QPointF position;
  QPointF window_org;
  QSizeF window_ext;
};

class Painter {
 public:
  Painter(const image::Metafile& meta, QImage& target)
      : painter_(&target),
        size_(target.size()),
        budget_(std::max(kMinDrawBudget, kDrawBudgetPerPixel * size_.width() * size_.height())) {
    objects_.resize(std::clamp(meta.object_count, kMinObjects, kMaxObjects));
    state_.window_org = QPointF(meta.left, meta.top);
    state_.window_ext = QSizeF(meta.width, meta.height);
    painter_.setRenderHint(QPainter::Antialiasing);
    Apply();
  }

  // Plays one record; false once the drawing budget is spent, and the rest is left out.
  bool Play(const image::MetaRecord& r) {
    const Params p(r);
    if (const std::optional<QRectF> extent = Extent(r.function, p); extent && !Spend(*extent))
      return false;
    switch (r.function) {
      case kSetWindowOrg:
        state_.window_org = QPointF(p[1], p[0]);
        Apply();
        break;
      case kSetWindowExt:
        state_.window_ext = QSizeF(p[1], p[0]);
        Apply();
        break;
      case kSetBkColor:
        state_.background = ColourOf(r.params, 0);
        break;
      case kSetBkMode:
        state_.opaque_background = p.word(0) != kTransparentBk;
        break;
      case kSetTextColor:
        state_.text_colour = ColourOf(r.params, 0);
        break;
      case kSetPolyFillMode:
        state_.fill_rule = p.word(0) == kWinding ? Qt::WindingFill : Qt::OddEvenFill;
        break;
      case kSetTextAlign:
        state_.text_align = p.word(0);
        break;
      case kSaveDc:
        if (saved_.size() < kMaxSavedStates) saved_.push_back(state_);
        break;
      case kRestoreDc:
        if (!saved_.empty()) {
          state_ = saved_.back();
          saved_.pop_back();
          Apply();
        }
        break;
      case kCreatePen: {
        QPen pen(ColourOf(r.params, 3), std::max(1.0, p[1]));
        if ((p.word(0) & 0x0F) == kPenNull) pen = Qt::NoPen;
        Create(pen);
        break;
      }
      case kCreateBrush: {
        QBrush brush(ColourOf(r.params, 1));
        if (p.word(0) == kBrushNull) brush = Qt::NoBrush;
        if (p.word(0) == kBrushHatched) brush.setStyle(Qt::DiagCrossPattern);
        Create(brush);
        break;
      }
      case kCreateFont: {
        QFont font;
        const QString face = TextAt(p, 9, 32).section(QChar(0), 0, 0);
        if (!face.isEmpty()) font.setFamily(face);
        font.setPixelSize(std::max(1, static_cast<int>(std::abs(p[0]))));
        font.setWeight(p.word(4) >= 700 ? QFont::Bold : QFont::Normal);
        font.setItalic((p.word(5) & 0xFF) != 0);
        font.setUnderline((p.word(5) >> 8) != 0);
        Create(font);
        break;
      }
      case kSelectObject:
        Select(p.word(0));
        break;
      case kDeleteObject:
        if (p.word(0) < objects_.size()) objects_[p.word(0)] = std::monostate{};
        break;
      case kMoveTo:
        state_.position = QPointF(p[1], p[0]);
        break;
      case kLineTo: {
        const QPointF to(p[1], p[0]);
        painter_.drawLine(state_.position, to);
        state_.position = to;
        break;
      }
      case kPolyline:
        painter_.drawPolyline(p.Points(1, p.word(0)));
        break;
      case kPolygon:
        painter_.drawPolygon(p.Points(1, p.word(0)), state_.fill_rule);
        break;
      case kPolyPolygon:
        PolyPolygon(p);
        break;
      case kRectangle:
        painter_.drawRect(p.Rect(0));
        break;
      case kRoundRect:
        painter_.drawRoundedRect(p.Rect(2), p[1] / 2, p[0] / 2);
        break;
      case kEllipse:
        painter_.drawEllipse(p.Rect(0));
        break;
      case kArc:
      case kPie:
      case kChord:
        ArcLike(r.function, p);
        break;
      case kTextOut: {
        const std::size_t count = p.word(0);
        const std::size_t words = (count + 1) / 2;
        Text(QPointF(p[words + 2], p[words + 1]), TextAt(p, 1, count), std::nullopt);
        break;
      }
      case kExtTextOut: {
        const std::size_t count = p.word(2);
        const int options = p.word(3);
        std::size_t at = 4;
        std::optional<QRectF> box;
        if ((options & (kExtTextClipped | kExtTextOpaque)) != 0) {
          box = QRectF(QPointF(p[4], p[5]), QPointF(p[6], p[7])).normalized();
          at = 8;
          if ((options & kExtTextOpaque) != 0) painter_.fillRect(*box, state_.background);
        }
        Text(QPointF(p[1], p[0]), TextAt(p, at, count),
             (options & kExtTextClipped) != 0 ? box : std::nullopt);
        break;
      }
      case kStretchDib:
        // raster operation (2 words), usage, source h w y x, destination h w y x, bitmap
        Bitmap(p, 11, QRectF(p[6], p[5], p[4], p[3]), QRectF(p[10], p[9], p[8], p[7]));
        break;
      case kDibStretchBlt:
        // raster operation (2 words), source h w y x, destination h w y x, bitmap
        Bitmap(p, 10, QRectF(p[5], p[4], p[3], p[2]), QRectF(p[9], p[8], p[7], p[6]));
        break;
      case kDibBitBlt:
        // raster operation (2 words), source y x, h w, destination y x, bitmap
        Bitmap(p, 8, QRectF(p[3], p[2], p[5], p[4]), QRectF(p[7], p[6], p[5], p[4]));
        break;
      default:
        break;
    }
    return true;
  }

 private:
  // The part of the picture a drawing record may touch, in logical units; nullopt for a
  // record that draws nothing.
  std::optional<QRectF> Extent(std::uint16_t function, const Params& p) const {
    switch (function) {
      case kLineTo:
        return QRectF(state_.position, QPointF(p[1], p[0])).normalized();
      case kPolyline:
      case kPolygon:
        return p.Points(1, p.word(0)).boundingRect();
      case kPolyPolygon:
        return p.Points(1 + p.word(0), p.size()).boundingRect();
      case kRectangle:
      case kEllipse:
        return p.Rect(0);
      case kRoundRect:
        return p.Rect(2);
      case kArc:
      case kPie:
      case kChord:
        return p.Rect(4);
      case kTextOut:
      case kExtTextOut: {
        const double em = std::max(1, state_.font.pixelSize());
        const double width = em * (function == kTextOut ? p.word(0) : p.word(2));
        const QPointF at = function == kTextOut
                               ? QPointF(p[(p.word(0) + 1) / 2 + 2], p[(p.word(0) + 1) / 2 + 1])
                               : QPointF(p[1], p[0]);
        return QRectF(at.x() - width, at.y() - 2 * em, 2 * width, 4 * em);
      }
      case kStretchDib:
        return QRectF(p[10], p[9], p[8], p[7]).normalized();
      case kDibStretchBlt:
        return QRectF(p[9], p[8], p[7], p[6]).normalized();
      case kDibBitBlt:
        return QRectF(p[7], p[6], p[5], p[4]).normalized();
      default:
        return std::nullopt;
    }
  }

  // Charges the pixels `extent` covers on the image, with its outline; false once the
  // budget is spent, so a hostile file cannot keep the painter busy for long.
  bool Spend(const QRectF& extent) {
    const QRectF on_image =
        painter_.transform().mapRect(extent).intersected(QRectF(QPointF(0, 0), QSizeF(size_)));
    budget_ -= static_cast<std::int64_t>(on_image.width() * on_image.height()) +
               static_cast<std::int64_t>(on_image.width() + on_image.height()) + 1;
    return budget_ > 0;
  }

  void Apply() {
    const QSizeF ext = state_.window_ext;
    if (ext.width() == 0 || ext.height() == 0) return;
    QTransform t;
    t.scale(size_.width() / ext.width(), size_.height() / ext.height());
    t.translate(-state_.window_org.x(), -state_.window_org.y());
    painter_.setTransform(t);
    painter_.setPen(state_.pen);
    painter_.setBrush(state_.brush);
    painter_.setFont(state_.font);
  }

  void Create(Object object) {
    for (Object& slot : objects_) {
      if (std::holds_alternative<std::monostate>(slot)) {
        slot = std::move(object);
        return;
      }
    }
  }

  void Select(std::size_t index) {
    if (index >= objects_.size()) return;
    if (const auto* pen = std::get_if<QPen>(&objects_[index])) state_.pen = *pen;
    if (const auto* brush = std::get_if<QBrush>(&objects_[index])) state_.brush = *brush;
    if (const auto* font = std::get_if<QFont>(&objects_[index])) state_.font = *font;
    Apply();
  }

  void PolyPolygon(const Params& p) {
    const std::size_t polygons = p.word(0);
    std::size_t at = 1 + polygons;
    QPainterPath path;
    path.setFillRule(state_.fill_rule);
    for (std::size_t i = 0; i < polygons && at < p.size(); ++i) {
      const QPolygonF points = p.Points(at, p.word(1 + i));
      path.addPolygon(points);
      path.closeSubpath();
      at += 2 * std::size_t{p.word(1 + i)};
    }
    painter_.drawPath(path);
  }

  // Arc, pie and chord: the box, then the start and end points that give the angles.
  void ArcLike(std::uint16_t function, const Params& p) {
    const QRectF box = p.Rect(4);
    if (box.isEmpty()) return;
    const QPointF centre = box.center();
    auto angle = [&](double x, double y) {
      return std::atan2(-(y - centre.y()) * box.width() / box.height(), x - centre.x()) * 180 /
             M_PI;
    };
    const double start = angle(p[3], p[2]);
    double span = angle(p[1], p[0]) - start;
    if (span <= 0) span += 360;
    const int a = static_cast<int>(std::lround(start * 16));
    const int s = static_cast<int>(std::lround(span * 16));
    if (function == kArc) painter_.drawArc(box, a, s);
    if (function == kPie) painter_.drawPie(box, a, s);
    if (function == kChord) painter_.drawChord(box, a, s);
  }

  void Text(QPointF at, const QString& text, std::optional<QRectF> clip) {
    painter_.save();
    if (clip) painter_.setClipRect(*clip);
    const QFontMetricsF metrics(state_.font);
    const double width = metrics.horizontalAdvance(text);
    if ((state_.text_align & kTextAlignCenter) == kTextAlignCenter) {
      at.rx() -= width / 2;
    } else if ((state_.text_align & kTextAlignRight) != 0) {
      at.rx() -= width;
    }
    if ((state_.text_align & kTextAlignBaseline) == kTextAlignBaseline) {
      // the baseline is where Qt draws
    } else if ((state_.text_align & kTextAlignBottom) != 0) {
      at.ry() -= metrics.descent();
    } else {
      at.ry() += metrics.ascent();
    }
    painter_.setPen(state_.text_colour);
    painter_.drawText(at, text);
    painter_.restore();
  }

  void Bitmap(const Params& p, std::size_t at, QRectF source, QRectF target) {
    const std::vector<std::uint8_t> dib = p.BytesFrom(at);
    const std::optional<image::Picture> picture = image::DecodeBitmapInfo(dib);
    if (!picture) return;
    painter_.drawImage(target.normalized(), ImageFromPicture(*picture), source.normalized());
  }

  QPainter painter_;
  QSize size_;
  std::int64_t budget_;
  State state_;
  std::vector<State> saved_;
  std::vector<Object> objects_;
};

}  // namespace

QImage DrawMetafile(const image::Metafile& meta, QSize size) {
  if (size.isEmpty() || !image::SizeAllowed(size.width(), size.height())) return {};
  QImage target(size, QImage::Format_ARGB32_Premultiplied);
  if (target.isNull()) return {};
  target.fill(Qt::transparent);
  Painter painter(meta, target);
  for (const image::MetaRecord& r : meta.records) {
    if (!painter.Play(r)) break;
  }
  return target;
}

}  // namespace platform::qt
