#pragma once
// Form1, the game's one window, as a plain C++ model: every control with its
// design-time layout (written once, as data, in form1_layout.cpp), the stacking
// order, hit testing, the image list, the game timer, the title and the pointer.
// Nothing here knows Qt; window/qt/ paints this model and feeds events into it.
#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "window/control.h"

namespace zbx {

// Told about every change, so that a view can repaint exactly what changed.
class FormObserver {
 public:
  virtual ~FormObserver() = default;
  // A property of c changed; oldBounds is where it was drawn before (window twips).
  virtual void ControlChanged(const Control& c, const RectTwips& oldBounds) = 0;
  virtual void TitleChanged() {}
  virtual void PointerChanged() {}
  virtual void TimerChanged() {}
  // c == nullptr: the focus goes to the window itself (the play area).
  virtual void FocusRequested(Control* c) { (void)c; }
  // Repaint c now (a text box's Refresh).
  virtual void RefreshRequested(const Control& c) { (void)c; }
};

// The image list imlPlanets: 16 pictures of 32 x 32 pixels, each with a tag.
class ImageList {
 public:
  static constexpr int kCount = 16;
  // n = 1..16; anything else throws std::out_of_range.
  Picture ListImage(int n) const;
  const std::string& Tag(int n) const;

 private:
  static const std::array<std::string, kCount> kTags;
};

// The game timer: one event per interval while enabled, on the window's thread.
class Timer {
 public:
  explicit Timer(Form1& owner) : owner_(owner) {}
  int Interval() const { return interval_; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool e);
  std::function<void()> Tick;  // the handler (timCounter_Timer)

 private:
  Form1& owner_;
  int interval_ = 10;
  bool enabled_ = false;
};

struct FormEvents {
  std::function<void()> Load;
  std::function<void(std::int16_t& cancel, std::int16_t reason)> QueryUnload;
  std::function<void(std::int16_t& keyCode, std::int16_t& shift)> KeyDown;
  std::function<void(std::int16_t button, std::int16_t shift, float x, float y)> MouseMove;
};

namespace detail {
// Holds the controls built from the layout table. A private base of Form1, so that the
// storage exists before Form1's named references are bound to its elements.
class FormControls {
 protected:
  FormControls();  // form1_layout.cpp
  // The control with this name and index; throws std::out_of_range when there is none.
  Control& Named(const std::string& name, int index = -1);
  // The window's direct children by name, front first.
  static std::vector<std::string> WindowStacking();  // form1_layout.cpp

  std::deque<Control> controls_;  // stable addresses
};
}  // namespace detail

class Form1 : private detail::FormControls {
 public:
  Form1();
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  static constexpr double kScaleWidth = 6255;
  static constexpr double kScaleHeight = 7905;
  static constexpr double kTwipsPerPixel = 15;
  // Where the basket stands when a game begins or ends: centred at the bottom. Its width
  // is also the basket picture's (tools/gen-art draws it to this rectangle).
  static constexpr RectTwips kBasketHome{(kScaleWidth - 975) / 2, 7150, 975, 750};
  double ScaleWidth() const { return kScaleWidth; }
  double ScaleHeight() const { return kScaleHeight; }

  // Window title: the game's name, with the player's name once a game is named.
  static constexpr std::string_view kTitle = "Zorbanix!";
  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string s);
  // The pointer shown over the window (the picture of picCursor or picInvisible).
  Picture MouseIcon() const { return mouseIcon_; }
  void SetMouseIcon(Picture p);

  FormEvents on;

  // --- controls, by name --------------------------------------------------------
  // Containers directly on the window.
  Control& Frame1;
  Control& picPlanet;
  Control& picBasket;
  Control& picCursor;
  Control& picInvisible;
  Control& Picture1;
  Control& Picture2;
  Control& Picture3;
  Control& Picture4;
  Control& picSound;
  Control& frameNewGame;
  Control& frameHelp;
  Control& framScores;
  Control& framePaused;
  Control& frameGameOver;
  Control& frameCheat;
  // Top bar.
  Control& lblLifes;
  Control& lblHS;
  Control& lblScore;
  Control& lblNew;
  Control& lblStart;
  Control& lblPause;
  // Status line.
  Control& lblSound;
  Control& lblSpeed;
  // New-game panel.
  Control& txtName;
  Control& optMouse;
  Control& optKeyboard;
  Control& lblOK;
  Control& lblCancel;
  // Cheat console.
  Control& txtCheat;

  // Control arrays: only the listed indexes exist; any other throws std::out_of_range.
  Control& Label1(int i);       // 0..2
  Control& Label2(int i);       // 0, 1, 3, 13, 14
  Control& lbl(int i);          // 0
  Control& lblHSPlace(int i);   // 1..10
  Control& lblHSName(int i);    // 1..10
  Control& lblHSScore(int i);   // 1..10

  ImageList imlPlanets;
  Timer timCounter;

  // --- structure ------------------------------------------------------------------
  // Every control, in the order of the layout table.
  const std::deque<Control>& Controls() const { return controls_; }
  std::deque<Control>& Controls() { return controls_; }
  Control* Find(const std::string& name, int index = -1);
  // Children of a container (nullptr: the window), front first.
  std::vector<Control*> StackingOrder(const Control* container) const;

  // The control that receives pointer movement or a click at (x, y), window twips:
  // the topmost visible control there whose own and whose containers' enabled state
  // lets it take mouse input; disabled ones pass it to the nearest enabled container.
  // nullptr means the window itself. picCursor and picInvisible are never hit.
  Control* HitTest(double x, double y) const;

  // --- events in (from the view or a test) -----------------------------------------
  // Pointer movement at window twips: runs the MouseMove handler of the control hit
  // (with coordinates relative to it), or Form_MouseMove.
  void MouseMoveAt(double x, double y, std::int16_t button = 0, std::int16_t shift = 0);
  // A click at window twips: runs the Click handler of the control hit, if any.
  void ClickAt(double x, double y);
  // A key press: to the focused control's KeyDown handler, or Form_KeyDown when the
  // window itself has the focus.
  void KeyDown(std::int16_t keyCode, std::int16_t shift);
  // A typed character for the focused control; returns the character after the
  // handler (0 = discarded).
  std::int16_t KeyPress(std::int16_t keyAscii);
  // One timer interval elapsed.
  void TimerTick();
  // A close request: runs Form_QueryUnload; true when the close may go ahead.
  bool QueryUnload(std::int16_t reason = 0);

  // --- focus -------------------------------------------------------------------------
  // The control with the keyboard focus, nullptr for the window itself.
  Control* ActiveControl() const { return active_; }
  // Moves the focus (runs GotFocus of the control that gains it).
  void SetFocus(Control* c);
  // The view reports where the focus really went, without asking the observer back.
  void FocusChangedByView(Control* c);

  void SetObserver(FormObserver* o) { observer_ = o; }
  FormObserver* Observer() const { return observer_; }

 private:
  friend class Control;
  friend class Timer;
  void BuildStacking();
  Control* HitIn(const Control* container, double x, double y) const;

  // Children of each container (nullptr: the window), front first.
  std::unordered_map<const Control*, std::vector<Control*>> stacking_;
  std::string caption_{kTitle};
  Picture mouseIcon_ = Picture::None;
  Control* active_ = nullptr;
  FormObserver* observer_ = nullptr;
};

}  // namespace zbx
