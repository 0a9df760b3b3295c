#include "platform/qt/balloon_window.h"

#include <algorithm>
#include <cmath>

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPolygon>
#include <QRegion>
#include <QScreen>
#include <QTextLayout>
#include <QTextOption>

#include "platform/agent/speech.h"

namespace platform::qt {
namespace {

constexpr int kPadding = 8;       // between the outline and the text
constexpr int kTailPx = 16;       // from the body to the tip
constexpr int kTailHalfPx = 8;    // half the tail's width where it meets the body
constexpr int kScallopPx = 12;    // the radius of a cloud's scallops
constexpr int kCornerPx = 10;     // the radius of a speech balloon's corners
constexpr int kMaxTextPx = 4000;  // a text taller than this is cut

constexpr Qt::WindowFlags kFlags =
    Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus | Qt::WindowStaysOnTopHint;

// Words wrap at blanks, and a word wider than the balloon where it must.
QTextOption Wrapping() {
  QTextOption option(Qt::AlignLeft | Qt::AlignTop);
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  return option;
}

// The size `text` takes wrapped to kBalloonTextWidth.
QSize WrappedSize(const QFont& font, const QString& text) {
  QTextLayout layout(text, font);
  layout.setTextOption(Wrapping());
  qreal height = 0;
  qreal width = 0;
  layout.beginLayout();
  while (true) {
    QTextLine line = layout.createLine();
    if (!line.isValid()) break;
    line.setLineWidth(kBalloonTextWidth);
    line.setPosition(QPointF(0, height));
    height += line.height();
    width = std::max(width, line.naturalTextWidth());
    if (height > kMaxTextPx) break;
  }
  layout.endLayout();
  return QSize(static_cast<int>(std::ceil(width)), static_cast<int>(std::ceil(height)));
}

}  // namespace

QString FirstWords(const QString& text, size_t words) {
  if (words == agent::kAllWords) return text;
  qsizetype i = 0;
  for (size_t n = 0; n < words; ++n) {
    while (i < text.size() && text[i].isSpace()) ++i;
    while (i < text.size() && !text[i].isSpace()) ++i;
  }
  return text.left(i);
}

BalloonWindow::BalloonWindow() {
  setWindowFlags(kFlags);
  setAttribute(Qt::WA_ShowWithoutActivating);
  setFocusPolicy(Qt::NoFocus);
}

void BalloonWindow::Layout(const agent::BalloonView& balloon) {
  const QString text = QString::fromStdString(balloon.text);
  const QFontMetrics fm(font());
  const QSize bounds = WrappedSize(font(), text);
  const bool cloud = balloon.kind == agent::BalloonView::Kind::kThought;
  // A cloud's scallops stand out of its body by their radius; the text keeps clear of them.
  const int margin = cloud ? kScallopPx : 0;
  const int inset = kPadding + (cloud ? kPadding : 0);
  const int text_w = std::min(std::max(bounds.width(), fm.averageCharWidth()), kBalloonTextWidth);
  const int text_h = std::max(bounds.height(), fm.height());
  const int body_w = text_w + 2 * inset;
  const int body_h = text_h + 2 * kPadding;
  const int width = body_w + 2 * margin;
  const int height = body_h + 2 * margin + kTailPx;

  // Above the point, the tail down to it; below it when there is no room above, and kept
  // on the screen sideways, the tail still at the point as far as the body reaches.
  const QPoint anchor(balloon.x, balloon.y);
  const QScreen* screen = QGuiApplication::screenAt(anchor);
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  const QRect area = screen != nullptr ? screen->availableGeometry() : QRect();
  const bool below = !area.isEmpty() && anchor.y() - height + 1 < area.top();
  int left = anchor.x() - width / 2;
  if (!area.isEmpty() && width <= area.width()) {
    left = std::clamp(left, area.left(), area.right() + 1 - width);
  }
  body_rect_ = QRect(margin, margin + (below ? kTailPx : 0), body_w, body_h);
  text_rect_ = body_rect_.adjusted(inset, kPadding, -inset, -kPadding);
  const int reach = (cloud ? body_rect_.height() / 2 : kCornerPx) + kTailHalfPx;
  const int tip_x = std::clamp(anchor.x() - left, body_rect_.left() + reach,
                               std::max(body_rect_.left() + reach, body_rect_.right() - reach));
  tip_ = QPoint(tip_x, below ? 0 : height - 1);
  // Where the tail leaves the body, and which way is from the body to the tip.
  const int edge = below ? body_rect_.top() + 1 : body_rect_.bottom() - 1;
  const int toward = below ? -1 : 1;

  QPainterPath path;
  if (!cloud) {
    path.addRoundedRect(body_rect_, kCornerPx, kCornerPx);
    QPolygonF tail;
    tail << QPointF(tip_x - kTailHalfPx, edge) << QPointF(tip_x + kTailHalfPx, edge)
         << QPointF(tip_);
    QPainterPath t;
    t.addPolygon(tail);
    t.closeSubpath();
    path = path.united(t);
  } else {
    const int r = std::min(body_rect_.height() / 2, body_rect_.width() / 2);
    path.addRoundedRect(body_rect_, r, r);
    // Scallops along the top and the bottom edge.
    for (int x = body_rect_.left() + kScallopPx; x + kScallopPx <= body_rect_.right();
         x += kScallopPx * 3 / 2) {
      QPainterPath sc;
      sc.addEllipse(QPointF(x, body_rect_.top() + 2), kScallopPx, kScallopPx);
      sc.addEllipse(QPointF(x, body_rect_.bottom() - 2), kScallopPx, kScallopPx);
      path = path.united(sc);
    }
    // Two bubbles towards the character.
    QPainterPath b;
    b.addEllipse(QPointF(tip_x, tip_.y() - toward * (kTailPx - 4)), 5, 5);
    b.addEllipse(QPointF(tip_x, tip_.y() - toward * 3), 3, 3);
    path = path.united(b);
  }
  outline_ = path.simplified();
  resize(width, height);
  setMask(QRegion(outline_.toFillPolygon().toPolygon(), Qt::WindingFill) +
          QRegion(tip_.x(), tip_.y(), 1, 1));
  move(anchor - tip_);
}

void BalloonWindow::Apply(const agent::BalloonView& balloon, size_t words) {
  if (balloon.kind == agent::BalloonView::Kind::kNone) {
    kind_ = balloon.kind;
    request_ = 0;
    hide();
    return;
  }
  const QPoint anchor(balloon.x, balloon.y);
  if (balloon.kind != kind_ || balloon.request != request_ || balloon.text != text_ ||
      anchor != anchor_) {
    kind_ = balloon.kind;
    request_ = balloon.request;
    text_ = balloon.text;
    anchor_ = anchor;
    // The tip points at the balloon's point, on the character.
    Layout(balloon);
  }
  const QString shown = FirstWords(QString::fromStdString(text_), words);
  if (shown != shown_) {
    shown_ = shown;
    update();
  }
  if (!isVisible()) show();
  raise();
}

void BalloonWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(QColor(0, 0, 0), 1));
  painter.setBrush(QColor(255, 255, 225));
  painter.drawPath(outline_);
  painter.setPen(QColor(0, 0, 0));
  painter.drawText(QRectF(text_rect_), shown_, Wrapping());
}

}  // namespace platform::qt
