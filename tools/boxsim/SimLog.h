#pragma once
// The simulator's log: one line per event, each starting with the local time,
// written to stdout or a file and flushed at once so a script can follow it.
#include <QFile>
#include <QObject>
#include <QString>
#include <memory>

namespace boxsim {

class TSimLog : public QObject {
  Q_OBJECT
 public:
  explicit TSimLog(QObject* parent = nullptr);
  ~TSimLog() override;

  // Lines go to standard output.
  bool OpenStdout();
  // Lines go to `path` (created or emptied); false with ErrorText() when it cannot be opened.
  bool OpenFile(const QString& path);
  QString ErrorText() const { return fError; }

  // Writes "<time> <text>"; without an open output the line only reaches LineWritten.
  void Write(const QString& text);

  // "2024-05-01T12:00:00.123": the time stamp at the start of each line.
  static QString TimeStamp();

 signals:
  void LineWritten(const QString& line);

 private:
  std::unique_ptr<QFile> fFile;
  QString fError;
};

}  // namespace boxsim
