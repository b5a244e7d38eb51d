#include "app/command_line.h"

#include <string_view>

#include "platform/winreg.h"

#ifndef ZBX_VERSION
#error "ZBX_VERSION names the game's version (set by the build)"
#endif

namespace zbx::app {
namespace {

constexpr const char* kHelp = R"(Usage: zorbanix [--help | --version] [Qt options such as -platform NAME]

Zorbanix is a one-player arcade game in one small window. Planets fall one at a
time, and you steer a basket along the bottom to catch them. A catch scores 6 minus
the planet's class (1 to 5 points). In the lower half a planet may turn into a bomb,
which costs a life when caught, or a bonus, which gives one; every planet that falls
past the basket costs a life. You start with 25 lives; the game ends at 0 lives
("Game Over") or at 99999 points ("Tilt!").

The game opens on the new-game panel: type your name, choose Keyboard or Mouse, and
press Enter. Then press F5 to start.

Keys:
  F1           show the help
  F2           new game: open the new-game panel (asks first if a game is running)
  F4           show the scoreboard
  F5           start the game once the new-game panel is closed
  Space        pause the game, or go on with it
  Left, Right  move the basket, with Keyboard chosen (hold a key to keep moving)
  the mouse    moves the basket with the pointer, with Mouse chosen
  M            hide or show the pointer, with Mouse chosen
  S            switch the sound on or off
  Esc          quit (asks first)
  Enter, Esc   in the new-game panel: OK, Cancel
While the help or the scoreboard is open, any key but M and S closes it.

The scoreboard (ten places) is kept in the registry store
$XDG_DATA_HOME/zorbanix/registry.db, else ~/.local/share/zorbanix/registry.db
)";

constexpr const char* kHelpTail = R"(as the value "BIOS config" of HKLM\System\CurrentControlSet\Control\IDConfigDB.
It is read when the game starts and written when you quit. To start again from the
built-in table, delete it while the game is closed:
  zorbanix-reg delete-value 'HKLM\System\CurrentControlSet\Control\IDConfigDB' 'BIOS config'

Options:
  -h, --help   show this help and exit
  --version    show the version and exit
)";

}  // namespace

std::optional<int> AnswerCommandLine(int argc, const char* const* argv, std::ostream& out) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i] != nullptr ? argv[i] : "";
    if (arg == "--help" || arg == "-h") {
      out << kHelp << "(here: " << win::DefaultStorePath() << "),\n" << kHelpTail;
      return 0;
    }
    if (arg == "--version") {
      out << "zorbanix " << ZBX_VERSION << '\n';
      return 0;
    }
  }
  return std::nullopt;
}

}  // namespace zbx::app
