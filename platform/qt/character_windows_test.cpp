// The characters on Qt's offscreen platform: the character window follows the engine and is
// shaped to its frame, the balloon follows the character and wraps its text, and neither
// takes the focus from the program's window.
#include "platform/qt/character_windows.h"

#include <atomic>
#include <memory>
#include <string>

#include <QApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMediaDevices>
#include <QRegion>
#include <QScreen>
#include <QVBoxLayout>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include "platform/agent/character_file.h"
#include "platform/agent/character_voice.h"
#include "platform/agent/espeak_speech.h"
#include "platform/agent/frame_pixels.h"
#include "platform/core/clock.h"
#include "platform/qt/audio_output.h"
#include "platform/qt/balloon_window.h"
#include "platform/qt/character_stage.h"
#include "platform/qt/character_window.h"
#include "platform/qt/qt_backend.h"

namespace platform::qt {
namespace {

// A voice that has heard a fixed number of words of whatever it says.
class HeardSpeech final : public agent::SpeechBackend {
 public:
  void Speak(const agent::SpeechRequest&) override {}
  void Stop() override {}
  size_t WordsHeard(uint64_t) const override { return heard; }
  size_t heard = agent::kAllWords;
};

class CharacterWindowsTest : public ::testing::Test {
 protected:
  CharacterWindowsTest() {
    previous_ = SetMonotonicSource([this] { return now_.load(); });
    const Result<std::shared_ptr<const agent::Character>> merlin =
        agent::LoadCharacterFile(PEX_MERLIN_FILE);
    EXPECT_TRUE(merlin.ok());
    if (merlin.ok()) engine.Load("Merlin", merlin.value());
  }
  ~CharacterWindowsTest() override { SetMonotonicSource(previous_); }

  // Time passes, and the timer's next tick draws it.
  void Pass(int64_t ms) {
    now_ += ms;
    windows.Tick();
  }
  CharacterWindow* window() const { return windows.character_window("Merlin"); }
  BalloonWindow* balloon() const { return windows.balloon_window("Merlin"); }
  agent::CharacterView view() const { return *engine.View("Merlin"); }

  std::atomic<int64_t> now_{1000};
  MonotonicSource previous_;
  agent::RecordingSpeech recorded;
  HeardSpeech heard;
  CharacterWindows windows{&heard};
  agent::CharacterVoice voice{recorded, &windows};
  agent::CharacterEngine engine{&voice};
};

TEST_F(CharacterWindowsTest, TheWindowShowsTheFrameShapedToItsOpaquePixels) {
  windows.Tick();
  ASSERT_NE(window(), nullptr);
  EXPECT_FALSE(window()->isVisible());  // loaded hidden
  engine.MoveTo("Merlin", 300, 200, 0);
  engine.Show("Merlin", /*fast=*/true);
  Pass(0);
  ASSERT_TRUE(window()->isVisible());
  EXPECT_EQ(window()->geometry(), QRect(300, 200, 128, 128));
  EXPECT_TRUE(window()->windowFlags().testFlag(Qt::FramelessWindowHint));
  EXPECT_EQ(window()->windowType(), Qt::ToolTip);  // never activated, placed as asked
  const agent::CharacterView v = view();
  const Result<agent::FramePixels> pixels = agent::DecodeFrame(v.character->frames[v.frame]);
  ASSERT_TRUE(pixels.ok());
  const QRegion opaque = ToQRegion(agent::OpaqueRegion(pixels.value()));
  EXPECT_FALSE(opaque.isEmpty());
  EXPECT_EQ(window()->mask(), opaque);
  EXPECT_NE(window()->mask(), QRegion(0, 0, 128, 128));  // the corners are let through

  // A slow hide plays its frames, each shaped as it is; then the window goes.
  engine.Hide("Merlin", /*fast=*/false);
  Pass(1);
  const agent::CharacterView hiding = view();
  ASSERT_NE(hiding.frame, v.frame);
  EXPECT_EQ(window()->mask(),
            ToQRegion(agent::OpaqueRegion(
                agent::DecodeFrame(hiding.character->frames[hiding.frame]).value())));
  Pass(60'000);
  EXPECT_FALSE(window()->isVisible());
}

TEST_F(CharacterWindowsTest, TheTimerFollowsAMoveAndASizeChange) {
  engine.Show("Merlin", true);
  engine.MoveTo("Merlin", 400, 0, 1000);
  now_ += 500;
  EXPECT_TRUE(QTest::qWaitFor([this] { return window() && window()->x() == 200; }, 5000));
  now_ += 500;
  engine.Set("Merlin", agent::Property::kWidth, 64);
  EXPECT_TRUE(
      QTest::qWaitFor([this] { return window()->geometry() == QRect(400, 0, 64, 128); }, 5000));
  EXPECT_EQ(window()->image().size(), QSize(64, 128));
}

TEST_F(CharacterWindowsTest, TheBalloonPointsAtTheCharacterAndFollowsAMoveTo) {
  engine.Show("Merlin", true);
  engine.Speak("Merlin", "Hello there", /*think=*/false);
  Pass(0);
  ASSERT_TRUE(balloon()->isVisible());
  EXPECT_EQ(balloon()->kind(), agent::BalloonView::Kind::kSpeech);
  EXPECT_EQ(balloon()->shown_text(), "Hello there");
  const agent::BalloonView b = view().balloon;
  EXPECT_EQ(balloon()->mapToGlobal(balloon()->tip()), QPoint(b.x, b.y));
  EXPECT_TRUE(balloon()->mask().contains(balloon()->tip()));
  EXPECT_TRUE(balloon()->mask().contains(balloon()->body_rect().center()));

  Pass(10'000);  // said
  EXPECT_FALSE(balloon()->isVisible());
  engine.MoveTo("Merlin", 500, 300, 0);
  engine.Speak("Merlin", "Over here", false);
  Pass(0);
  ASSERT_TRUE(balloon()->isVisible());
  const agent::BalloonView moved = view().balloon;
  EXPECT_EQ(moved.x, b.x + 500);
  EXPECT_EQ(balloon()->mapToGlobal(balloon()->tip()), QPoint(moved.x, moved.y));
}

TEST_F(CharacterWindowsTest, TheBalloonStaysOnTheScreen) {
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  engine.Show("Merlin", true);
  // At the top no balloon fits above the character: it goes below the point.
  engine.MoveTo("Merlin", area.left() + 300, area.top(), 0);
  engine.Speak("Merlin", "Hier boven", false);
  Pass(0);
  agent::BalloonView b = view().balloon;
  EXPECT_EQ(balloon()->mapToGlobal(balloon()->tip()), QPoint(b.x, b.y));
  EXPECT_GT(balloon()->body_rect().top(), balloon()->tip().y());
  EXPECT_TRUE(area.contains(balloon()->geometry()));
  Pass(10'000);
  // At the right edge it is moved left, the tail still at the point.
  engine.MoveTo("Merlin", area.right() + 1 - 128, area.top() + 300, 0);
  engine.Speak("Merlin", "Aan de rand van het scherm", false);
  Pass(0);
  b = view().balloon;
  EXPECT_EQ(balloon()->mapToGlobal(balloon()->tip()), QPoint(b.x, b.y));
  EXPECT_LT(balloon()->body_rect().bottom(), balloon()->tip().y());
  EXPECT_TRUE(area.contains(balloon()->geometry()));
}

TEST_F(CharacterWindowsTest, TheBalloonShowsTheWordsHeardSoFar) {
  engine.Show("Merlin", true);
  heard.heard = 0;
  engine.Speak("Merlin", "Dit is een test.", false);
  Pass(0);
  EXPECT_EQ(balloon()->shown_text(), "");
  const QRect body = balloon()->body_rect();
  heard.heard = 2;
  Pass(16);
  EXPECT_EQ(balloon()->shown_text(), "Dit is");
  EXPECT_EQ(balloon()->body_rect(), body);  // sized for the whole text from the start
  heard.heard = agent::kAllWords;
  Pass(16);
  EXPECT_EQ(balloon()->shown_text(), "Dit is een test.");
}

TEST_F(CharacterWindowsTest, ALongTextWrapsInsideTheBalloon) {
  engine.Show("Merlin", true);
  std::string text;
  for (int i = 0; i < 40; ++i) text += "word" + std::to_string(i) + " ";
  text += "Donaudampfschifffahrtsgesellschaftskapitaenswitwenrentenversicherung";
  engine.Speak("Merlin", text, false);
  Pass(0);
  const QRect inside = balloon()->text_rect();
  EXPECT_LE(inside.width(), kBalloonTextWidth);
  EXPECT_GE(inside.height(), 4 * balloon()->fontMetrics().height());
  EXPECT_TRUE(balloon()->body_rect().contains(inside));
  // Every word but the one wider than the balloon fits whole on a line.
  const QRect needed = balloon()->fontMetrics().boundingRect(
      QRect(0, 0, inside.width(), 10'000), Qt::TextWordWrap,
      QString::fromStdString(text.substr(0, text.rfind(' '))));
  EXPECT_LE(needed.width(), inside.width());
  EXPECT_LT(needed.height(), inside.height());
}

TEST_F(CharacterWindowsTest, AThoughtIsACloudAndNeverHeard) {
  engine.Show("Merlin", true);
  engine.Speak("Merlin", "Hmm", /*think=*/true);
  Pass(0);
  ASSERT_TRUE(balloon()->isVisible());
  EXPECT_EQ(balloon()->kind(), agent::BalloonView::Kind::kThought);
  EXPECT_EQ(balloon()->shown_text(), "Hmm");
  const QRect body = balloon()->body_rect();
  // Scallops stand out of the body: a cloud, not a box.
  EXPECT_TRUE(balloon()->mask().contains(QPoint(body.left() + 12, body.top() - 6)));
  EXPECT_TRUE(balloon()->mask().contains(balloon()->tip()));
  Pass(10'000);
  EXPECT_TRUE(recorded.requests().empty());
}

TEST_F(CharacterWindowsTest, StopAllHideAndUnloadTakeTheWindowsAway) {
  engine.Show("Merlin", true);
  engine.Speak("Merlin", "One", false);
  Pass(0);
  ASSERT_TRUE(balloon()->isVisible());
  engine.StopAll("Merlin", std::nullopt);
  Pass(0);
  EXPECT_FALSE(balloon()->isVisible());
  EXPECT_TRUE(window()->isVisible());

  engine.Speak("Merlin", "Two", false);
  Pass(0);
  engine.Hide("Merlin", /*fast=*/true);
  Pass(10'000);
  EXPECT_FALSE(window()->isVisible());
  EXPECT_FALSE(balloon()->isVisible());

  engine.Show("Merlin", true);
  engine.Speak("Merlin", "Three", false);
  Pass(0);
  ASSERT_TRUE(balloon()->isVisible());
  engine.Unload("Merlin");
  Pass(0);
  EXPECT_EQ(window(), nullptr);
  EXPECT_EQ(balloon(), nullptr);
  for (QWidget* w : QApplication::topLevelWidgets()) {
    EXPECT_EQ(dynamic_cast<CharacterWindow*>(w), nullptr);
    EXPECT_EQ(dynamic_cast<BalloonWindow*>(w), nullptr);
  }
}

TEST_F(CharacterWindowsTest, TheProgramsWindowKeepsTheFocus) {
  QWidget app_window;
  auto* edit = new QLineEdit(&app_window);  // owned by its window
  app_window.setGeometry(10, 10, 300, 100);
  app_window.show();
  app_window.activateWindow();
  QApplication::setActiveWindow(&app_window);
  edit->setFocus();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&app_window));
  engine.Activate("Merlin", 2);
  engine.Show("Merlin", false);
  engine.Speak("Merlin", "Typ maar door", false);
  engine.MoveTo("Merlin", 50, 50, 0);
  for (int i = 0; i < 20; ++i) {
    Pass(200);
    QCoreApplication::processEvents();
  }
  EXPECT_TRUE(window()->isVisible());
  EXPECT_TRUE(window()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_TRUE(window()->testAttribute(Qt::WA_ShowWithoutActivating));
  EXPECT_EQ(QApplication::activeWindow(), &app_window)
      << (QApplication::activeWindow() == window()    ? "character"
          : QApplication::activeWindow() == balloon() ? "balloon"
                                                      : "other");
  EXPECT_EQ(QApplication::focusWidget(), edit);
  QTest::keyClicks(QApplication::focusWidget(), "abc");
  EXPECT_EQ(edit->text(), "abc");
}

TEST(QtBackendCharacters, EnginesGivenTheBackendsDisplayShowOnTheScreen) {
  QtBackend backend;
  CharacterWindows& windows = backend.character_stage().windows();
  {
    agent::CharacterEngine engine(backend.Characters());
    engine.Load("Merlin", agent::LoadCharacter(PEX_MERLIN_FILE));
    engine.Show("Merlin", /*fast=*/true);
    engine.MoveTo("Merlin", 40, 30, 0);
    EXPECT_TRUE(QTest::qWaitFor(
        [&windows] {
          const CharacterWindow* w = windows.character_window("Merlin");
          return w != nullptr && w->isVisible() && w->pos() == QPoint(40, 30);
        },
        5000));
    engine.Unload("Merlin");
    EXPECT_TRUE(QTest::qWaitFor([&windows] { return !windows.character_window("Merlin"); }));
  }
  QTest::qWait(3 * kCharacterTickMs);  // the timer goes on without the engine
}

TEST(QtAudioOutput, WithoutAnOutputDeviceTheVoiceIsSilent) {
  QtAudioOutput output;
  const std::unique_ptr<agent::SpeechBackend> speech = agent::MakeSpeechBackend(&output);
  const bool silent = dynamic_cast<agent::SilentSpeech*>(speech.get()) != nullptr;
  if (QMediaDevices::audioOutputs().isEmpty()) {
    EXPECT_TRUE(silent);
  }
}

}  // namespace
}  // namespace platform::qt
