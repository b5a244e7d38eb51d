#pragma once
// SIGTERM, SIGINT and SIGHUP (a kill, Ctrl+C in the terminal, the session going away)
// turned into a call on the window's thread, so the game can save before it ends.
#include <QObject>
#include <functional>

class QSocketNotifier;

namespace zbx::qt {

class TerminationSignals : public QObject {
 public:
  // Installs the handlers; onSignal runs on the event thread at the next event pass.
  explicit TerminationSignals(std::function<void()> onSignal);
  ~TerminationSignals() override;
  TerminationSignals(const TerminationSignals&) = delete;
  TerminationSignals& operator=(const TerminationSignals&) = delete;

 private:
  std::function<void()> onSignal_;
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace zbx::qt
