// The balloon beside a character: a second frameless window, rounded with a tail towards
// the character for speech, a cloud with small bubbles for a thought. The text is wrapped
// to a fixed width; the balloon is sized for the whole text and shows the words heard so
// far while the voice speaks.
#pragma once

#include <cstddef>
#include <string>

#include <QPainterPath>
#include <QWidget>

#include "platform/agent/character_display.h"

namespace platform::qt {

// The width the text is wrapped to, in pixels.
inline constexpr int kBalloonTextWidth = 200;

class BalloonWindow final : public QWidget {
 public:
  BalloonWindow();

  // Shows `balloon`, its tail pointing at the balloon's point, with its first `words` words
  // (agent::kAllWords for all); hides it for a view without a balloon. GUI thread.
  void Apply(const agent::BalloonView& balloon, size_t words);

  // For tests: what it shows, where its text goes (inside the body), and the body.
  agent::BalloonView::Kind kind() const { return kind_; }
  const QString& shown_text() const { return shown_; }
  QRect text_rect() const { return text_rect_; }
  QRect body_rect() const { return body_rect_; }
  // The tip of the tail, or of the cloud's smallest bubble, in the window.
  QPoint tip() const { return tip_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void Layout(const agent::BalloonView& balloon);

  agent::BalloonView::Kind kind_ = agent::BalloonView::Kind::kNone;
  uint64_t request_ = 0;
  std::string text_;
  QPoint anchor_;
  QString shown_;
  QRect text_rect_;
  QRect body_rect_;
  QPoint tip_;
  QPainterPath outline_;
};

// The first `words` words of `text`, blanks and line breaks between them kept.
QString FirstWords(const QString& text, size_t words);

}  // namespace platform::qt
