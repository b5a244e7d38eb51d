#include "platform/qt/wave_player.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QDeadlineTimer>
#include <QIODevice>
#include <QMediaDevices>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "platform/sound_mixer.h"
#include "platform/wave_file.h"

namespace zbx {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kFeedIntervalMs = 10;
constexpr qint64 kLeadUs = 60'000;  // written ahead of what is heard
// A sound that waited this long for the sound system (a stalled server) is not started late.
constexpr auto kStale = std::chrono::seconds(1);
constexpr int kShutdownWaitMs = 2000;

class DesktopAudioOutput final : public AudioOutput {
 public:
  ~DesktopAudioOutput() override { Close(); }

  bool Open(int rate) override {
    QAudioFormat format;
    format.setSampleRate(rate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull() || !device.isFormatSupported(format)) return false;
    sink_ = std::make_unique<QAudioSink>(device, format);
    sink_->setBufferSize(format.bytesForDuration(kLeadUs));
    io_ = sink_->start();
    if (io_ == nullptr || sink_->error() != QAudio::NoError) {
      Close();
      return false;
    }
    return true;
  }
  std::int64_t BytesFree() override { return sink_ ? sink_->bytesFree() : 0; }
  std::int64_t Write(const char* data, std::int64_t size) override {
    return io_ != nullptr ? io_->write(data, size) : 0;
  }
  bool Drained() override { return !sink_ || sink_->state() != QAudio::ActiveState; }
  bool Failed() override { return !sink_ || sink_->state() == QAudio::StoppedState; }
  // The sink is deleted later, from the thread's event loop: its destructor runs an
  // event pass, which must not start the next sound in the middle of this one's end.
  void Close() override {
    io_ = nullptr;
    if (!sink_) return;
    sink_->stop();
    sink_.release()->deleteLater();
  }

 private:
  std::unique_ptr<QAudioSink> sink_;
  QIODevice* io_ = nullptr;  // owned by sink_
};

}  // namespace

std::unique_ptr<AudioOutput> MakeDesktopAudioOutput() { return std::make_unique<DesktopAudioOutput>(); }

// What the caller's thread and the player's thread share: the newest request not yet
// taken, and how far the requests have been served. Held only for moments, never while
// the sound system is called.
struct WavePlayer::Shared {
  std::mutex mutex;
  WaveBytes pending;
  Clock::time_point pendingSince;
  bool wakePosted = false;
  std::atomic<std::uint64_t> requested{0};  // numbers the requests
  std::atomic<std::uint64_t> settled{0};    // the newest request played out or dropped
};

// Lives on the player's thread and owns the output there.
class AudioWorker : public QObject {
 public:
  AudioWorker(std::shared_ptr<WavePlayer::Shared> shared, std::unique_ptr<AudioOutput> output)
      : shared_(std::move(shared)), output_(std::move(output)), buffer_(8192) {
    feeder_.setInterval(kFeedIntervalMs);
    feeder_.setTimerType(Qt::PreciseTimer);
    connect(&feeder_, &QTimer::timeout, this, &AudioWorker::Feed);
  }

  // Takes the newest request and starts it, opening the output first when needed.
  void Wake() {
    auto request = Take();
    if (!request) return;
    if (!open_) {
      open_ = output_->Open(SoundMixer::kRate);  // may block on a stalled server
      if (!open_) {
        shared_->settled = request->number;
        return;
      }
      if (auto newer = Take()) request = std::move(newer);
    }
    playing_ = request->number;
    if (Clock::now() - request->since > kStale) {
      if (mixer_.Finished()) Finish();
      return;
    }
    const auto image = ParseWave(*request->wave);
    mixer_.Start(image ? SoundMixer::Convert(*image) : std::vector<std::int16_t>{});
    feeder_.start();
    Feed();
  }

  void Shutdown() {
    feeder_.stop();
    open_ = false;
    output_.reset();
  }

 private:
  struct Request {
    WaveBytes wave;
    Clock::time_point since;
    std::uint64_t number = 0;
  };

  std::optional<Request> Take() {
    std::lock_guard lock(shared_->mutex);
    shared_->wakePosted = false;
    if (!shared_->pending) return std::nullopt;
    return Request{std::move(shared_->pending), shared_->pendingSince, shared_->requested.load()};
  }

  // Writes as much as the output takes; closes it once the sounds have played out.
  void Feed() {
    if (!open_) return;
    if (output_->Failed()) {
      mixer_.Clear();
      Finish();
      return;
    }
    std::int64_t room = output_->BytesFree();
    while (room >= 2 && !mixer_.Finished()) {
      const auto n = static_cast<std::size_t>(std::min<std::int64_t>(room, static_cast<std::int64_t>(buffer_.size())));
      const std::size_t rendered = mixer_.Render(std::span<char>(buffer_.data(), n & ~std::size_t{1}));
      output_->Write(buffer_.data(), static_cast<std::int64_t>(rendered));
      room -= static_cast<std::int64_t>(rendered);
    }
    if (mixer_.Finished() && output_->Drained()) Finish();
  }

  void Finish() {
    feeder_.stop();
    open_ = false;
    output_->Close();
    shared_->settled = playing_;
  }

  std::shared_ptr<WavePlayer::Shared> shared_;
  std::unique_ptr<AudioOutput> output_;
  bool open_ = false;
  SoundMixer mixer_;
  std::uint64_t playing_ = 0;
  std::vector<char> buffer_;
  QTimer feeder_{this};
};

WavePlayer::WavePlayer(QObject* parent) : WavePlayer(MakeDesktopAudioOutput(), parent) {}

WavePlayer::WavePlayer(std::unique_ptr<AudioOutput> output, QObject* parent)
    : QObject(parent), shared_(std::make_shared<Shared>()) {
  thread_ = new QThread;
  thread_->setObjectName(QStringLiteral("zorbanix sound"));
  worker_ = new AudioWorker(shared_, std::move(output));
  worker_->moveToThread(thread_);
  thread_->start();
}

WavePlayer::~WavePlayer() {
  QMetaObject::invokeMethod(worker_, [worker = worker_] {
    worker->Shutdown();
    QThread::currentThread()->quit();
  }, Qt::QueuedConnection);
  if (thread_->wait(QDeadlineTimer(kShutdownWaitMs))) {
    delete worker_;
    delete thread_;
  }
  // Otherwise the thread is held inside the sound system: it and its worker are left
  // behind rather than waited for.
}

void WavePlayer::Play(WaveBytes wave) {
  if (!wave) return;
  const auto image = ParseWave(*wave);
  if (!image || image->pcm.empty()) return;
  bool post = false;
  {
    std::lock_guard lock(shared_->mutex);
    shared_->pending = std::move(wave);
    shared_->pendingSince = Clock::now();
    ++shared_->requested;
    post = !shared_->wakePosted;
    shared_->wakePosted = true;
  }
  if (post) QMetaObject::invokeMethod(worker_, [worker = worker_] { worker->Wake(); }, Qt::QueuedConnection);
}

bool WavePlayer::IsPlaying() const { return shared_->settled.load() != shared_->requested.load(); }

}  // namespace zbx
