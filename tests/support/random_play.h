#pragma once
// Random but legal play of the whole program on the scripted platform (the acts below,
// also during a wait or while a question is shown). After every step the rules that must
// hold whatever the player does are checked; a sequence that breaks one is shrunk to a
// shortest one that still breaks it. No GoogleTest here: the fuzz target uses it too.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "flow/bindings.h"
#include "flow/keys.h"
#include "flow/startup_exit.h"
#include "game/captions.h"
#include "platform/codepage.h"
#include "platform/number_text.h"
#include "registry/cls_registry_access.h"
#include "scores/registry_storage.h"
#include "scores/scramble.h"
#include "scores/table_text.h"
#include "support/fake_platform.h"
#include "window/form1.h"

namespace zbx::test::play {

enum class Act : std::uint8_t {
  Key,        // a: key code, b: shift bits
  Click,      // a: label-button (index into Buttons())
  Pointer,    // a, b: window twips
  Aim,        // steer towards the falling object, by pointer or arrows
  Ticks,      // a: how many timer events
  Focus,      // a: 0 the play area, 1 the name box, 2 Mouse, 3 Keyboard, 4 the cheat box
  Choose,     // a: 1 Keyboard, 2 Mouse (the option button clicked)
  TypeName,   // a: index into kNames; b: 1 appends to the text, 0 replaces it
  TypeCheat,  // a: index into kCommands, typed into the console, then Enter
  Close,      // a close request of the window
  Kill,       // SIGTERM, SIGINT or SIGHUP: save and end without asking
  Rig,        // a, b: indexes into kRigScores, kRigLifes: the ready state shows them, as
              // Cancel would after abandoning a game with those figures
};
// Now, or at the next event pass of a wait, or while the next question is shown (only
// timer events and kills reach the program then).
enum class When : std::uint8_t { Now, InWait, InBox };

struct Step {
  Act act = Act::Ticks;
  When when = When::Now;
  std::int32_t a = 0, b = 0;
  MsgBoxResult answer = MsgBoxResult::No;  // to a question the step brings up
};

inline const std::vector<std::string> kNames = {
    "Ann", "  Bob  ", "Zo\xC3\xAB", "\xC3\xA9t\xC3\xA9", "a.b|c", "<your name>", " ", "", "Q",
    "123456789012345678", "\v", "\xC3\xBF", "\xCE\xA9mega", "tab\there", "\xE2\x82\xAC 5"};
inline const std::vector<std::string> kCommands = {
    "GRAND OLD VORTEX", "grand old vortex  ", "UNLIMITEDLIFES", "SETSPEED 600", "ONLYBOMBS",
    "ONLYLIFES",        "SLOWMOTION",         "SETSPEED 12.5",  "setspeed 99999", "SETSPEED x",
    " ONLYLIFES",       ""};
inline const std::vector<std::string> kRigScores = {"0", "150", "201", "99990", "99995", "99998"};
inline const std::vector<std::string> kRigLifes = {"1", "2", "3", "11", "25"};
inline const std::vector<std::int16_t> kKeys = {
    vk::kF1, vk::kF2, vk::kF4, vk::kF5, vk::kSpace, vk::kEnter, vk::kEscape, vk::kLeft,
    vk::kRight, vk::kM, vk::kS, vk::kC, 65 /* A */, vk::kTab, vk::kUp};

// Text as C++ would write it: control characters escaped.
inline std::string Quoted(const std::string& text) {
  std::ostringstream out;
  out << '"';
  for (const char c : text) {
    if (static_cast<unsigned char>(c) < 0x20) {
      static const char hex[] = "0123456789abcdef";
      out << "\\x" << hex[(c >> 4) & 0xF] << hex[c & 0xF];
    } else {
      out << c;
    }
  }
  out << '"';
  return out.str();
}

inline std::string Describe(const Step& s) {
  static const char* const acts[] = {"key", "click", "pointer", "aim", "ticks", "focus", "choose",
                                     "type-name", "type-cheat", "close", "kill", "rig"};
  static const char* const buttons[] = {"lblNew", "lblStart", "lblPause", "lblOK", "lblCancel"};
  std::ostringstream out;
  if (s.when == When::InWait) out << "during the next wait: ";
  if (s.when == When::InBox) out << "while the next question is shown: ";
  out << acts[static_cast<int>(s.act)];
  switch (s.act) {
    case Act::Key: out << " " << s.a << " shift " << s.b; break;
    case Act::Click: out << " " << buttons[s.a]; break;
    case Act::Pointer: out << " " << s.a << "," << s.b; break;
    case Act::Ticks: case Act::Focus: case Act::Choose: out << " " << s.a; break;
    case Act::TypeName: out << (s.b ? " append " : " ") << Quoted(kNames[s.a]); break;
    case Act::TypeCheat: out << " " << Quoted(kCommands[s.a]); break;
    case Act::Rig: out << " " << kRigScores[s.a] << "/" << kRigLifes[s.b]; break;
    default: break;
  }
  if (s.act == Act::Key || s.act == Act::Click || s.act == Act::Close)
    out << (s.answer == MsgBoxResult::Yes ? ", Yes" : s.answer == MsgBoxResult::No ? ", No" : ", Cancel");
  return out.str();
}

// A small deterministic generator (the same sequence on every machine).
class Rng {
 public:
  explicit Rng(std::uint64_t seed) : x_(seed) {}  // SplitMix64: distinct seeds give unrelated streams
  std::uint64_t Next() {
    std::uint64_t z = (x_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }

 private:
  std::uint64_t x_;
};

// One step drawn from a source of choices (a seeded generator, or a fuzzer's input).
inline Step DrawStep(const std::function<int(int)>& below) {
  Step s;
  const int when = below(100);
  s.when = when < 12 ? When::InWait : when < 15 ? When::InBox : When::Now;
  // Weights per thousand. While a question is shown only the timer and a kill reach
  // the program; a wait's event pass takes what a player or the system would send
  // then; otherwise plenty of play and few ways out.
  const int w = below(1000);
  if (s.when == When::InBox) {
    s.act = w < 50 ? Act::Kill : Act::Ticks;
  } else if (s.when == When::InWait) {
    s.act = w < 650 ? Act::Key : w < 670 ? Act::Kill : w < 700 ? Act::Close : w < 820 ? Act::TypeCheat
          : w < 950 ? Act::Click : Act::Ticks;
  } else {
    s.act = w < 240 ? Act::Key : w < 310 ? Act::Click : w < 350 ? Act::Pointer : w < 460 ? Act::Aim
          : w < 680 ? Act::Ticks : w < 730 ? Act::Focus : w < 760 ? Act::Choose : w < 810 ? Act::TypeName
          : w < 870 ? Act::TypeCheat : w < 875 ? Act::Close : w < 877 ? Act::Kill : Act::Rig;
  }
  switch (s.act) {
    case Act::Key:
      s.a = kKeys[static_cast<std::size_t>(below(static_cast<int>(kKeys.size())))];
      if (s.a == vk::kEscape && s.when == When::Now && below(2) == 0) s.a = vk::kEnter;  // Esc may end it all
      s.b = below(3) == 0 ? below(8) : (s.a == vk::kC ? vk::kAlt : 0);
      break;
    case Act::Click: case Act::Focus: s.a = below(5); break;
    case Act::Pointer: s.a = below(6255); s.b = below(7905); break;
    case Act::Ticks: s.a = std::array{1, 3, 10, 40, 150, 600}[static_cast<std::size_t>(below(6))]; break;
    case Act::Choose: s.a = 1 + below(2); break;
    case Act::TypeName: s.a = below(static_cast<int>(kNames.size())); s.b = below(2); break;
    case Act::TypeCheat:  // the first three more often
      s.a = below(static_cast<int>(kCommands.size()) + 3) % static_cast<int>(kCommands.size());
      break;
    case Act::Rig:  // often a last life, or a score close to the ceiling
      s.a = below(5) < 2 ? 4 + below(2) : below(static_cast<int>(kRigScores.size()));
      s.b = below(5) < 2 ? 0 : below(static_cast<int>(kRigLifes.size()));
      break;
    default: break;
  }
  const int answer = below(20);
  s.answer = answer < 10 ? MsgBoxResult::Yes : answer < 17 ? MsgBoxResult::No : MsgBoxResult::Cancel;
  return s;
}

// Most sequences begin with a game prepared at once (a name, a controller, OK), often
// a cheat typed into the console then, perhaps the figures of a restored game, and
// Start; then random steps.
inline std::vector<Step> DrawSequence(const std::function<int(int)>& below, int length) {
  std::vector<Step> steps;
  const auto add = [&](Act act, std::int32_t a = 0, std::int32_t b = 0) { steps.push_back({act, When::Now, a, b}); };
  if (below(5) > 0) {
    add(Act::Focus, 1);
    add(Act::TypeName, below(static_cast<int>(kNames.size())));
    add(Act::Choose, 1 + below(2));
    add(Act::Key, vk::kEnter);
    if (below(10) < 4) {
      add(Act::Key, vk::kC, vk::kAlt);
      add(Act::Focus, 4);
      add(Act::TypeCheat, 0);
      add(Act::TypeCheat, 2 + below(5));  // one of the five cheats
      if (below(2) == 0) add(Act::Key, vk::kEscape);
      add(Act::Focus, 0);
    }
    if (below(2) == 0) add(Act::Rig, below(static_cast<int>(kRigScores.size())), below(static_cast<int>(kRigLifes.size())));
    add(Act::Key, vk::kF5);
  }
  for (int i = 0; i < length; ++i) steps.push_back(DrawStep(below));
  return steps;
}

inline std::vector<Step> DrawSequence(std::uint64_t seed, int length) {
  Rng rng(seed);
  return DrawSequence([&](int n) { return rng.Below(n); }, length);
}

// The whole program, loaded, on the scripted platform and an in-memory store; Run plays
// a step and returns the first rule it broke ("" when none).
class Session : private FormObserver {
 public:
  Session() {
    game.registryStore = store.get();
    BindGame(game);
    form.SetObserver(this);
    platform.onDoEvents = [this] { RunQueued(inWait_); };
    platform.onMsgBox = [this] { RunQueued(inBox_); };
    platform.onEnd = [this] { AtEnd(); };
    form.on.Load();
    GiveFirstFocus(game);
  }
  ~Session() override { form.SetObserver(nullptr); }
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  std::string Run(const Step& s) {
    const HighScoreTable tableBefore = game.s.HighScores;
    const std::string before = ended_ ? Fingerprint() : "";
    if (s.when == When::InWait) inWait_.push_back(s);
    else if (s.when == When::InBox) inBox_.push_back(s);
    else Do(s);
    if (!broken_.empty()) return broken_;
    if (!before.empty() && Fingerprint() != before) return "after-end: a handler acted after the program ended";
    if (!ended_) CheckRules(tableBefore);
    endsThisStep_.clear();
    return broken_;
  }
  bool Ended() const { return ended_; }

 private:
  struct EndingPlatform : FakePlatform {
    std::function<void()> onEnd;
    void EndProgram() override {
      FakePlatform::EndProgram();
      if (onEnd) onEnd();
    }
  };
  struct End {  // a game decided: lives gone or the ceiling reached
    std::int32_t score;
    std::string name;
    std::uint32_t epoch;
  };

  void Break(const std::string& rule) {
    if (broken_.empty()) broken_ = rule;
  }

  // A step that arrives in the middle of another keeps its own answers to itself.
  void RunQueued(std::deque<Step>& queue) {
    if (queue.empty()) return;
    const Step s = queue.front();
    queue.pop_front();
    const auto outer = platform.answers;
    Do(s);
    platform.answers = outer;
  }

  static std::u32string CodePoints(std::string_view utf8) {
    std::u32string cps;
    for (std::size_t pos = 0; pos < utf8.size();) cps += NextCodePoint(utf8, pos);
    return cps;
  }

  // The native box's part of typing: the characters it lets in, at most 15 in all.
  void TypeName(const std::string& text, bool append) {
    std::u32string name = append ? CodePoints(form.txtName.Text()) : std::u32string();
    for (const char32_t cp : CodePoints(text))
      if (!form.txtName.on.AcceptsChar || form.txtName.on.AcceptsChar(cp)) name += cp;
    name.resize(std::min<std::size_t>(name.size(), static_cast<std::size_t>(form.txtName.maxLength)));
    std::string out;
    for (const char32_t cp : name) AppendUtf8(out, cp);
    form.txtName.SetText(out);
  }

  void Aim() {
    if (game.s.GameRunning != kTrue) return;
    const double target = form.picPlanet.Left() + form.picPlanet.Width() / 2;
    if (game.s.ControlMode == kMouseControl) {
      form.MouseMoveAt(target, 5000);
      return;
    }
    for (int i = 0; i < 8; ++i) {
      const double centre = form.picBasket.Left() + form.picBasket.Width() / 2;
      if (std::abs(centre - target) < form.picBasket.Width() / 2) return;
      form.KeyDown(centre > target ? vk::kLeft : vk::kRight, 0);
    }
  }

  void Do(const Step& s) {
    // Once the program has ended only events still arrive; nothing is typed any more.
    const bool typing = s.act == Act::Choose || s.act == Act::TypeName || s.act == Act::TypeCheat || s.act == Act::Rig;
    if (ended_ && typing) return;
    platform.answers.assign(1, s.answer);
    switch (s.act) {
      case Act::Key: form.KeyDown(static_cast<std::int16_t>(s.a), static_cast<std::int16_t>(s.b)); break;
      case Act::Click: {
        Control* const buttons[] = {&form.lblNew, &form.lblStart, &form.lblPause, &form.lblOK, &form.lblCancel};
        const RectTwips r = buttons[s.a]->WindowBounds();
        form.ClickAt(r.left + r.width / 2, r.top + r.height / 2);
        break;
      }
      case Act::Pointer: form.MouseMoveAt(s.a, s.b); break;
      case Act::Aim: Aim(); break;
      case Act::Ticks:
        for (int i = 0; i < s.a; ++i) form.TimerTick();
        break;
      case Act::Focus: {
        Control* const targets[] = {nullptr, &form.txtName, &form.optMouse, &form.optKeyboard, &form.txtCheat};
        form.SetFocus(targets[s.a]);
        break;
      }
      case Act::Choose: {
        Control& option = s.a == 1 ? form.optKeyboard : form.optMouse;
        if (option.EffectivelyVisible() && option.EffectivelyEnabled()) option.SetValue(true);
        break;
      }
      case Act::TypeName:
        if (form.ActiveControl() == &form.txtName) TypeName(kNames[s.a], s.b != 0);
        break;
      case Act::TypeCheat:
        if (form.ActiveControl() == &form.txtCheat) {
          form.txtCheat.SetText(kCommands[s.a]);
          form.KeyDown(vk::kEnter, 0);
        }
        break;
      case Act::Close: form.QueryUnload(); break;
      case Act::Kill: EndWithoutAsking(game); break;
      case Act::Rig:
        if (form.lblStart.Enabled() && game.s.GameRunning == kFalse && game.s.NewGameOpen == kFalse) {
          form.lblScore.SetCaption(kRigScores[s.a]);
          form.lblLifes.SetCaption(kRigLifes[s.b]);
        }
        break;
      default: break;
    }
  }

  // --- the rules ------------------------------------------------------------------------

  void ControlChanged(const Control& c, const RectTwips&) override {
    if (&c == &form.lblLifes && c.Caption() != lastLifes_) {
      lastLifes_ = c.Caption();
      const auto lives = ParseWholeNumber<std::int32_t>(lastLifes_);
      if (!lives || *lives < 0) Break("lives: the lives caption shows " + Quoted(lastLifes_));
      if (lives && *lives == 0 && lastLifes_ != "00" && game.s.GameRunning == kTrue) NoteEnd();
    }
    if (&c == &form.lblScore && c.Caption() != lastScore_) {
      lastScore_ = c.Caption();
      if (lastScore_ == "99999" && game.s.GameRunning == kTrue) NoteEnd();
    }
  }

  void NoteEnd() {
    const End e{ScoreFromCaption(form), StorableName(form.txtName.Text()), game.epoch};
    endsThisStep_.push_back(e);
    ends_.push_back(e);
  }

  // A decided game's score is in the table, or ten better-or-equal entries kept it out
  // (or pushed it out later).
  static bool Holds(const HighScoreTable& t, const End& e) {
    int atLeast = 0;
    for (int i = 1; i <= HighScoreTable::kPlaces; ++i) {
      if (t(i).Score == e.score && t(i).Name == e.name) return true;
      atLeast += t(i).Score >= e.score;
    }
    return atLeast == HighScoreTable::kPlaces;
  }

  static std::multiset<std::pair<std::int32_t, std::string>> Entries(const HighScoreTable& t) {
    std::multiset<std::pair<std::int32_t, std::string>> entries;
    for (int i = 1; i <= HighScoreTable::kPlaces; ++i) entries.insert({t(i).Score, t(i).Name});
    return entries;
  }

  HighScoreTable StoredTable() {
    clsRegistryAccess reader(*store);
    const std::string none = "\x01";
    const std::string stored = reader.ReadString(std::string(kScoresPath), std::string(kScoresValue), none);
    return stored == none ? DefaultHighScores() : ParseTableText(UnscrambleText(stored));
  }

  void AtEnd() {
    if (ended_) return;
    ended_ = true;
    if (StoredTable() != game.s.HighScores) Break("store: the saved table loads back changed");
    for (const End& e : ends_)
      if (!Holds(StoredTable(), e)) Break("store: the saved table lacks " + std::to_string(e.score) + " of " + Quoted(e.name));
  }

  // Through the game's own save and load, on a store of its own.
  void CheckTableLoadsBack() {
    const auto probeStore = win::OpenRegistryStore(":memory:");
    const auto registry = std::make_shared<clsRegistryAccess>(*probeStore);
    registry->CreateKeyIfDoesntExists(kTrue);
    // Saving merges with what is stored; the probe's store holds exactly the game's table.
    registry->WriteString(std::string(kScoresPath), std::string(kScoresValue),
                          ScrambleText(BuildTableText(game.s.HighScores)));
    if (RegistryScoreStorage(registry).Load() != game.s.HighScores) Break("store: the table would load back changed");
  }

  // How many of the five flow states hold (naming, ready, running, paused, over), as
  // flags, timer, commands and panels show them: exactly one must.
  int StatesHolding() const {
    const ModGame& s = game.s;
    const bool running = s.GameRunning == kTrue, paused = s.Paused == kTrue, naming = s.NewGameOpen == kTrue;
    const bool timer = form.timCounter.Enabled(), panel = form.frameNewGame.Visible();
    const bool newOn = form.lblNew.Enabled(), startOn = form.lblStart.Enabled(), pauseOn = form.lblPause.Enabled();
    const bool pausedPanel = form.framePaused.Visible(), overPanel = form.frameGameOver.Visible();
    const bool held = (s.HelpShown == kTrue || s.ScoresShown == kTrue) && s.WasPaused == kFalse;
    const bool playing = running && !naming && !panel && newOn && !startOn && pauseOn && !overPanel;
    return (naming && !running && panel && !timer && !newOn && !startOn && !pauseOn) +
           (!naming && !running && !panel && !timer && newOn && startOn && pauseOn && !pausedPanel && !overPanel) +
           (playing && !pausedPanel && ((!paused && timer) || (paused && !timer && held))) +
           (playing && paused && !timer && pausedPanel && form.lblPause.Caption() == "Unpause (Space)") +
           (!naming && !running && !paused && !panel && !timer && newOn && !startOn && !pauseOn && !pausedPanel);
  }

  static std::string Trimmed(const std::string& s) {
    const auto first = s.find_first_not_of(' ');
    return first == std::string::npos ? "" : s.substr(first, s.find_last_not_of(' ') - first + 1);
  }

  void CheckRules(const HighScoreTable& tableBefore) {
    const ModGame& s = game.s;
    if (StatesHolding() != 1) Break("states: " + std::to_string(StatesHolding()) + " of the five states hold");
    if (s.GameRunning == kTrue) {
      const auto lives = LifesFromCaption(form);
      if (lives < 1 && !(form.lblLifes.Caption() == "00" && UnlimitedLifesActive(s)))
        Break("lives: a game runs with " + Quoted(form.lblLifes.Caption()) + " lives");
      if (Trimmed(form.txtName.Text()).empty()) Break("name: a game runs under the name " + Quoted(form.txtName.Text()));
    }
    if (s.HelpShown != ToFlag(form.frameHelp.Visible()) || s.ScoresShown != ToFlag(form.framScores.Visible()) ||
        s.NewGameOpen != ToFlag(form.frameNewGame.Visible()))
      Break("panels: a panel flag and its panel disagree");
    if (form.Frame1.Enabled() == (s.HelpShown == kTrue || s.ScoresShown == kTrue))
      Break("panels: the label-buttons take clicks under a panel, or none without one");
    for (const End& e : endsThisStep_) {
      if (s.GameRunning == kTrue && game.epoch == e.epoch) Break("lives: a decided game runs on");
      if (!Holds(s.HighScores, e)) Break("record: " + std::to_string(e.score) + " of " + Quoted(e.name) + " is not in the table");
    }
    // Entries come in only from decided games, one each.
    auto added = Entries(s.HighScores);
    for (const auto& entry : Entries(tableBefore)) {
      const auto it = added.find(entry);
      if (it != added.end()) added.erase(it);
    }
    if (added.size() > endsThisStep_.size()) Break("record: more entries than games decided");
    for (int i = 1; i <= HighScoreTable::kPlaces; ++i)
      if (Trimmed(s.HighScores(i).Name).empty()) Break("record: place " + std::to_string(i) + " has no name");
    if (!added.empty()) CheckTableLoadsBack();
  }

  // What a handler could change, for the rule that none acts after the program ended.
  std::string Fingerprint() {
    std::ostringstream out;
    for (const Control& c : form.Controls())
      out << c.Caption() << '|' << c.Visible() << c.Enabled() << c.Value() << '|' << c.Left() << ',' << c.Top()
          << '|' << c.ForeColor() << ';';
    out << form.Caption() << form.timCounter.Enabled() << platform.boxes.size() << platform.played.size()
        << platform.doEventsCalls << BuildTableText(StoredTable());
    return out.str();
  }

 public:
  Form1 form;
  EndingPlatform platform;
  Game game{form, platform};
  std::shared_ptr<win::RegistryApi> store = win::OpenRegistryStore(":memory:");

 private:
  std::deque<Step> inWait_, inBox_;
  std::vector<End> ends_, endsThisStep_;
  std::string lastLifes_, lastScore_, broken_;
  bool ended_ = false;
};

struct Failure {
  std::string rule;
  std::vector<Step> steps;  // up to and including the step that broke the rule
};

// Plays the steps in a new session; stops at the first broken rule, or a little after
// the program ended.
inline std::optional<Failure> Play(const std::vector<Step>& steps) {
  Session session;
  int afterEnd = 0;
  for (std::size_t i = 0; i < steps.size(); ++i) {
    const std::string broken = session.Run(steps[i]);
    if (!broken.empty()) return Failure{broken, {steps.begin(), steps.begin() + static_cast<long>(i) + 1}};
    if (session.Ended() && ++afterEnd > 3) break;
  }
  return std::nullopt;
}

// The rule's kind: the text before the colon.
inline std::string RuleKind(const std::string& rule) { return rule.substr(0, rule.find(':')); }

// Removes steps (halves, then quarters, ... then single steps) while the same kind of
// rule still breaks.
inline Failure Shrink(Failure f) {
  const std::string kind = RuleKind(f.rule);
  for (std::size_t chunk = std::max<std::size_t>(f.steps.size() / 2, 1);; chunk /= 2) {
    bool removed = true;
    while (removed) {
      removed = false;
      for (std::size_t at = 0; at < f.steps.size();) {
        std::vector<Step> shorter(f.steps.begin(), f.steps.begin() + static_cast<long>(at));
        shorter.insert(shorter.end(), f.steps.begin() + static_cast<long>(std::min(at + chunk, f.steps.size())),
                       f.steps.end());
        const auto again = Play(shorter);
        if (again && RuleKind(again->rule) == kind) {
          f = *again;
          removed = true;
        } else {
          at += chunk;
        }
      }
    }
    if (chunk == 1) return f;
  }
}

// where: what the steps were drawn from ("seed 42").
inline std::string Report(const std::string& where, const Failure& f) {
  std::ostringstream out;
  out << where << ": " << f.rule << "\nshortest sequence found (" << f.steps.size() << " steps):\n";
  for (const Step& s : f.steps) out << "  " << Describe(s) << "\n";
  return out.str();
}

}  // namespace zbx::test::play
