#include "window/control.h"

#include <algorithm>

#include "window/form1.h"

namespace zbx {

namespace {

constexpr double kTwipsPerPixel = 15;

// The size a picture gives an autoSize picture box, in twips; {0, 0} for none.
struct PictureSize {
  double width = 0, height = 0;
};
PictureSize SizeOf(Picture p) {
  switch (p) {
    case Picture::None:
      return {};
    case Picture::Basket:
      return {65 * kTwipsPerPixel, 30 * kTwipsPerPixel};
    default:  // the planet images, both pointers and the icon are 32 x 32 pixels
      return {32 * kTwipsPerPixel, 32 * kTwipsPerPixel};
  }
}

// Characters (not bytes) of UTF-8 text: every byte that does not continue a sequence.
int CountChars(const std::string& s) {
  return static_cast<int>(
      std::count_if(s.begin(), s.end(), [](char ch) { return (static_cast<unsigned char>(ch) & 0xC0) != 0x80; }));
}

}  // namespace

void Control::SetCaption(std::string s) {
  if (s == caption_) return;
  caption_ = std::move(s);
  // A shorter text cannot keep a selection past its end.
  const int chars = CountChars(caption_);
  selStart_ = std::min(selStart_, chars);
  selLength_ = std::min(selLength_, chars - selStart_);
  Changed();
}

void Control::SetForeColor(Rgb c) {
  if (c == fore_) return;
  fore_ = c;
  Changed();
}

void Control::SetBackColor(Rgb c) {
  if (c == back_) return;
  back_ = c;
  Changed();
}

void Control::SetVisible(bool v) {
  if (v == visible_) return;
  visible_ = v;
  Changed();
  if (!v) ReleaseFocusIfInside();
}

void Control::SetEnabled(bool e) {
  if (e == enabled_) return;
  enabled_ = e;
  Changed();
  if (!e) ReleaseFocusIfInside();
}

void Control::ReleaseFocusIfInside() {
  if (owner_ == nullptr) return;
  for (const Control* c = owner_->ActiveControl(); c != nullptr; c = c->container) {
    if (c == this) {
      owner_->SetFocus(nullptr);
      return;
    }
  }
}

void Control::SetLeft(double v) { Move(v, top_); }
void Control::SetTop(double v) { Move(left_, v); }

void Control::Move(double left, double top) {
  if (left == left_ && top == top_) return;
  const RectTwips old = WindowBounds();
  left_ = left;
  top_ = top;
  Changed(old);
}

RectTwips Control::WindowBounds() const {
  RectTwips r = Bounds();
  for (const Control* c = container; c != nullptr; c = c->container) {
    r.left += c->left_;
    r.top += c->top_;
  }
  return r;
}

void Control::SetPicture(Picture p) {
  const PictureSize size = SizeOf(p);
  const bool resize = autoSize && p != Picture::None && (size.width != width_ || size.height != height_);
  if (p == picture_ && !resize) return;
  const RectTwips old = WindowBounds();
  picture_ = p;
  if (resize) {
    width_ = size.width;
    height_ = size.height;
  }
  Changed(old);
}

void Control::SetSelection(int start, int length) {
  const int chars = CountChars(caption_);
  start = std::clamp(start, 0, chars);
  length = std::clamp(length, 0, chars - start);
  if (start == selStart_ && length == selLength_) return;
  selStart_ = start;
  selLength_ = length;
  Changed();
}

void Control::Refresh() {
  if (owner_ != nullptr && owner_->Observer() != nullptr) owner_->Observer()->RefreshRequested(*this);
}

void Control::SetFocus() {
  if (owner_ != nullptr) owner_->SetFocus(this);
}

void Control::SetValue(bool v) {
  if (v && kind == ControlKind::OptionButton && owner_ != nullptr) {
    for (Control& other : owner_->Controls()) {
      if (&other != this && other.kind == ControlKind::OptionButton && other.container == container) {
        other.SetValue(false);
      }
    }
  }
  if (v == value_) return;
  value_ = v;
  Changed();
}

bool Control::EffectivelyVisible() const {
  for (const Control* c = this; c != nullptr; c = c->container) {
    if (!c->visible_) return false;
  }
  return true;
}

bool Control::EffectivelyEnabled() const {
  for (const Control* c = this; c != nullptr; c = c->container) {
    if (!c->enabled_) return false;
  }
  return true;
}

void Control::Init(std::string caption, double left, double top, double width, double height, Rgb fore,
                   Rgb back, bool visible, bool enabled) {
  caption_ = std::move(caption);
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  fore_ = fore;
  back_ = back;
  visible_ = visible;
  enabled_ = enabled;
}

void Control::Changed(const RectTwips& oldWindowBounds) {
  if (owner_ != nullptr && owner_->Observer() != nullptr) owner_->Observer()->ControlChanged(*this, oldWindowBounds);
}

}  // namespace zbx
