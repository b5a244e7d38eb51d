#include "window/qt/char_filter.h"

namespace zbx::qt {

bool AcceptsAll(const Control& c, const QString& text) {
  if (!c.on.AcceptsChar) return true;
  for (const char32_t cp : text.toUcs4())
    if (!c.on.AcceptsChar(cp)) return false;
  return true;
}

QString Filtered(const Control& c, const QString& text) {
  if (!c.on.AcceptsChar) return text;
  QString out;
  for (const char32_t cp : text.toUcs4())
    if (c.on.AcceptsChar(cp)) out += QString::fromUcs4(&cp, 1);
  return out;
}

QValidator::State CharFilterValidator::validate(QString& input, int& pos) const {
  if (AcceptsAll(control_, input)) return Acceptable;
  // Keep the cursor after the same accepted characters it stood after.
  const QString before = Filtered(control_, input.left(pos));
  input = Filtered(control_, input);
  pos = static_cast<int>(before.size());
  return Acceptable;
}

}  // namespace zbx::qt
