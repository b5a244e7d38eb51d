#pragma once
// Fonts of the window. Labels, label-buttons, frame captions and option buttons use
// the comic face at the sizes of the layout (points at 96 dots per inch, as pixels);
// where "Comic Sans MS" is not installed, the free "Comic Neue" stands in for it.
// Text boxes keep the application's default user-interface font.
#include <QFont>
#include <QString>

namespace zbx::qt {

// The comic family in use on this machine.
const QString& ComicFamily();
// The label font at `points`, as a pixel size at 96 dpi (9 pt = 12 px).
QFont LabelFont(double points);

}  // namespace zbx::qt
