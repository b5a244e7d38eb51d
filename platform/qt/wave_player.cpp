#include "platform/qt/wave_player.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QByteArray>
#include <QIODevice>
#include <QMediaDevices>

#include <algorithm>
#include <utility>

#include "platform/wave_file.h"

namespace zbx {
namespace {

constexpr int kFeedIntervalMs = 10;
constexpr qint64 kTrailingSilenceUs = 100'000;
constexpr qint64 kMaxBufferUs = 3'000'000;  // longer sounds are topped up by the timer

QAudioFormat ToQt(const WaveFormat& f) {
  QAudioFormat q;
  q.setSampleRate(static_cast<int>(f.sample_rate));
  q.setChannelCount(f.channels);
  q.setSampleFormat(f.bits_per_sample == 8 ? QAudioFormat::UInt8 : QAudioFormat::Int16);
  return q;
}

}  // namespace

WavePlayer::WavePlayer(QObject* parent) : QObject(parent) {
  feeder_.setInterval(kFeedIntervalMs);
  connect(&feeder_, &QTimer::timeout, this, &WavePlayer::Feed);
}

WavePlayer::~WavePlayer() { Stop(); }

void WavePlayer::Play(WaveBytes wave) {
  if (!wave) return;
  const auto image = ParseWave(*wave);
  if (!image || image->pcm.empty()) return;
  Stop();
  const QAudioDevice device = QMediaDevices::defaultAudioOutput();
  const QAudioFormat format = ToQt(image->format);
  if (device.isNull() || !device.isFormatSupported(format)) return;

  const qint64 silence = format.bytesForDuration(kTrailingSilenceUs);
  const auto total = static_cast<qint64>(image->pcm.size()) + silence;
  sink_ = new QAudioSink(device, format, this);
  sink_->setBufferSize(std::min(total, static_cast<qint64>(format.bytesForDuration(kMaxBufferUs))));
  output_ = sink_->start();
  if (output_ == nullptr || sink_->error() != QAudio::NoError) {
    Stop();
    return;
  }
  connect(sink_, &QAudioSink::stateChanged, this, &WavePlayer::OnStateChanged);
  wave_ = std::move(wave);
  pending_ = image->pcm;
  silence_left_ = silence;
  silence_byte_ = image->format.bits_per_sample == 8 ? char(0x80) : char(0);
  frame_bytes_ = image->format.block_align;
  Feed();
  if (sink_ != nullptr && silence_left_ > 0) feeder_.start();
}

// Writes as much as the sink takes, in whole frames: the samples, then the silence.
void WavePlayer::Feed() {
  if (output_ == nullptr) return;
  qint64 room = sink_->bytesFree();
  room -= room % frame_bytes_;
  // A failing write may stop the sink and, through its state signal, this player.
  while (room > 0 && silence_left_ > 0 && output_ != nullptr) {
    qint64 written = 0;
    if (!pending_.empty()) {
      const qint64 n = std::min(room, static_cast<qint64>(pending_.size()));
      written = output_->write(reinterpret_cast<const char*>(pending_.data()), n);
      if (written > 0) pending_ = pending_.subspan(static_cast<std::size_t>(written));
    } else {
      written = output_->write(QByteArray(std::min(room, silence_left_), silence_byte_));
      if (written > 0) silence_left_ -= written;
    }
    if (written <= 0) break;
    room -= written;
  }
  if (silence_left_ == 0) feeder_.stop();
}

void WavePlayer::OnStateChanged(QAudio::State state) {
  const bool played_out = state == QAudio::IdleState && silence_left_ == 0;
  const bool failed = state == QAudio::StoppedState;
  if (played_out || failed) Stop();
}

void WavePlayer::Stop() {
  feeder_.stop();
  if (sink_ != nullptr) {
    sink_->disconnect(this);
    sink_->stop();
    // Not deleted here: this may run inside one of the sink's own signals.
    sink_->deleteLater();
  }
  sink_ = nullptr;
  output_ = nullptr;
  wave_.reset();
  pending_ = {};
  silence_left_ = 0;
}

}  // namespace zbx
