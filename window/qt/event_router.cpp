#include "window/qt/event_router.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QWidget>
#include <optional>

#include "platform/codepage.h"
#include "window/qt/char_filter.h"
#include "window/qt/geometry.h"
#include "window/qt/key_map.h"

namespace zbx::qt {

struct EventRouter::Binding {
  QEvent::Type type;
  Route route;
};

// The binding table: which Qt event reaches the model through which route.
const EventRouter::Binding* EventRouter::Find(int eventType) {
  static const Binding kBindings[] = {
      {QEvent::MouseMove, &EventRouter::PointerMoved},
      {QEvent::MouseButtonPress, &EventRouter::ButtonPressed},
      {QEvent::MouseButtonDblClick, &EventRouter::ButtonPressed},
      {QEvent::MouseButtonRelease, &EventRouter::ButtonReleased},
      {QEvent::KeyPress, &EventRouter::KeyPressed},
      {QEvent::FocusIn, &EventRouter::FocusEntered},
      {QEvent::Close, &EventRouter::CloseRequested},
  };
  for (const Binding& b : kBindings) {
    if (b.type == eventType) return &b;
  }
  return nullptr;
}

EventRouter::EventRouter(Form1& form, QWidget& surface, std::function<Control*(const QObject*)> controlFor)
    : QObject(&surface), form_(form), surface_(surface), controlFor_(std::move(controlFor)) {}

void EventRouter::Watch(QWidget& w) { w.installEventFilter(this); }

bool EventRouter::eventFilter(QObject* watched, QEvent* event) {
  const Binding* binding = Find(event->type());
  auto* widget = qobject_cast<QWidget*>(watched);
  if (binding == nullptr || widget == nullptr) return false;
  const Source from{*widget, widget == &surface_ ? nullptr : controlFor_(watched)};
  if (widget != &surface_ && from.control == nullptr) return false;
  return (this->*binding->route)(from, *event);
}

QPointF EventRouter::InTwips(const Source& from, QPointF pos) const {
  const QPointF onSurface = from.control == nullptr ? pos : from.widget.mapTo(&surface_, pos);
  return {ToTwips(onSurface.x()), ToTwips(onSurface.y())};
}

bool EventRouter::PointerMoved(const Source& from, QEvent& e) {
  const auto& move = static_cast<QMouseEvent&>(e);
  const QPointF at = InTwips(from, move.position());
  form_.MouseMoveAt(at.x(), at.y(), ButtonBits(move.buttons()), ShiftBits(move.modifiers()));
  return false;  // text boxes still select with the pointer
}

// A click is a left press and release on the same control, as on the desktop.
bool EventRouter::ButtonPressed(const Source& from, QEvent& e) {
  const auto& press = static_cast<QMouseEvent&>(e);
  if (press.button() != Qt::LeftButton) return false;
  const QPointF at = InTwips(from, press.position());
  pressedOn_ = form_.HitTest(at.x(), at.y());
  pressed_ = true;
  return false;
}

bool EventRouter::ButtonReleased(const Source& from, QEvent& e) {
  const auto& release = static_cast<QMouseEvent&>(e);
  if (release.button() != Qt::LeftButton || !pressed_) return false;
  pressed_ = false;
  const QPointF at = InTwips(from, release.position());
  if (form_.HitTest(at.x(), at.y()) == pressedOn_) form_.ClickAt(at.x(), at.y());
  return false;
}

// Key down first; then, for a text box, the typed character, which its handler may
// discard (0) or replace before the box sees it.
bool EventRouter::KeyPressed(const Source& from, QEvent& e) {
  auto& key = static_cast<QKeyEvent&>(e);
  if (key.key() == Qt::Key_Tab || key.key() == Qt::Key_Backtab) return false;  // focus keys
  // The widget a key arrives at has the focus, whether or not its focus event came first.
  if (form_.ActiveControl() != from.control) form_.FocusChangedByView(from.control);
  if (const std::int16_t vk = VirtualKey(key.key(), key.modifiers())) {
    form_.KeyDown(vk, ShiftBits(key.modifiers()));
  }
  const bool textBox = from.control != nullptr && from.control->kind == ControlKind::TextBox;
  const QString typed = key.text();
  if (textBox && !typed.isEmpty() && !AcceptsAll(*from.control, typed)) return true;  // discarded
  if (!textBox || typed.size() != 1) return from.control == nullptr;
  const std::optional<std::uint8_t> code = AnsiCode(typed[0].unicode());
  if (!code || *code == 0) return false;
  const std::int16_t after = form_.KeyPress(*code);
  if (after == *code) return false;
  if (after != 0) {
    const QChar replacement(FromAnsiCode(static_cast<std::uint8_t>(after)));
    if (auto* edit = qobject_cast<QLineEdit*>(&from.widget)) edit->insert(QString(replacement));
  }
  return true;
}

bool EventRouter::FocusEntered(const Source& from, QEvent&) {
  form_.FocusChangedByView(from.control);
  return false;
}

bool EventRouter::CloseRequested(const Source& from, QEvent& e) {
  if (from.control != nullptr) return false;
  if (form_.QueryUnload(0)) {
    e.accept();
    return false;
  }
  e.ignore();
  return true;
}

void EventRouter::TimerFired() { form_.TimerTick(); }

}  // namespace zbx::qt
