#pragma once
// Paints the Form1 model: black everywhere, then the window's controls back to front,
// each container's children clipped to it. Text boxes and option buttons are real
// widgets that draw themselves over this surface.
#include <QPainter>
#include <QRect>

#include "window/form1.h"

namespace zbx::qt {

void PaintForm(QPainter& painter, const Form1& form, const QRect& dirty);

// Where a control paints, in window pixels. Labels whose width follows their text may
// reach past their layout width, up to the edge of their container.
QRect PaintArea(const Control& c);

// Where the widget of a text box or option button lies: a text box inside the sunken
// border that the surface paints around it.
QRect NativeArea(const Control& c);

// The colours the view uses.
QColor ToQColor(Rgb rgb);

}  // namespace zbx::qt
