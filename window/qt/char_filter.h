#pragma once
// A text box's own rule for which characters may enter it (Control::on.AcceptsChar),
// applied to typed keys and to pasted or dropped text alike.
#include <QString>
#include <QValidator>

#include "window/control.h"

namespace zbx::qt {

// Whether every character of text may enter the control's box.
bool AcceptsAll(const Control& c, const QString& text);
// text without the characters the control refuses.
QString Filtered(const Control& c, const QString& text);

// Strips refused characters from whatever reaches a line edit (a paste included).
class CharFilterValidator : public QValidator {
 public:
  CharFilterValidator(const Control& c, QObject* parent) : QValidator(parent), control_(c) {}
  State validate(QString& input, int& pos) const override;

 private:
  const Control& control_;
};

}  // namespace zbx::qt
