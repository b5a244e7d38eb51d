#include "window/qt/native_controls.h"

#include "window/qt/char_filter.h"

#include <QButtonGroup>
#include <QKeyEvent>
#include <QRegion>

#include "window/qt/fonts.h"
#include "window/qt/form_painter.h"
#include "window/qt/geometry.h"

namespace zbx::qt {
namespace {

QString Text(const std::string& utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }

// Counts nesting, so that widget signals caused by applying the model are not
// written back to it.
class Applying {
 public:
  explicit Applying(int& depth) : depth_(depth) { ++depth_; }
  ~Applying() { --depth_; }
  Applying(const Applying&) = delete;
  Applying& operator=(const Applying&) = delete;

 private:
  int& depth_;
};

void Colour(QWidget& w, const Control& c) {
  QPalette pal = w.palette();
  const QColor fore = ToQColor(c.ForeColor()), back = ToQColor(c.BackColor());
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
    pal.setColor(group, QPalette::WindowText, fore);
    pal.setColor(group, QPalette::ButtonText, fore);
    // A text box's text; an option button keeps dark text for its dot on a light ring.
    if (c.kind == ControlKind::TextBox) pal.setColor(group, QPalette::Text, fore);
  }
  pal.setColor(QPalette::Window, back);
  pal.setColor(QPalette::Button, back);
  if (c.kind == ControlKind::TextBox) pal.setColor(QPalette::Base, back);
  if (pal != w.palette()) w.setPalette(pal);
}

// The region of a widget that window-level controls stacked in front of its panel leave
// uncovered, in the widget's own coordinates. Widgets draw over the painted surface,
// so what the model stacks in front of them has to be cut out of them.
QRegion Uncovered(const Form1& form, const Control& c, const QRect& area) {
  const Control* panel = &c;
  while (panel->container != nullptr) panel = panel->container;
  QRegion open(area);
  for (const Control* front : form.StackingOrder(nullptr)) {
    if (front == panel) break;
    if (front->Visible()) open -= ToPixels(front->WindowBounds());
  }
  return open.translated(-area.topLeft());
}

}  // namespace

void EditBox::keyPressEvent(QKeyEvent* e) {
  QLineEdit::keyPressEvent(e);
  e->accept();
}

void OptionBox::keyPressEvent(QKeyEvent* e) {
  QRadioButton::keyPressEvent(e);
  e->accept();
}

NativeControls::NativeControls(Form1& form, QWidget& surface) : form_(form) {
  std::map<const Control*, QButtonGroup*> groups;  // one exclusive group per container
  for (Control& c : form.Controls()) {
    if (c.kind == ControlKind::TextBox) AddEdit(c, surface);
    if (c.kind == ControlKind::OptionButton) {
      QButtonGroup*& group = groups[c.container];
      if (group == nullptr) group = new QButtonGroup(&surface);
      AddOption(c, surface, group);
    }
  }
  // Tab order follows the layout table (the name box, then the option buttons).
  QWidget* previous = nullptr;
  for (const Control& c : form.Controls()) {
    QWidget* w = WidgetFor(c);
    if (w == nullptr) continue;
    if (previous != nullptr) QWidget::setTabOrder(previous, w);
    previous = w;
  }
  SyncAll();
}

void NativeControls::AddEdit(Control& c, QWidget& surface) {
  auto* edit = new EditBox(&surface);
  edit->setFrame(false);  // the surface draws the sunken border around it
  edit->setMaxLength(c.maxLength > 0 ? c.maxLength : 32767);
  edit->setAutoFillBackground(true);
  edit->setMouseTracking(true);
  edit->setValidator(new CharFilterValidator(c, edit));
  widgets_[&c] = edit;
  controls_[edit] = &c;
  QObject::connect(edit, &QLineEdit::textEdited, edit, [this, &c, edit] { EditChangedByPlayer(c, *edit); });
  QObject::connect(edit, &QLineEdit::selectionChanged, edit, [this, &c, edit] { EditChangedByPlayer(c, *edit); });
  QObject::connect(edit, &QLineEdit::cursorPositionChanged, edit,
                   [this, &c, edit] { EditChangedByPlayer(c, *edit); });
}

void NativeControls::AddOption(Control& c, QWidget& surface, QButtonGroup* group) {
  auto* option = new OptionBox(&surface);
  option->setFont(LabelFont(c.fontPt));
  option->setAutoFillBackground(true);
  option->setMouseTracking(true);
  group->addButton(option);
  widgets_[&c] = option;
  controls_[option] = &c;
  QObject::connect(option, &QRadioButton::toggled, option, [this, &c](bool checked) {
    // Selecting one clears the others in the model, which syncs them back here.
    if (applying_ == 0 && checked) c.SetValue(true);
  });
}

void NativeControls::EditChangedByPlayer(Control& c, QLineEdit& edit) {
  if (applying_ > 0) return;
  writingBack_ = &c;
  c.SetText(edit.text().toStdString());
  const int start = edit.hasSelectedText() ? edit.selectionStart() : edit.cursorPosition();
  c.SetSelection(start, static_cast<int>(edit.selectedText().size()));
  writingBack_ = nullptr;
}

void NativeControls::Sync(const Control& c) {
  auto it = widgets_.find(&c);
  if (it == widgets_.end()) return;
  QWidget& w = *it->second;
  Applying scope(applying_);
  const QRect area = NativeArea(c);
  if (w.geometry() != area) w.setGeometry(area);
  Colour(w, c);
  if (auto* edit = qobject_cast<QLineEdit*>(&w)) SyncEdit(c, *edit);
  if (auto* option = qobject_cast<QRadioButton*>(&w)) SyncOption(c, *option);
  w.setEnabled(c.EffectivelyEnabled());
  const QRegion open = Uncovered(form_, c, area);
  if (open != QRegion(w.rect())) {
    w.setMask(open);
  } else if (!w.mask().isEmpty()) {
    w.clearMask();
  }
  w.setVisible(c.EffectivelyVisible() && !open.isEmpty());
}

void NativeControls::SyncEdit(const Control& c, QLineEdit& edit) {
  if (writingBack_ == &c) return;  // the widget is the source of this change
  const QString text = Text(c.Text());
  if (edit.text() != text) edit.setText(text);
  const int start = edit.hasSelectedText() ? edit.selectionStart() : edit.cursorPosition();
  const int length = static_cast<int>(edit.selectedText().size());
  if (start == c.SelStart() && length == c.SelLength()) return;
  if (c.SelLength() > 0) {
    edit.setSelection(c.SelStart(), c.SelLength());
  } else {
    edit.setCursorPosition(c.SelStart());
  }
}

void NativeControls::SyncOption(const Control& c, QRadioButton& option) {
  const QString caption = Text(c.Caption());
  if (option.text() != caption) option.setText(caption);
  if (option.isChecked() != c.Value()) {
    // An exclusive group refuses to uncheck its checked button directly.
    option.group()->setExclusive(false);
    option.setChecked(c.Value());
    option.group()->setExclusive(true);
  }
}

void NativeControls::SyncAll() {
  for (const auto& [control, widget] : widgets_) Sync(*control);
}

QWidget* NativeControls::WidgetFor(const Control& c) const {
  auto it = widgets_.find(&c);
  return it == widgets_.end() ? nullptr : it->second;
}

Control* NativeControls::ControlFor(const QObject* widget) const {
  auto it = controls_.find(widget);
  return it == controls_.end() ? nullptr : it->second;
}

std::vector<QWidget*> NativeControls::Widgets() const {
  std::vector<QWidget*> all;
  for (const auto& [control, widget] : widgets_) all.push_back(widget);
  return all;
}

}  // namespace zbx::qt
