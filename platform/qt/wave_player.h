#pragma once
// Plays in-memory RIFF/WAVE images, one at a time, without ever making the caller wait
// on the sound system.
//
// Everything that talks to the sound system (the default device, the output stream, its
// feeding) runs on a thread of the player's own; Play only hands the bytes over. A sound
// server that stalls or vanishes can hold that thread, never the caller's: the game plays
// on in silence, and sounds come back once the server answers again. Requests that pile
// up meanwhile collapse into the newest one, as a new sound replaces the playing one.
//
// The samples go out through one stream of 16-bit mono samples (SoundMixer): a new sound
// starts at once and the one it replaces fades out beside it over a few milliseconds.
// The output keeps only a short lead of written samples, topped up every few
// milliseconds from the player's thread, so a replacement is heard at once.
#include <QObject>

#include <atomic>
#include <cstdint>
#include <memory>

#include "platform/services.h"

class QThread;

namespace zbx {

// Where the player's samples go; used on the player's thread only, and any call may
// block there. Opened for each run of sounds and closed once it has played out.
class AudioOutput {
 public:
  virtual ~AudioOutput() = default;
  // Opens a stream of 16-bit mono samples at rate; false when there is no output.
  virtual bool Open(int rate) = 0;
  // How many bytes the stream takes now.
  virtual std::int64_t BytesFree() = 0;
  virtual std::int64_t Write(const char* data, std::int64_t size) = 0;
  // Everything written has been played (or the stream failed and plays nothing more).
  virtual bool Drained() = 0;
  // The stream has failed (its server went away).
  virtual bool Failed() = 0;
  virtual void Close() = 0;
};

// The default audio device of the desktop, through Qt Multimedia.
std::unique_ptr<AudioOutput> MakeDesktopAudioOutput();

class AudioWorker;

class WavePlayer : public QObject {
  Q_OBJECT

 public:
  explicit WavePlayer(QObject* parent = nullptr);
  explicit WavePlayer(std::unique_ptr<AudioOutput> output, QObject* parent = nullptr);
  // Stops the sound. A player thread held by the sound system is left behind, not waited for.
  ~WavePlayer() override;
  WavePlayer(const WavePlayer&) = delete;
  WavePlayer& operator=(const WavePlayer&) = delete;

  // Starts wave and returns at once; a sound still playing is replaced. Bytes that are
  // not a playable wave are ignored (a sound already playing goes on). Without an audio
  // output, or when the output fails, nothing is heard and nothing is reported.
  void Play(WaveBytes wave);
  // True from Play until that sound (or one that replaced it) has been played out, or
  // found to have no output.
  bool IsPlaying() const;

  struct Shared;

 private:
  std::shared_ptr<Shared> shared_;
  QThread* thread_ = nullptr;
  AudioWorker* worker_ = nullptr;  // lives on thread_
};

}  // namespace zbx
