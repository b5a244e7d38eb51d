#pragma once
// The game's window: a fixed 417 x 527 surface that paints the Form1 model, hosts its
// text boxes and option buttons as real widgets, follows the model's title, pointer,
// focus and timer, and hands every event to the model through the EventRouter.
// The view observes the model; it does not own it.
#include <QTimer>
#include <QWidget>

#include "window/form1.h"
#include "window/qt/event_router.h"
#include "window/qt/native_controls.h"

namespace zbx::qt {

class FormView : public QWidget, public FormObserver {
 public:
  explicit FormView(Form1& form, QWidget* parent = nullptr);
  ~FormView() override;
  FormView(const FormView&) = delete;
  FormView& operator=(const FormView&) = delete;

  // The widget that stands for a text box or option button; nullptr for others.
  QWidget* NativeWidget(const Control& c) const { return natives_.WidgetFor(c); }
  // Places the window in the middle of its screen's available area.
  void CentreOnScreen();
  // Where the model's timer is now, for tests: active and interval.
  const QTimer& GameTimer() const { return timer_; }

  // FormObserver.
  void ControlChanged(const Control& c, const RectTwips& oldBounds) override;
  void TitleChanged() override;
  void PointerChanged() override;
  void TimerChanged() override;
  void FocusRequested(Control* c) override;
  void RefreshRequested(const Control& c) override;

 protected:
  void paintEvent(QPaintEvent* e) override;

 private:
  Form1& form_;
  NativeControls natives_;
  EventRouter router_;
  QTimer timer_;
};

}  // namespace zbx::qt
