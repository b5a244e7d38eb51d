#pragma once
// The text boxes and option buttons of the model as real widgets (a QLineEdit, a
// QRadioButton) on the view's surface, kept in step with their controls both ways:
// the model's changes are applied to the widget (Sync), and what the player does in
// the widget is written back through the control's setters.
#include <QLineEdit>
#include <QRadioButton>
#include <map>
#include <vector>

#include "window/form1.h"

class QButtonGroup;

namespace zbx::qt {

// Both widgets keep every key for themselves once they have handled it, so that no
// key reaches the window a second time through Qt's propagation to the parent.
class EditBox : public QLineEdit {
 public:
  using QLineEdit::QLineEdit;

 protected:
  void keyPressEvent(QKeyEvent* e) override;
};

class OptionBox : public QRadioButton {
 public:
  using QRadioButton::QRadioButton;

 protected:
  void keyPressEvent(QKeyEvent* e) override;
};

class NativeControls {
 public:
  NativeControls(Form1& form, QWidget& surface);
  NativeControls(const NativeControls&) = delete;
  NativeControls& operator=(const NativeControls&) = delete;

  // Applies the control's state to its widget; other controls are ignored.
  void Sync(const Control& c);
  void SyncAll();

  QWidget* WidgetFor(const Control& c) const;
  Control* ControlFor(const QObject* widget) const;
  std::vector<QWidget*> Widgets() const;

 private:
  void AddEdit(Control& c, QWidget& surface);
  void AddOption(Control& c, QWidget& surface, QButtonGroup* group);
  void SyncEdit(const Control& c, QLineEdit& edit);
  void SyncOption(const Control& c, QRadioButton& option);
  void EditChangedByPlayer(Control& c, QLineEdit& edit);

  Form1& form_;
  std::map<const Control*, QWidget*> widgets_;
  std::map<const QObject*, Control*> controls_;
  const Control* writingBack_ = nullptr;  // a control the player is changing right now
  int applying_ = 0;                      // model changes being applied to widgets
};

}  // namespace zbx::qt
