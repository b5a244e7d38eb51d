#pragma once
// Random but legal play of the whole program on the scripted platform (the acts below,
// also during a wait or while a question is shown). After every step the rules that must
// hold whatever the player does are checked. No GoogleTest here: the fuzz target uses it too.
#include <array>
#include <cmath>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "flow/bindings.h"
#include "flow/keys.h"
#include "flow/startup_exit.h"
#include "game/captions.h"
#include "registry/cls_registry_access.h"
#include "scores/registry_storage.h"
#include "scores/scramble.h"
#include "scores/table_text.h"
#include "support/fake_platform.h"
#include "window/form1.h"

namespace zbx::test::play {

// Key (a: key code, b: shift bits); Click (a: lblNew, lblStart, lblPause, lblOK or
// lblCancel); Aim (steer towards the falling object, by pointer or arrows); Ticks (a timer
// events); Focus (a: the play area, the name box, Mouse, Keyboard or the cheat box); Name
// (on the new-game panel: kNames[a] pasted into the name box, Keyboard chosen when b is 1,
// else Mouse); Cheat (kCommands[a] typed into the open console, then Enter, the focus back
// on the play area); Close (a close request of the window); Kill (SIGTERM, SIGINT or
// SIGHUP: save and end without asking); Rig (kRigScores[a], kRigLifes[b] shown in the
// ready state, as Cancel restores them).
enum class Act : std::uint8_t { Key, Click, Aim, Ticks, Focus, Name, Cheat, Close, Kill, Rig };
// Now, or at the next event pass of a wait, or while the next question is shown (only
// timer events and kills reach the program then).
enum class When : std::uint8_t { Now, InWait, InBox };

struct Step {
  Act act = Act::Ticks;
  When when = When::Now;
  std::int32_t a = 0, b = 0;
  MsgBoxResult answer = MsgBoxResult::No;  // to a question the step brings up
};

inline const std::vector<std::string> kNames = {"Ann", "  Bob  ", "\xC3\xA9t\xC3\xA9", "a.b|c",
                                                "<your name>", " ", "", "\v"};
// The master code, then the five cheats, then what is no command.
inline const std::vector<std::string> kCommands = {"grand old vortex  ", "UNLIMITEDLIFES", "SETSPEED 600",
                                                   "ONLYBOMBS", "ONLYLIFES", "SLOWMOTION", "SETSPEED x"};
inline const std::vector<std::string> kRigScores = {"0", "150", "99990", "99998"};
inline const std::vector<std::string> kRigLifes = {"1", "2", "25"};
inline const std::vector<std::int16_t> kKeys = {vk::kF1, vk::kF2,   vk::kF4, vk::kF5, vk::kSpace, vk::kEnter,
                                                vk::kEscape, vk::kLeft, vk::kRight, vk::kM, vk::kS, vk::kC, vk::kTab};

// One step drawn from a source of choices (a seeded generator, or a fuzzer's input).
inline Step DrawStep(const std::function<int(int)>& below) {
  Step s;
  const int when = below(100);
  s.when = when < 12 ? When::InWait : when < 15 ? When::InBox : When::Now;
  // Weights per thousand: during a question only the timer and a kill; during a wait what
  // a player or the system would send then; otherwise plenty of play and few ways out.
  const int w = below(1000);
  if (s.when == When::InBox) {
    s.act = w < 50 ? Act::Kill : Act::Ticks;
  } else if (s.when == When::InWait) {
    s.act = w < 650 ? Act::Key : w < 670 ? Act::Kill : w < 700 ? Act::Close : w < 820 ? Act::Cheat
          : w < 950 ? Act::Click : Act::Ticks;
  } else {
    s.act = w < 240 ? Act::Key : w < 310 ? Act::Click : w < 460 ? Act::Aim : w < 680 ? Act::Ticks
          : w < 730 ? Act::Focus : w < 810 ? Act::Name : w < 870 ? Act::Cheat : w < 875 ? Act::Close
          : w < 877 ? Act::Kill : Act::Rig;
  }
  const auto pick = [&](const auto& list) { return below(static_cast<int>(list.size())); };
  s.a = s.act == Act::Name ? pick(kNames) : s.act == Act::Cheat ? pick(kCommands) : s.act == Act::Rig ? pick(kRigScores)
      : s.act == Act::Ticks ? std::array{1, 3, 10, 40, 150, 600}[static_cast<std::size_t>(below(6))] : below(5);
  s.b = s.act == Act::Rig ? (below(2) == 0 ? 0 : pick(kRigLifes)) : below(2);  // often a last life
  if (s.act == Act::Key) {
    s.a = kKeys[static_cast<std::size_t>(pick(kKeys))];
    s.b = below(3) == 0 ? below(8) : (s.a == vk::kC ? vk::kAlt : 0);
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
    add(Act::Name, below(static_cast<int>(kNames.size())), below(2));
    add(Act::Key, vk::kEnter);
    if (below(10) < 4) {
      add(Act::Key, vk::kC, vk::kAlt);
      add(Act::Cheat, 0);
      add(Act::Cheat, 1 + below(5));
    }
    if (below(2) == 0) add(Act::Rig, below(static_cast<int>(kRigScores.size())), below(2) == 0 ? 0 : 2);
    add(Act::Key, vk::kF5);
  }
  for (int i = 0; i < length; ++i) steps.push_back(DrawStep(below));
  return steps;
}

inline std::vector<Step> DrawSequence(std::uint64_t seed, int length) {
  std::mt19937_64 rng(seed);  // the same sequence on every machine
  return DrawSequence([&](int n) { return static_cast<int>(rng() % static_cast<std::uint64_t>(n)); }, length);
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

  std::string Run(const Step& s) {
    const bool wasEnded = ended_;
    const std::string before = wasEnded ? Fingerprint() : "";
    if (s.when == When::InWait) inWait_.push_back(s);
    else if (s.when == When::InBox) inBox_.push_back(s);
    else Do(s);
    if (!broken_.empty()) return broken_;
    if (wasEnded && Fingerprint() != before) return "a handler acted after the program ended";
    if (!ended_) CheckRules();
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

  void Aim() {
    if (game.s.GameRunning != kTrue) return;
    const double target = form.picPlanet.Left() + form.picPlanet.Width() / 2;
    if (game.s.ControlMode == kMouseControl) return form.MouseMoveAt(target, 5000);
    const auto centre = [&] { return form.picBasket.Left() + form.picBasket.Width() / 2; };
    for (int i = 0; i < 8 && std::abs(centre() - target) >= form.picBasket.Width() / 2; ++i)
      form.KeyDown(centre() > target ? vk::kLeft : vk::kRight, 0);
  }

  void Do(const Step& s) {
    // Once the program has ended only events still arrive; nothing is typed any more.
    if (ended_ && (s.act == Act::Name || s.act == Act::Cheat || s.act == Act::Rig)) return;
    platform.answers.assign(1, s.answer);
    Control* const buttons[] = {&form.lblNew, &form.lblStart, &form.lblPause, &form.lblOK, &form.lblCancel};
    Control* const targets[] = {nullptr, &form.txtName, &form.optMouse, &form.optKeyboard, &form.txtCheat};
    Control& option = s.b == 1 ? form.optKeyboard : form.optMouse;
    switch (s.act) {
      case Act::Key: form.KeyDown(static_cast<std::int16_t>(s.a), static_cast<std::int16_t>(s.b)); break;
      case Act::Click: {
        const RectTwips r = buttons[s.a]->WindowBounds();
        form.ClickAt(r.left + r.width / 2, r.top + r.height / 2);
        break;
      }
      case Act::Aim: Aim(); break;
      case Act::Ticks:
        for (int i = 0; i < s.a; ++i) form.TimerTick();
        break;
      case Act::Focus: form.SetFocus(targets[s.a]); break;
      case Act::Name:
        if (!form.frameNewGame.Visible()) break;
        form.SetFocus(&form.txtName);
        form.txtName.SetText(kNames[s.a]);
        if (option.EffectivelyVisible() && option.EffectivelyEnabled()) option.SetValue(true);
        break;
      case Act::Cheat:
        if (!form.frameCheat.Visible()) break;
        form.SetFocus(&form.txtCheat);
        form.txtCheat.SetText(kCommands[s.a]);
        form.KeyDown(vk::kEnter, 0);
        form.SetFocus(nullptr);
        break;
      case Act::Close: form.QueryUnload(); break;
      case Act::Kill: EndWithoutAsking(game); break;
      case Act::Rig:
        if (form.lblStart.Enabled() && game.s.GameRunning == kFalse && game.s.NewGameOpen == kFalse) {
          form.lblScore.SetCaption(kRigScores[s.a]);
          form.lblLifes.SetCaption(kRigLifes[s.b]);
        }
        break;
    }
  }

  // --- the rules ------------------------------------------------------------------------

  void ControlChanged(const Control& c, const RectTwips&) override {
    const bool lost = &c == &form.lblLifes && c.Caption() == "0";
    if (game.s.GameRunning == kTrue && (lost || (&c == &form.lblScore && c.Caption() == "99999"))) {
      ends_.push_back({ScoreFromCaption(form), StorableName(form.txtName.Text()), game.epoch});
      endsThisStep_.push_back(ends_.back());
    }
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

  HighScoreTable StoredTable() {
    const std::string stored = clsRegistryAccess(*store).ReadString(std::string(kScoresPath),
                                                                   std::string(kScoresValue), "\x01");
    return stored == "\x01" ? DefaultHighScores() : ParseTableText(UnscrambleText(stored));
  }

  void AtEnd() {
    if (ended_) return;
    ended_ = true;
    if (StoredTable() != game.s.HighScores) Break("the saved table loads back changed");
    for (const End& e : ends_)
      if (!Holds(StoredTable(), e)) Break("the saved table lacks the score " + std::to_string(e.score));
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

  void CheckRules() {
    if (StatesHolding() != 1) Break(std::to_string(StatesHolding()) + " of the five flow states hold");
    if (game.s.GameRunning == kTrue) {
      if (LifesFromCaption(form) < 1 && !(form.lblLifes.Caption() == "00" && UnlimitedLifesActive(game.s)))
        Break("a game runs with the lives " + form.lblLifes.Caption());
      if (form.txtName.Text().find_first_not_of(' ') == std::string::npos) Break("a game runs under a blank name");
    }
    for (const End& e : endsThisStep_) {
      if (game.s.GameRunning == kTrue && game.epoch == e.epoch) Break("a decided game runs on");
      if (!Holds(game.s.HighScores, e)) Break("the table lacks the score " + std::to_string(e.score));
    }
  }

  // What a handler could change, for the rule that none acts after the program ended.
  std::string Fingerprint() {
    std::ostringstream out;
    for (const Control& c : form.Controls())
      out << c.Caption() << '|' << c.Visible() << c.Enabled() << c.Value() << c.Left() << ',' << c.Top() << ';';
    out << form.timCounter.Enabled() << platform.boxes.size() << platform.playedIds.size() << platform.doEventsCalls
        << BuildTableText(StoredTable());
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
  std::string broken_;
  bool ended_ = false;
};

// Plays the steps in a new session; gives the first broken rule with the index of its
// step, or "" (it stops a little after the program ended).
inline std::string Play(const std::vector<Step>& steps) {
  Session session;
  int afterEnd = 0;
  for (std::size_t i = 0; i < steps.size(); ++i) {
    const std::string broken = session.Run(steps[i]);
    if (!broken.empty()) return "step " + std::to_string(i) + ": " + broken;
    if (session.Ended() && ++afterEnd > 3) break;
  }
  return "";
}

}  // namespace zbx::test::play
