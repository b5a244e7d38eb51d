// Zorbanix: puts the window model, the platform services and the Qt view together.
#include <QApplication>

#include "platform/qt/qt_platform.h"
#include "window/form1.h"
#include "window/hover.h"
#include "window/qt/form_view.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("zorbanix");

  zbx::Form1 form;
  zbx::qt::QtPlatform platform;
  zbx::BindHover(form);

  zbx::qt::FormView view(form);
  platform.SetWindow(&view);

  if (form.on.Load) form.on.Load();
  view.show();
  view.setFocus(Qt::OtherFocusReason);
  return QApplication::exec();
}
