#pragma once
// In-memory log: the lines other parts of the program trace to. It is never
// shown and writes no file; tests read it. Any thread may add lines.

#include <QMutex>
#include <QString>
#include <QStringList>

namespace dizad::toolkit {

class TMemo {
 public:
  void Add(const QString& line);
  QStringList Lines() const;
  void Clear();
  bool Contains(const QString& fragment) const;

 private:
  mutable QMutex FLock;
  QStringList FLines;  // guarded by FLock
};

// The process-wide log memo (the main window's Memo1 refers to it).
TMemo& LogMemo();

// Shorthand for LogMemo().Add(line); also echoes to stderr when
// DIZAD_LOG_STDERR is set, which helps when watching a run.
void logLine(const QString& line);

}  // namespace dizad::toolkit
