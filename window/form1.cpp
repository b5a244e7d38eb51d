#include "window/form1.h"

#include <algorithm>
#include <stdexcept>

namespace zbx {

namespace {

// Windowed controls lie in front of the labels of their container, whatever the
// order in which they were laid out.
bool IsWindowed(const Control& c) { return c.kind != ControlKind::Label && c.kind != ControlKind::LabelButton; }

bool CanTakeFocus(const Control& c) {
  const bool focusable = c.kind == ControlKind::TextBox || c.kind == ControlKind::OptionButton ||
                         c.kind == ControlKind::PictureBox;
  return focusable && c.EffectivelyVisible() && c.EffectivelyEnabled();
}

}  // namespace

// --- image list and timer ---------------------------------------------------------------

const std::array<std::string, ImageList::kCount> ImageList::kTags = {
    "1", "1", "2", "3", "3", "4", "4", "4", "4", "4", "4", "4", "5", "5", "BOOM", "EXTRA",
};

Picture ImageList::ListImage(int n) const {
  (void)Tag(n);  // range check
  return PlanetImage(n);
}

const std::string& ImageList::Tag(int n) const {
  if (n < 1 || n > kCount) throw std::out_of_range("imlPlanets has no image " + std::to_string(n));
  return kTags[static_cast<std::size_t>(n - 1)];
}

void Timer::SetEnabled(bool e) {
  if (e == enabled_) return;
  enabled_ = e;
  if (owner_.Observer() != nullptr) owner_.Observer()->TimerChanged();
}

// --- construction -------------------------------------------------------------------------

Form1::Form1()
    : Frame1(Named("Frame1")),
      picPlanet(Named("picPlanet")),
      picBasket(Named("picBasket")),
      picCursor(Named("picCursor")),
      picInvisible(Named("picInvisible")),
      Picture1(Named("Picture1")),
      Picture2(Named("Picture2")),
      Picture3(Named("Picture3")),
      Picture4(Named("Picture4")),
      picSound(Named("picSound")),
      frameNewGame(Named("frameNewGame")),
      frameHelp(Named("frameHelp")),
      framScores(Named("framScores")),
      framePaused(Named("framePaused")),
      frameGameOver(Named("frameGameOver")),
      frameCheat(Named("frameCheat")),
      lblLifes(Named("lblLifes")),
      lblHS(Named("lblHS")),
      lblScore(Named("lblScore")),
      lblNew(Named("lblNew")),
      lblStart(Named("lblStart")),
      lblPause(Named("lblPause")),
      lblSound(Named("lblSound")),
      lblSpeed(Named("lblSpeed")),
      txtName(Named("txtName")),
      optMouse(Named("optMouse")),
      optKeyboard(Named("optKeyboard")),
      lblOK(Named("lblOK")),
      lblCancel(Named("lblCancel")),
      txtCheat(Named("txtCheat")),
      timCounter(*this) {
  for (Control& c : controls_) c.owner_ = this;
  BuildStacking();
}

void Form1::BuildStacking() {
  std::vector<Control*>& window = stacking_[nullptr];
  for (const std::string& name : WindowStacking()) window.push_back(&Named(name));
  // Inside containers: windowed controls first, then labels; later rows in front.
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    if (it->container != nullptr && IsWindowed(*it)) stacking_[it->container].push_back(&*it);
  }
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    if (it->container != nullptr && !IsWindowed(*it)) stacking_[it->container].push_back(&*it);
  }
}

Control& Form1::Label1(int i) { return Named("Label1", i); }
Control& Form1::Label2(int i) { return Named("Label2", i); }
Control& Form1::lbl(int i) { return Named("lbl", i); }
Control& Form1::lblHSPlace(int i) { return Named("lblHSPlace", i); }
Control& Form1::lblHSName(int i) { return Named("lblHSName", i); }
Control& Form1::lblHSScore(int i) { return Named("lblHSScore", i); }

Control* Form1::Find(const std::string& name, int index) {
  auto it = std::find_if(controls_.begin(), controls_.end(),
                         [&](const Control& c) { return c.name == name && c.index == index; });
  return it == controls_.end() ? nullptr : &*it;
}

std::vector<Control*> Form1::StackingOrder(const Control* container) const {
  auto it = stacking_.find(container);
  return it == stacking_.end() ? std::vector<Control*>{} : it->second;
}

// --- window properties ----------------------------------------------------------------------

void Form1::SetCaption(std::string s) {
  if (s == caption_) return;
  caption_ = std::move(s);
  if (observer_ != nullptr) observer_->TitleChanged();
}

void Form1::SetMouseIcon(Picture p) {
  if (p == mouseIcon_) return;
  mouseIcon_ = p;
  if (observer_ != nullptr) observer_->PointerChanged();
}

// --- hit testing ----------------------------------------------------------------------------

// The topmost visible control at (x, y), relative to container's client area, descending
// into containers; a point inside a container that hits none of its children is the
// container's own. Enabled state is not considered here.
Control* Form1::HitIn(const Control* container, double x, double y) const {
  auto it = stacking_.find(container);
  if (it == stacking_.end()) return nullptr;
  for (Control* c : it->second) {
    if (c == &picCursor || c == &picInvisible) continue;  // they only carry pictures
    if (!c->Visible() || !c->Bounds().Contains(x, y)) continue;
    Control* inner = HitIn(c, x - c->Left(), y - c->Top());
    return inner != nullptr ? inner : c;
  }
  return nullptr;
}

Control* Form1::HitTest(double x, double y) const {
  Control* hit = HitIn(nullptr, x, y);
  std::vector<Control*> chain;  // from the window down to the hit control
  for (Control* c = hit; c != nullptr; c = c->container) chain.insert(chain.begin(), c);
  // A disabled control takes no mouse input, nor does anything inside it.
  for (Control* c : chain) {
    if (!c->Enabled()) return c->container;
  }
  return hit;
}

// --- events in ------------------------------------------------------------------------------

void Form1::MouseMoveAt(double x, double y, std::int16_t button, std::int16_t shift) {
  if (Control* c = HitTest(x, y)) {
    // A control without a handler still takes the movement.
    if (c->on.MouseMove) {
      const RectTwips b = c->WindowBounds();
      c->on.MouseMove(button, shift, static_cast<float>(x - b.left), static_cast<float>(y - b.top));
    }
    return;
  }
  if (on.MouseMove) on.MouseMove(button, shift, static_cast<float>(x), static_cast<float>(y));
}

void Form1::ClickAt(double x, double y) {
  Control* c = HitTest(x, y);
  if (c != nullptr && c->on.Click) c->on.Click();
}

void Form1::KeyDown(std::int16_t keyCode, std::int16_t shift) {
  if (active_ != nullptr) {
    if (active_->on.KeyDown) active_->on.KeyDown(keyCode, shift);
    return;
  }
  if (on.KeyDown) on.KeyDown(keyCode, shift);
}

std::int16_t Form1::KeyPress(std::int16_t keyAscii) {
  if (active_ != nullptr && active_->on.KeyPress) active_->on.KeyPress(keyAscii);
  return keyAscii;
}

void Form1::TimerTick() {
  if (timCounter.Enabled() && timCounter.Tick) timCounter.Tick();
}

bool Form1::QueryUnload(std::int16_t reason) {
  std::int16_t cancel = 0;
  if (on.QueryUnload) on.QueryUnload(cancel, reason);
  return cancel == 0;
}

// --- focus ----------------------------------------------------------------------------------

void Form1::SetFocus(Control* c) {
  // Labels, frames and hidden or disabled controls cannot hold the focus.
  if (c != nullptr && !CanTakeFocus(*c)) return;
  const bool changed = c != active_;
  active_ = c;
  if (observer_ != nullptr) observer_->FocusRequested(c);
  if (changed && c != nullptr && c->on.GotFocus) c->on.GotFocus();
}

void Form1::FocusChangedByView(Control* c) {
  if (c == active_) return;
  active_ = c;
  if (c != nullptr && c->on.GotFocus) c->on.GotFocus();
}

}  // namespace zbx
