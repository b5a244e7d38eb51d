#include "window/qt/form_view.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScreen>

#include "window/qt/art.h"
#include "window/qt/form_painter.h"
#include "window/qt/geometry.h"

namespace zbx::qt {
namespace {

bool ContainersVisible(const Control& c) { return c.container == nullptr || c.container->EffectivelyVisible(); }

bool HasNativeChildren(const Form1& form, const Control& container) {
  for (const Control* child : form.StackingOrder(&container)) {
    if (child->kind == ControlKind::TextBox || child->kind == ControlKind::OptionButton) return true;
  }
  return false;
}

}  // namespace

FormView::FormView(Form1& form, QWidget* parent)
    : QWidget(parent),
      form_(form),
      natives_(form, *this),
      router_(form, *this, [this](const QObject* w) { return natives_.ControlFor(w); }) {
  setFixedSize(ClientSize());
  setAttribute(Qt::WA_OpaquePaintEvent);  // every pixel is painted from the model
  setMouseTracking(true);
  // The play area keeps the keys unless a text box or option button takes the focus;
  // clicking the surface does not take the focus away from them.
  setFocusPolicy(Qt::TabFocus);
  setWindowIcon(WindowIcon());
  router_.Watch(*this);
  for (QWidget* w : natives_.Widgets()) router_.Watch(*w);
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, [this] { router_.TimerFired(); });
  form_.SetObserver(this);
  TitleChanged();
  PointerChanged();
  TimerChanged();
  CentreOnScreen();
}

FormView::~FormView() {
  if (form_.Observer() == this) form_.SetObserver(nullptr);
}

void FormView::CentreOnScreen() {
  const QScreen* s = screen();
  if (s == nullptr) return;
  QRect frame = rect();
  frame.moveCenter(s->availableGeometry().center());
  move(frame.topLeft());
}

void FormView::paintEvent(QPaintEvent* e) {
  QPainter painter(this);
  PaintForm(painter, form_, e->rect());
}

void FormView::ControlChanged(const Control& c, const RectTwips& oldBounds) {
  if (c.kind == ControlKind::TextBox || c.kind == ControlKind::OptionButton) {
    natives_.Sync(c);
    return;
  }
  // Showing, hiding, enabling or moving a container changes its native children too,
  // and a panel shown in front of theirs covers them.
  if (c.kind == ControlKind::Frame || HasNativeChildren(form_, c)) natives_.SyncAll();
  if (!ContainersVisible(c)) return;
  QRect dirty = ToPixels(oldBounds).united(PaintArea(c));
  if (c.autoSize && c.container != nullptr) {
    // The old text may have been wider than the new one: up to the container's edge.
    dirty = dirty.united(QRect(dirty.topLeft(), ToPixels(c.container->WindowBounds()).bottomRight()));
  }
  update(dirty);
}

void FormView::TitleChanged() { setWindowTitle(QString::fromStdString(form_.Caption())); }

void FormView::PointerChanged() { setCursor(PointerFor(form_.MouseIcon())); }

void FormView::TimerChanged() {
  if (!form_.timCounter.Enabled()) {
    timer_.stop();
  } else if (!timer_.isActive() || timer_.interval() != form_.timCounter.Interval()) {
    timer_.start(form_.timCounter.Interval());
  }
}

void FormView::FocusRequested(Control* c) {
  QWidget* target = c == nullptr ? this : natives_.WidgetFor(*c);
  if (target != nullptr) target->setFocus(Qt::OtherFocusReason);
}

void FormView::RefreshRequested(const Control& c) {
  if (QWidget* w = natives_.WidgetFor(c)) {
    w->repaint();
  } else {
    repaint(PaintArea(c));
  }
}

}  // namespace zbx::qt
