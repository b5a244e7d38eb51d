#include "platform/qt/qt_platform.h"

#include <QCoreApplication>
#include <QFile>
#include <QMessageBox>
#include <QThread>
#include <QTime>
#include <cstdio>
#include <cstdlib>

// Outside any namespace: the sounds' resource initialiser lives in a static library,
// where nothing else refers to it.
static void InitSoundResources() { Q_INIT_RESOURCE(sounds); }

namespace zbx::qt {
namespace {

QString FromUtf8(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace

double QtPlatform::TimeOfDay() { return QTime::currentTime().msecsSinceStartOfDay() / 1000.0; }

// The waits that use this end at a whole second of the clock; reading it every 5 ms
// instead of every millisecond keeps such a wait under 1% of a core instead of 3%.
void QtPlatform::SleepBriefly() { QThread::msleep(5); }

void QtPlatform::DoEvents() {
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  // Repaints requested by the handlers that just ran happen now, not after the wait.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
}

MsgBoxResult QtPlatform::MsgBox(std::string_view text, std::string_view title, MsgBoxButtons buttons,
                                MsgBoxIcon icon) {
  const bool yesNo = buttons == MsgBoxButtons::YesNo;
  QMessageBox box(icon == MsgBoxIcon::Question ? QMessageBox::Question : QMessageBox::Information,
                  FromUtf8(title), FromUtf8(text),
                  yesNo ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok, window_);
  // As on the desktop: Enter answers with the first button, Esc with No.
  box.setDefaultButton(yesNo ? QMessageBox::Yes : QMessageBox::Ok);
  switch (box.exec()) {
    case QMessageBox::Yes: return MsgBoxResult::Yes;
    case QMessageBox::No: return MsgBoxResult::No;
    case QMessageBox::Ok: return MsgBoxResult::OK;
    default: return yesNo ? MsgBoxResult::No : MsgBoxResult::OK;
  }
}

void QtPlatform::EndProgram() {
  std::fflush(nullptr);
  std::quick_exit(0);
}

std::vector<std::uint8_t> QtPlatform::LoadResource(std::string_view type, int id) {
  InitSoundResources();
  QFile file(QStringLiteral(":/%1/%2").arg(FromUtf8(type).toLower()).arg(id));
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QByteArray bytes = file.readAll();
  return {bytes.begin(), bytes.end()};
}

void QtPlatform::PlayWave(WaveBytes wave) { player_.Play(std::move(wave)); }

}  // namespace zbx::qt
