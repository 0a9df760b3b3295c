// The character's voice heard through the desktop's sound: Qt Multimedia's audio sink on the
// default output device.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include <QAudioDevice>
#include <QAudioFormat>
#include <QBuffer>
#include <QByteArray>
#include <QObject>

#include "platform/agent/espeak_speech.h"

class QAudioSink;

namespace platform::qt {

class QtAudioOutput final : public agent::AudioOutput {
 public:
  // GUI thread, with the application made; the sink plays on it.
  QtAudioOutput();
  ~QtAudioOutput() override;
  QtAudioOutput(const QtAudioOutput&) = delete;
  QtAudioOutput& operator=(const QtAudioOutput&) = delete;

  // False when there is no output device, or it does not take 16-bit mono at the rate.
  // GUI thread.
  bool Open(int32_t sample_rate) override;
  // Any thread: queued to the GUI thread.
  void Play(std::vector<int16_t> samples) override;
  void Stop() override;

 private:
  // GUI thread.
  void PlayNow(QByteArray bytes);

  std::unique_ptr<QObject> context_;  // the receiver of queued calls
  QAudioDevice device_;
  QAudioFormat format_;
  QBuffer buffer_;
  std::unique_ptr<QAudioSink> sink_;  // last: it reads buffer_
};

}  // namespace platform::qt
