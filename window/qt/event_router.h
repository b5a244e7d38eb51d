#pragma once
// Qt events in, the model's entry points out. Every event of the window passes through
// the one table in event_router.cpp: pointer movement (Form1::MouseMoveAt), clicks
// (ClickAt), key presses (KeyDown, and KeyPress for a text box), focus changes
// (FocusChangedByView), the close request (QueryUnload) and the timer (TimerTick).
// The model decides which handler runs, so later work only adds handlers to the model.
#include <QObject>
#include <functional>

#include "window/form1.h"

class QEvent;
class QWidget;

namespace zbx::qt {

class EventRouter : public QObject {
 public:
  // surface: the window; controlFor: the control a native child widget stands for.
  EventRouter(Form1& form, QWidget& surface, std::function<Control*(const QObject*)> controlFor);

  // Watches a widget (the window itself, or one of its native controls).
  void Watch(QWidget& w);
  // One interval of timCounter elapsed. The game's timer handler itself drops an event
  // that arrives while a tick waits (timCounter_Timer).
  void TimerFired();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Source {
    QWidget& widget;
    Control* control;  // nullptr: the window's own surface
  };
  using Route = bool (EventRouter::*)(const Source&, QEvent&);
  struct Binding;
  static const Binding* Find(int eventType);

  bool PointerMoved(const Source& from, QEvent& e);
  bool ButtonPressed(const Source& from, QEvent& e);
  bool ButtonReleased(const Source& from, QEvent& e);
  bool KeyPressed(const Source& from, QEvent& e);
  bool FocusEntered(const Source& from, QEvent& e);
  bool CloseRequested(const Source& from, QEvent& e);

  QPointF InTwips(const Source& from, QPointF pos) const;

  Form1& form_;
  QWidget& surface_;
  std::function<Control*(const QObject*)> controlFor_;
  const Control* pressedOn_ = nullptr;  // what the left button went down on
  bool pressed_ = false;
};

}  // namespace zbx::qt
