#include "window/qt/fonts.h"

#include <QFontDatabase>
#include <QStringList>
#include <cmath>

namespace zbx::qt {

const QString& ComicFamily() {
  static const QString family = [] {
    // Ask the font database for the real family: fontconfig would happily substitute
    // any sans face for a family it does not know.
    const QStringList installed = QFontDatabase::families();
    for (const QString& wanted : {QStringLiteral("Comic Sans MS"), QStringLiteral("Comic Neue")}) {
      if (installed.contains(wanted, Qt::CaseInsensitive)) return wanted;
    }
    return QStringLiteral("Comic Sans MS");
  }();
  return family;
}

QFont LabelFont(double points) {
  QFont font(ComicFamily());
  font.setPixelSize(static_cast<int>(std::lround(points * 96.0 / 72.0)));
  font.setWeight(QFont::Normal);
  font.setItalic(false);
  font.setUnderline(false);
  return font;
}

}  // namespace zbx::qt
