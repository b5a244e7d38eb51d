#pragma once
// Before the game takes its display: on a busy X server the first connection may fail, and
// Qt then ends the program with an abort and a page of advice. The game waits a little for
// the server instead, and when it cannot start it says why in one line and ends with status 1.

namespace zbx::app {

// On the X platform (the default one, or chosen with QT_QPA_PLATFORM or -platform), tries to
// connect to the X display for up to a few seconds. False, with the reason written to
// stderr, when there is no display to use.
bool DisplayReady(int argc, char** argv);

// Held while the QApplication is made: Qt's messages meanwhile are kept back and shown
// afterwards, and a fatal one (no platform plugin could start) ends the program with one
// line on stderr and status 1 instead of an abort.
class StartupMessages {
 public:
  StartupMessages();
  ~StartupMessages();
  StartupMessages(const StartupMessages&) = delete;
  StartupMessages& operator=(const StartupMessages&) = delete;

 private:
  bool holding_;
};

}  // namespace zbx::app
