#pragma once
// How a label's caption falls into lines.
#include <QFontMetricsF>
#include <QString>
#include <QStringList>

namespace zbx::qt {

// The lines of a caption wrapped at blanks within `width` pixels. A long run of blanks
// (three or more) ends its line: such texts were padded with blanks so that the next
// part starts a new line in the face they were written in, and a run that reaches a
// whole line further also leaves an empty line. Measured in this face, the same text
// then keeps its intended shape. Words longer than the width stay whole.
QStringList WrapCaption(const QString& text, const QFontMetricsF& metrics, double width);

}  // namespace zbx::qt
