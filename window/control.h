#pragma once
// One control of the game's window: a plain record of the properties the logic reads
// and writes, with setters that tell the window's observer what changed so that a view
// can repaint just that. Positions and sizes are twips of the container's client area.
#include <cstdint>
#include <functional>
#include <string>

#include "window/palette.h"

namespace zbx {

class Form1;

enum class ControlKind { Label, LabelButton, TextBox, OptionButton, Frame, PictureBox };
enum class Align { Left, Centre, Right };

// Pictures a control can show: 1..16 are the images of imlPlanets, the rest the
// window's own artwork. The view maps each to its embedded bitmap.
enum class Picture : std::int16_t {
  None = 0,
  // 1..16: imlPlanets images, see PlanetImage()
  Basket = 101,
  Cursor = 102,
  Invisible = 103,
  Icon = 104,
};
constexpr Picture PlanetImage(int n) { return static_cast<Picture>(n); }
constexpr bool IsPlanetImage(Picture p) {
  return static_cast<int>(p) >= 1 && static_cast<int>(p) <= 16;
}

struct RectTwips {
  double left = 0, top = 0, width = 0, height = 0;
  bool Contains(double x, double y) const {
    return x >= left && y >= top && x < left + width && y < top + height;
  }
};

// Event handlers a control can carry. Empty means the control has no such handler.
struct ControlEvents {
  std::function<void()> Click;
  std::function<void(std::int16_t button, std::int16_t shift, float x, float y)> MouseMove;
  std::function<void(std::int16_t& keyCode, std::int16_t& shift)> KeyDown;
  std::function<void(std::int16_t& keyAscii)> KeyPress;  // set to 0 to discard the character
  std::function<void()> GotFocus;
  // Text boxes: whether a character may enter the box, typed or pasted. Empty: all may.
  std::function<bool(char32_t)> AcceptsChar;
};

class Control {
 public:
  // Design-time description (filled from the layout table, then fixed).
  std::string name;
  int index = -1;  // element of a control array, or -1
  ControlKind kind = ControlKind::Label;
  Control* container = nullptr;  // nullptr: the window itself
  double fontPt = 9;
  bool transparent = false;  // labels: background shows through
  Align align = Align::Left;
  bool autoSize = false;  // picture boxes size to their picture; labels' width follows text
  bool wordWrap = false;
  bool border = false;  // frames: draw a border (and their caption, if any)
  int maxLength = 0;    // text boxes: 0 = unlimited (in characters)

  ControlEvents on;

  // --- run-time properties -------------------------------------------------------
  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string s);
  // Text boxes: the same property under its own name.
  const std::string& Text() const { return caption_; }
  void SetText(std::string s) { SetCaption(std::move(s)); }

  Rgb ForeColor() const { return fore_; }
  void SetForeColor(Rgb c);
  Rgb BackColor() const { return back_; }
  void SetBackColor(Rgb c);

  bool Visible() const { return visible_; }
  void SetVisible(bool v);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool e);

  double Left() const { return left_; }
  double Top() const { return top_; }
  double Width() const { return width_; }
  double Height() const { return height_; }
  void SetLeft(double v);
  void SetTop(double v);
  void Move(double left, double top);
  RectTwips Bounds() const { return {left_, top_, width_, height_}; }
  // The rectangle in the window's client coordinates.
  RectTwips WindowBounds() const;

  // Picture boxes: an autoSize box takes the picture's size (32 x 32 px = 480 twips).
  Picture GetPicture() const { return picture_; }
  void SetPicture(Picture p);
  const std::string& Tag() const { return tag_; }
  void SetTag(std::string t) { tag_ = std::move(t); }

  // Text boxes: selection in characters.
  int SelStart() const { return selStart_; }
  int SelLength() const { return selLength_; }
  void SetSelection(int start, int length);
  void Refresh();   // asks the view to repaint the control now
  void SetFocus();  // moves the keyboard focus to this control

  // Option buttons: selecting one clears the others in the same container.
  bool Value() const { return value_; }
  void SetValue(bool v);

  // Whether the control and every container above it are visible / enabled.
  bool EffectivelyVisible() const;
  bool EffectivelyEnabled() const;

  // Design-time initialisation, no notification.
  void Init(std::string caption, double left, double top, double width, double height, Rgb fore,
            Rgb back, bool visible = true, bool enabled = true);
  void InitValue(bool v) { value_ = v; }
  void InitPicture(Picture p) { picture_ = p; }

 private:
  friend class Form1;
  void Changed(const RectTwips& oldWindowBounds);
  void Changed() { Changed(WindowBounds()); }
  // A control that can no longer be seen or used gives the keyboard back to the window.
  void ReleaseFocusIfInside();

  Form1* owner_ = nullptr;
  std::string caption_;
  Rgb fore_ = palette::kWhite, back_ = palette::kBlack;
  bool visible_ = true, enabled_ = true;
  double left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  Picture picture_ = Picture::None;
  std::string tag_;
  int selStart_ = 0, selLength_ = 0;
  bool value_ = false;
};

}  // namespace zbx
