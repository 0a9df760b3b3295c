#include "platform/qt/audio_output.h"

#include <utility>

#include <QAudioSink>
#include <QMediaDevices>
#include <QMetaObject>

namespace platform::qt {

QtAudioOutput::QtAudioOutput() : context_(std::make_unique<QObject>()) {}

QtAudioOutput::~QtAudioOutput() {
  if (sink_) sink_->stop();
}

bool QtAudioOutput::Open(int32_t sample_rate) {
  device_ = QMediaDevices::defaultAudioOutput();
  if (device_.isNull()) return false;
  format_.setSampleRate(sample_rate);
  format_.setChannelCount(1);
  format_.setSampleFormat(QAudioFormat::Int16);
  return device_.isFormatSupported(format_);
}

void QtAudioOutput::Play(std::vector<int16_t> samples) {
  QByteArray bytes(reinterpret_cast<const char*>(samples.data()),
                   static_cast<qsizetype>(samples.size() * sizeof(int16_t)));
  QMetaObject::invokeMethod(
      context_.get(), [this, bytes = std::move(bytes)]() mutable { PlayNow(std::move(bytes)); },
      Qt::QueuedConnection);
}

void QtAudioOutput::Stop() {
  QMetaObject::invokeMethod(
      context_.get(),
      [this] {
        if (sink_) sink_->stop();
      },
      Qt::QueuedConnection);
}

void QtAudioOutput::PlayNow(QByteArray bytes) {
  if (sink_) sink_->stop();
  buffer_.close();
  buffer_.setData(std::move(bytes));
  buffer_.open(QIODevice::ReadOnly);
  sink_ = std::make_unique<QAudioSink>(device_, format_);
  // A sink that fails (the device went) leaves the character silent; its balloon still shows.
  sink_->start(&buffer_);
}

}  // namespace platform::qt
