#include "display_check.h"

#include <fcntl.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <QString>
#include <QtGlobal>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zbx::app {
namespace {

using namespace std::chrono_literals;

constexpr auto kPatience = 5s;  // how long a busy or starting X server is waited for

// The value of a Qt option given as "-name value" or "--name value", else nullptr.
const char* Option(int argc, char** argv, const char* name) {
  for (int i = 1; i + 1 < argc; ++i) {
    const char* arg = argv[i];
    if (arg[0] != '-') continue;
    if (arg[1] == '-') ++arg;
    if (std::strcmp(arg + 1, name) == 0) return argv[i + 1];
  }
  return nullptr;
}

bool UsesX(int argc, char** argv) {
  const char* chosen = Option(argc, argv, "platform");
  if (chosen == nullptr) chosen = std::getenv("QT_QPA_PLATFORM");
  if (chosen == nullptr || *chosen == '\0') {
    // Without a choice Qt takes X, except in a Wayland session.
    const char* session = std::getenv("XDG_SESSION_TYPE");
    return session == nullptr || std::strcmp(session, "wayland") != 0;
  }
  return std::strncmp(chosen, "xcb", 3) == 0;  // "xcb", "xcb:options" or a list that starts with it
}

// One try at the display: 0 or xcb's error. A server that answers with a refusal has its
// reason written to stderr by xcb; that is caught here into `refusal` (no other thread runs
// yet), so that only the game's own line shows.
int TryConnect(const std::string& name, std::string& refusal) {
  int caught[2];
  const int savedErr = dup(STDERR_FILENO);
  const bool catching = savedErr >= 0 && pipe2(caught, O_NONBLOCK | O_CLOEXEC) == 0;
  if (catching) dup2(caught[1], STDERR_FILENO);
  xcb_connection_t* connection = xcb_connect(name.empty() ? nullptr : name.c_str(), nullptr);
  const int error = xcb_connection_has_error(connection);
  xcb_disconnect(connection);
  refusal.clear();
  if (catching) {
    dup2(savedErr, STDERR_FILENO);
    close(caught[1]);
    char buffer[512];
    for (ssize_t n; (n = read(caught[0], buffer, sizeof buffer)) > 0;) refusal.append(buffer, static_cast<std::size_t>(n));
    close(caught[0]);
    while (!refusal.empty() && (refusal.back() == '\n' || refusal.back() == ' ')) refusal.pop_back();
  }
  if (savedErr >= 0) close(savedErr);
  return error;
}

void CannotStart(const std::string& why) { std::fprintf(stderr, "zorbanix: cannot start: %s\n", why.c_str()); }

struct HeldMessage {
  QtMsgType type;
  std::string category, file, function;
  int line;
  QString text;
};

std::mutex heldLock;
std::vector<HeldMessage> held;
QtMessageHandler previous = nullptr;

void Hold(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  std::lock_guard lock(heldLock);
  if (type != QtFatalMsg) {
    held.push_back({type, context.category ? context.category : "", context.file ? context.file : "",
                    context.function ? context.function : "", context.line, text});
    return;
  }
  // The platform plugin's own complaint ("could not connect to display :1", "Could not
  // find the Qt platform plugin "foo"") says more than the general advice that follows it.
  QString why = text.section('\n', 0, 0);
  const auto plugin = std::find_if(held.begin(), held.end(), [](const HeldMessage& m) {
    return m.category.rfind("qt.qpa", 0) == 0 && m.type != QtDebugMsg && m.type != QtInfoMsg;
  });
  if (plugin != held.end()) why = plugin->text.section('\n', 0, 0);
  CannotStart(why.toStdString());
  std::_Exit(1);
}

}  // namespace

bool DisplayReady(int argc, char** argv) {
  if (!UsesX(argc, argv)) return true;
  const char* given = Option(argc, argv, "display");
  if (given == nullptr) given = std::getenv("DISPLAY");
  const std::string name = given != nullptr ? given : "";
  const auto deadline = std::chrono::steady_clock::now() + kPatience;
  auto pause = 20ms;
  for (;;) {
    std::string refusal;
    const int error = TryConnect(name, refusal);
    if (error == 0) return true;
    // Waited for: no answer yet (a server starting, or too busy to take the connection)
    // and a server full of clients; not a refusal for another reason.
    const bool busy = refusal.empty() || refusal.find("Maximum number of clients") != std::string::npos;
    if (error == XCB_CONN_ERROR && busy && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(pause);
      pause = std::min(pause * 2, decltype(pause)(400ms));
      continue;
    }
    if (name.empty()) {
      CannotStart("no X display (DISPLAY is not set); start it from a desktop session");
    } else if (error == XCB_CONN_CLOSED_PARSE_ERR) {
      CannotStart("\"" + name + "\" is not the name of an X display");
    } else if (!refusal.empty()) {
      CannotStart("the X display " + name + " refused the connection: " + refusal);
    } else if (error == XCB_CONN_CLOSED_INVALID_SCREEN) {
      CannotStart("the X display " + name + " has no such screen");
    } else {
      CannotStart("no connection to the X display " + name + " (no server there, or it did not answer within " +
                  std::to_string(std::chrono::seconds(kPatience).count()) + " s)");
    }
    return false;
  }
}

// With QT_FATAL_WARNINGS Qt aborts right after a warning's handler returns: nothing is held.
StartupMessages::StartupMessages() : holding_(!qEnvironmentVariableIsSet("QT_FATAL_WARNINGS")) {
  if (holding_) previous = qInstallMessageHandler(Hold);
}

StartupMessages::~StartupMessages() {
  if (!holding_) return;
  qInstallMessageHandler(previous);
  std::vector<HeldMessage> messages;
  {
    std::lock_guard lock(heldLock);
    messages.swap(held);
  }
  for (const HeldMessage& m : messages) {
    const QMessageLogContext context(m.file.c_str(), m.line, m.function.c_str(), m.category.c_str());
    previous(m.type, context, m.text);
  }
}

}  // namespace zbx::app
