#include "boxsim/SimLog.h"

#include <QDateTime>
#include <cstdio>

namespace boxsim {

TSimLog::TSimLog(QObject* parent) : QObject(parent) {}

TSimLog::~TSimLog() = default;

bool TSimLog::OpenStdout() {
  fFile = std::make_unique<QFile>();
  if (!fFile->open(stdout, QIODevice::WriteOnly | QIODevice::Text)) {
    fError = fFile->errorString();
    fFile.reset();
    return false;
  }
  return true;
}

bool TSimLog::OpenFile(const QString& path) {
  fFile = std::make_unique<QFile>(path);
  if (!fFile->open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
    fError = QStringLiteral("cannot write the log file %1: %2").arg(path, fFile->errorString());
    fFile.reset();
    return false;
  }
  return true;
}

void TSimLog::Write(const QString& text) {
  const QString line = TimeStamp() + QLatin1Char(' ') + text;
  if (fFile) {
    fFile->write(line.toUtf8());
    fFile->write("\n");
    fFile->flush();
  }
  emit LineWritten(line);
}

QString TSimLog::TimeStamp() { return QDateTime::currentDateTime().toString(Qt::ISODateWithMs); }

}  // namespace boxsim
