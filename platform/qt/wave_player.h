#pragma once
// Plays in-memory RIFF/WAVE images on the default audio output, one at a time, without
// blocking the caller.
//
// The samples are pushed into a QAudioSink (in pull mode Qt 6.4 drops the last 80 to
// 120 ms of a sound). The sink's buffer is sized to take a whole game sound at once, so
// playback carries on while the event thread is held in a busy wait; anything longer is
// topped up from a timer. A little silence after the samples makes sure the tail is heard
// before the sink goes idle.
#include <QObject>
#include <QTimer>
#include <QtMultimedia/qaudio.h>

#include <cstdint>
#include <span>

#include "platform/services.h"

class QAudioSink;
class QIODevice;

namespace zbx {

class WavePlayer : public QObject {
  Q_OBJECT

 public:
  explicit WavePlayer(QObject* parent = nullptr);
  ~WavePlayer() override;

  // Starts wave and returns at once; a sound still playing is cut off. Bytes that are not
  // a playable wave are ignored (a sound already playing goes on). Without an audio
  // output, or when the output fails, nothing is heard and nothing is reported.
  void Play(WaveBytes wave);
  // True from a successful start until the sound has been played out.
  bool IsPlaying() const { return sink_ != nullptr; }

 private:
  void Feed();
  void OnStateChanged(QAudio::State state);
  void Stop();

  WaveBytes wave_;                         // keeps pending_ alive
  std::span<const std::uint8_t> pending_;  // samples not yet written to the sink
  qint64 silence_left_ = 0;                // bytes of trailing silence not yet written
  char silence_byte_ = 0;
  qint64 frame_bytes_ = 1;
  QAudioSink* sink_ = nullptr;   // a child of this player
  QIODevice* output_ = nullptr;  // owned by sink_
  QTimer feeder_;
};

}  // namespace zbx
