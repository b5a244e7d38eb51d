// The window's design-time layout: every control once, as a row of data.
#include <array>
#include <stdexcept>
#include <string_view>

#include "window/form1.h"

namespace zbx {

namespace {

// --- the help panel's text: segments padded with blanks, one 1024-character caption ---
struct HelpSegment {
  std::string_view text;
  int blanks;
};
constexpr HelpSegment kHelpSegments[] = {
    {"[1] To start new game press 'New Game' button (F2),", 7},
    {"enter your name and choose controler.", 17},
    {"[2] Press 'Start' button (or F5 key) when you're", 13},
    {"ready to begin game.", 37},
    {"[3]", 2},
    {"Use chosen controler (Keyboard or Mouse) for", 12},
    {"moving ship (basket).", 39},
    {"[4] To pause/unpause game use 'Pause/Unpause'", 16},
    {"button (or space key).", 37},
    {"[5] M key toggles mouse pointer visibility (when", 14},
    {"Mouse is chosen as controler).", 25},
    {"[6] S key toggles sound (on/off).", 101},
    {"[7] F1 shows this help box.", 109},
    {"[8] F4 shows Scoreboard.", 111},
    {"[9] To quit game press Esc key.", 0},
};

constexpr std::size_t HelpLength() {
  std::size_t n = 0;
  for (const HelpSegment& s : kHelpSegments) n += s.text.size() + static_cast<std::size_t>(s.blanks);
  return n;
}

constexpr auto kHelpChars = [] {
  std::array<char, HelpLength()> text{};
  std::size_t at = 0;
  for (const HelpSegment& s : kHelpSegments) {
    for (char ch : s.text) text[at++] = ch;
    for (int i = 0; i < s.blanks; ++i) text[at++] = ' ';
  }
  return text;
}();
constexpr std::string_view kHelpText{kHelpChars.data(), kHelpChars.size()};
static_assert(kHelpText.size() == 1024, "the help label holds exactly 1024 characters");

// --- the layout table ---------------------------------------------------------------
enum Flags : unsigned {
  kNone = 0,
  kTransparent = 1u << 0,
  kHidden = 1u << 1,
  kDisabled = 1u << 2,
  kAutoSize = 1u << 3,
  kWrap = 1u << 4,
  kBorder = 1u << 5,
  kSelected = 1u << 6,  // option buttons
};

struct Row {
  std::string_view name;
  int index;
  ControlKind kind;
  std::string_view container;  // empty: the window
  std::string_view caption;
  double left, top, width, height;
  double fontPt;
  Rgb fore, back;
  Align align;
  Picture picture;
  unsigned flags;
  int maxLength;
};

constexpr auto kLabel = ControlKind::Label;
constexpr auto kButton = ControlKind::LabelButton;
constexpr auto kText = ControlKind::TextBox;
constexpr auto kOption = ControlKind::OptionButton;
constexpr auto kFrame = ControlKind::Frame;
constexpr auto kPicture = ControlKind::PictureBox;

using palette::kBlack, palette::kGreen, palette::kLilac, palette::kNavy, palette::kWhite;
constexpr Rgb kWindowText = palette::kBlack;  // the desktop's colour of text in a window

constexpr RectTwips kBasket = Form1::kBasketHome;
constexpr auto L = Align::Left, C = Align::Centre, R = Align::Right;
constexpr auto kNoPic = Picture::None;
constexpr unsigned T = kTransparent;

// Containers come before their children. Inside a container, later rows lie in front.
// clang-format off
constexpr Row kLayout[] = {
// name           idx kind      container       caption               left   top  width height  pt    fore    back   align picture           flags                     maxLength
  // Top bar.
  {"Frame1",       -1, kFrame,   "",             "",                    120,    0, 6015, 1335,  9,    kWhite, kBlack, L, kNoPic,            kNone,                    0},
  {"Label1",        0, kLabel,   "Frame1",       "Lifes left:",         120,  120, 1335,  255, 11.25, kWhite, kBlack, L, kNoPic,            T,                        0},
  {"lblLifes",     -1, kLabel,   "Frame1",       "25",                  240,  360,  615,  495, 20.25, kGreen, kBlack, C, kNoPic,            T,                        0},
  {"Label1",        2, kLabel,   "Frame1",       "High score:",        2400,  120, 1335,  255,  9,    kWhite, kBlack, L, kNoPic,            T,                        0},
  {"lblHS",        -1, kLabel,   "Frame1",       "0",                  1200,  360, 3375,  255,  9.75, kLilac, kBlack, C, kNoPic,            T,                        0},
  {"Label1",        1, kLabel,   "Frame1",       "Score:",             4680,  120, 1335,  255, 11.25, kWhite, kBlack, L, kNoPic,            T,                        0},
  {"lblScore",     -1, kLabel,   "Frame1",       "0",                  4320,  360, 1335,  495, 20.25, kGreen, kBlack, C, kNoPic,            T,                        0},
  {"lblNew",       -1, kButton,  "Frame1",       "New Game (F2)",       120,  960, 1575,  255,  9.75, kWhite, kNavy,  C, kNoPic,            kNone,                    0},
  {"lblStart",     -1, kButton,  "Frame1",       "Start (F5)",         2160,  960, 1575,  255,  9.75, kWhite, kNavy,  C, kNoPic,            kNone,                    0},
  {"lblPause",     -1, kButton,  "Frame1",       "Pause (Space)",      4200,  960, 1575,  255,  9.75, kWhite, kNavy,  C, kNoPic,            kNone,                    0},
  // Play area.
  {"picPlanet",    -1, kPicture, "",             "",                   2040, 1440,  615,  495,  9,    kWhite, kBlack, L, kNoPic,            kDisabled | kAutoSize,    0},
  {"picBasket",    -1, kPicture, "",             "",   kBasket.left, kBasket.top, kBasket.width, kBasket.height, 9, kWhite, kBlack, L, Picture::Basket, kDisabled, 0},
  {"picCursor",    -1, kPicture, "",             "",                   3480, 1440,  480,  480,  9,    kWhite, kBlack, L, Picture::Cursor,   kHidden | kAutoSize,      0},
  {"picInvisible", -1, kPicture, "",             "",                   2880, 1440,  480,  480,  9,    kWhite, kBlack, L, Picture::Invisible, kHidden | kAutoSize,     0},
  {"Picture1",     -1, kPicture, "",             "",                    120,  120, 6255, 1335,  9,    kWhite, kBlack, L, kNoPic,            kDisabled,                0},
  // Status line.
  {"Picture4",     -1, kPicture, "",             "",                    240, 7560, 1095,  255,  9,    kWhite, kBlack, L, kNoPic,            kNone,                    0},
  {"lblSound",     -1, kLabel,   "Picture4",     "Sound OFF",             0,    0,  900,  255,  9,    kWhite, kBlack, L, kNoPic,            T | kAutoSize,            0},
  {"Picture3",     -1, kPicture, "",             "",                   4800, 7560, 1455,  255,  9,    kWhite, kBlack, L, kNoPic,            kNone,                    0},
  {"lbl",           0, kLabel,   "Picture3",     "Speed:",                0,    0,  615,  255,  9,    kWhite, kBlack, L, kNoPic,            T,                        0},
  {"lblSpeed",     -1, kLabel,   "Picture3",     "0 m/h",               600,    0,  465,  255,  9,    kWhite, kBlack, L, kNoPic,            T | kAutoSize,            0},
  {"picSound",     -1, kPicture, "",             "",                    120, 7560,  975,  255,  9,    kWhite, kBlack, L, kNoPic,            kDisabled,                0},
  {"Picture2",     -1, kPicture, "",             "",                   4920, 7600, 1335,  255,  9,    kWhite, kBlack, L, kNoPic,            kDisabled,                0},
  // New-game panel (tab order: txtName, optMouse, optKeyboard).
  {"frameNewGame", -1, kFrame,   "",             "New Game:",           780, 1920, 4695, 2415,  9,    kWhite, kBlack, L, kNoPic,            kHidden | kBorder,        0},
  {"Label2",        0, kLabel,   "frameNewGame", "Enter your name:",    240,  360, 1695,  255,  9,    kWhite, kBlack, L, kNoPic,            T,                        0},
  {"txtName",      -1, kText,    "frameNewGame", "<your name>",        1800,  360, 2535,  285,  9,    kWhite, kBlack, L, kNoPic,            kNone,                   15},
  {"Label2",        1, kLabel,   "frameNewGame", "Choose your controler:", 240, 840, 2535, 255,  9,    kWhite, kBlack, L, kNoPic,            T,                        0},
  {"optMouse",     -1, kOption,  "frameNewGame", "Mouse",               600, 1200, 2295,  255,  9,    kWhite, kBlack, L, kNoPic,            kSelected,                0},
  {"optKeyboard",  -1, kOption,  "frameNewGame", "Keyboard",            600, 1560, 2295,  255,  9,    kWhite, kBlack, L, kNoPic,            kNone,                    0},
  {"lblOK",        -1, kButton,  "frameNewGame", "OK",                  600, 1920, 1575,  255,  9.75, kWhite, kNavy,  C, kNoPic,            kNone,                    0},
  {"lblCancel",    -1, kButton,  "frameNewGame", "Cancel",             2520, 1920, 1575,  255,  9.75, kWhite, kNavy,  C, kNoPic,            kNone,                    0},
  // Help panel.
  {"frameHelp",    -1, kFrame,   "",             "Help:",               780, 1920, 4695, 4815,  9,    kWhite, kBlack, L, kNoPic,            kHidden | kBorder,        0},
  {"Label2",        3, kLabel,   "frameHelp",    kHelpText,             120,  240, 4455, 4455,  9,    kWhite, kBlack, L, kNoPic,            T | kWrap,                0},
  // Scoreboard panel: ten rows, 360 apart.
  {"framScores",   -1, kFrame,   "",             "Scoreboard:",         780, 1920, 4695, 4215,  9,    kWhite, kBlack, L, kNoPic,            kHidden | kBorder,        0},
  {"lblHSPlace",    1, kLabel,   "framScores",   "[1]",                 120,  480,  255,  255,  9,    kWhite, kBlack, L, kNoPic,            T,                        0},
  {"lblHSName",     1, kLabel,   "framScores",   "",                    600,  480, 2895,  255,  9,    kWhite, kBlack, L, kNoPic,            T,                        0},
  {"lblHSScore",    1, kLabel,   "framScores",   "",                   3720,  480,  735,  255,  9,    kWhite, kBlack, R, kNoPic,            T,                        0},
  {"lblHSPlace",    2, kLabel,   "framScores",   "[2]",                 120,  840,  255,  255,  9,    kWhite, kBlack, L, kNoPic,            T,                        0},
  {"lblHSName",     2, kLabel,   "framScores",   "",                    600,  840, 2895,  255,  9,    kWhite, kBlack, L, kNoPic,            T,                        0},
  {"lblHSScore",    2, kLabel,   "framScores",   "",                   3720,  840,  735,  255,  9,    kWhite, kBlack, R, kNoPic,            T,                        0},
  {"lblHSPlace",    3, kLabel,   "framScores",   "[3]",                 120, 1200,  255,  255,  9,    kWhite, kBlack, L, kNoPic,            T,                        0},
  {"lblHSName",     3, kLabel,   "framScores",   "",                    600, 1200, 2895,  255,  9,    kWhite, kBlack, L, kNoPic,            T,                        0},
  {"lblHSScore",    3, kLabel,   "framScores",   "",                   3720, 1200,  735,  255,  9,    kWhite, kBlack, R, kNoPic,            T,                        0},
  {"lblHSPlace",    4, kLabel,   "framScores",   "[4]",                 120, 1560,  255,  255,  9,    kWhite, kBlack, L, kNoPic,            T,                        0},
  {"lblHSName",     4, kLabel,   "framScores",   "",                    600, 1560, 2895,  255,  9,    kWhite, kBlack, L, kNoPic,            T,                        0},
  {"lblHSScore",    4, kLabel,   "framScores",   "",                   3720, 1560,  735,  255,  9,    kWhite, kBlack, R, kNoPic,            T,                        0},
  {"lblHSPlace",    5, kLabel,   "framScores",   "[5]",                 120, 1920,  255,  255,  9,    kWhite, kBlack, L, kNoPic,            T,                        0},
  {"lblHSName",     5, kLabel,   "framScores",   "",                    600, 1920, 2895,  255,  9,    kWhite, kBlack, L, kNoPic,            T,                        0},
  {"lblHSScore",    5, kLabel,   "framScores",   "",                   3720, 1920,  735,  255,  9,    kWhite, kBlack, R, kNoPic,            T,                        0},
  {"lblHSPlace",    6, kLabel,   "framScores",   "[6]",                 120, 2280,  255,  255,  9,    kWhite, kBlack, L, kNoPic,            T,                        0},
  {"lblHSName",     6, kLabel,   "framScores",   "",                    600, 2280, 2895,  255,  9,    kWhite, kBlack, L, kNoPic,            T,                        0},
  {"lblHSScore",    6, kLabel,   "framScores",   "",                   3720, 2280,  735,  255,  9,    kWhite, kBlack, R, kNoPic,            T,                        0},
  {"lblHSPlace",    7, kLabel,   "framScores",   "[7]",                 120, 2640,  255,  255,  9,    kWhite, kBlack, L, kNoPic,            T,                        0},
  {"lblHSName",     7, kLabel,   "framScores",   "",                    600, 2640, 2895,  255,  9,    kWhite, kBlack, L, kNoPic,            T,                        0},
  {"lblHSScore",    7, kLabel,   "framScores",   "",                   3720, 2640,  735,  255,  9,    kWhite, kBlack, R, kNoPic,            T,                        0},
  {"lblHSPlace",    8, kLabel,   "framScores",   "[8]",                 120, 3000,  255,  255,  9,    kWhite, kBlack, L, kNoPic,            T,                        0},
  {"lblHSName",     8, kLabel,   "framScores",   "",                    600, 3000, 2895,  255,  9,    kWhite, kBlack, L, kNoPic,            T,                        0},
  {"lblHSScore",    8, kLabel,   "framScores",   "",                   3720, 3000,  735,  255,  9,    kWhite, kBlack, R, kNoPic,            T,                        0},
  {"lblHSPlace",    9, kLabel,   "framScores",   "[9]",                 120, 3360,  255,  255,  9,    kWhite, kBlack, L, kNoPic,            T,                        0},
  {"lblHSName",     9, kLabel,   "framScores",   "",                    600, 3360, 2895,  255,  9,    kWhite, kBlack, L, kNoPic,            T,                        0},
  {"lblHSScore",    9, kLabel,   "framScores",   "",                   3720, 3360,  735,  255,  9,    kWhite, kBlack, R, kNoPic,            T,                        0},
  {"lblHSPlace",   10, kLabel,   "framScores",   "[10]",                120, 3720,  375,  255,  9,    kWhite, kBlack, L, kNoPic,            T,                        0},
  {"lblHSName",    10, kLabel,   "framScores",   "",                    600, 3720, 2895,  255,  9,    kWhite, kBlack, L, kNoPic,            T,                        0},
  {"lblHSScore",   10, kLabel,   "framScores",   "",                   3720, 3720,  735,  255,  9,    kWhite, kBlack, R, kNoPic,            T,                        0},
  // Pause and game-over panels.
  {"framePaused",  -1, kFrame,   "",             "",                   1500, 3585, 3255,  975,  9,    kWhite, kBlack, L, kNoPic,            kHidden | kBorder,        0},
  {"Label2",       13, kLabel,   "framePaused",  "Paused",              480,    0, 3015,  855, 36,    kWhite, kBlack, L, kNoPic,            T,                        0},
  {"frameGameOver", -1, kFrame,  "",             "",                   1500, 3585, 3255,  975,  9,    kWhite, kBlack, L, kNoPic,            kHidden | kBorder,        0},
  {"Label2",       14, kLabel,   "frameGameOver", "Game Over",         -120,  120, 3495,  855, 27.75, kWhite, kBlack, C, kNoPic,            T,                        0},
  // Cheat console.
  {"frameCheat",   -1, kFrame,   "",             "",                    780, 5880, 4695,  855,  9,    kWindowText, kBlack, L, kNoPic,       kHidden | kBorder,        0},
  {"txtCheat",     -1, kText,    "frameCheat",   "",                    120,  360, 4335,  285,  9,    kWhite, kBlack, L, kNoPic,            kNone,                    0},
};
// clang-format on

}  // namespace

detail::FormControls::FormControls() {
  for (const Row& row : kLayout) {
    Control& c = controls_.emplace_back();
    c.name = row.name;
    c.index = row.index;
    c.kind = row.kind;
    c.container = row.container.empty() ? nullptr : &Named(std::string(row.container));
    c.fontPt = row.fontPt;
    c.transparent = (row.flags & kTransparent) != 0;
    c.align = row.align;
    c.autoSize = (row.flags & kAutoSize) != 0;
    c.wordWrap = (row.flags & kWrap) != 0;
    c.border = (row.flags & kBorder) != 0;
    c.maxLength = row.maxLength;
    c.Init(std::string(row.caption), row.left, row.top, row.width, row.height, row.fore, row.back,
           (row.flags & kHidden) == 0, (row.flags & kDisabled) == 0);
    c.InitPicture(row.picture);
    c.InitValue((row.flags & kSelected) != 0);
  }
}

Control& detail::FormControls::Named(const std::string& name, int index) {
  for (Control& c : controls_) {
    if (c.name == name && c.index == index) return c;
  }
  throw std::out_of_range("no control " + name + (index < 0 ? "" : "(" + std::to_string(index) + ")"));
}

std::vector<std::string> detail::FormControls::WindowStacking() {
  // Front first.
  constexpr std::string_view kOrder[] = {
      "Picture4",  "Picture3",     "frameCheat", "Picture2",   "picCursor",     "picInvisible",
      "frameHelp", "frameNewGame", "Frame1",     "picBasket",  "framScores",    "framePaused",
      "frameGameOver", "Picture1", "picSound",   "picPlanet",
  };
  return {std::begin(kOrder), std::end(kOrder)};
}

}  // namespace zbx
