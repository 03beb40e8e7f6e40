#include "toolkit/memo.h"

#include <QMutexLocker>
#include <cstdio>

namespace dizad::toolkit {

void TMemo::Add(const QString& line) {
  QMutexLocker lock(&FLock);
  FLines.append(line);
}

QStringList TMemo::Lines() const {
  QMutexLocker lock(&FLock);
  return FLines;
}

void TMemo::Clear() {
  QMutexLocker lock(&FLock);
  FLines.clear();
}

bool TMemo::Contains(const QString& fragment) const {
  QMutexLocker lock(&FLock);
  for (const QString& l : FLines)
    if (l.contains(fragment)) return true;
  return false;
}

TMemo& LogMemo() {
  static TMemo memo;
  return memo;
}

void logLine(const QString& line) {
  LogMemo().Add(line);
  static const bool echo = qEnvironmentVariableIsSet("DIZAD_LOG_STDERR");
  if (echo) std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
}

}  // namespace dizad::toolkit
