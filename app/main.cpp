// Zorbanix: puts the window model, the game, the platform services and the Qt view
// together, then leaves everything to the window's events.
#include <QApplication>
#include <iostream>
#include <memory>

#include "app/command_line.h"
#include "app/display_check.h"
#include "flow/bindings.h"
#include "flow/startup_exit.h"
#include "game/game.h"
#include "platform/qt/qt_platform.h"
#include "platform/qt/termination_signals.h"
#include "window/form1.h"
#include "window/qt/form_view.h"

int main(int argc, char** argv) {
  if (const auto answered = zbx::app::AnswerCommandLine(argc, argv, std::cout)) return *answered;
  if (!zbx::app::DisplayReady(argc, argv)) return 1;
  std::unique_ptr<QApplication> made;
  {
    const zbx::app::StartupMessages startup;
    made = std::make_unique<QApplication>(argc, argv);
  }
  QApplication::setApplicationName("zorbanix");
  QApplication::setApplicationVersion(ZBX_VERSION);
  // Ties the window to its desktop entry (and so to its icon and name) in the desktop's shell.
  QGuiApplication::setDesktopFileName(ZBX_APP_ID);

  zbx::Form1 form;
  zbx::qt::QtPlatform platform;
  zbx::Game game(form, platform);
  zbx::BindGame(game);

  zbx::qt::FormView view(form);
  platform.SetWindow(&view);
  // A kill nobody can answer still keeps the scores recorded in this run.
  zbx::qt::TerminationSignals saveOnKill([&game] { zbx::EndWithoutAsking(game); });

  form.on.Load();
  view.show();
  zbx::GiveFirstFocus(game);
  return QApplication::exec();
}
