#include "testregistry.h"

#include "toolkit/application.h"

#include <QDir>
#include <QTest>
#include <cstdio>

namespace dizad::test {

std::vector<RegisteredTest>& registeredTests() {
  static std::vector<RegisteredTest> tests;
  return tests;
}

bool registerTest(const char* name, TestFactory factory) {
  registeredTests().push_back({name, std::move(factory)});
  return true;
}

QString sourceDir() {
  const QByteArray env = qgetenv("DIZAD_SOURCE_DIR");
  return env.isEmpty() ? QDir::currentPath() : QString::fromLocal8Bit(env);
}

QString binaryDir() {
  const QByteArray env = qgetenv("DIZAD_BINARY_DIR");
  return env.isEmpty() ? QDir::currentPath() : QString::fromLocal8Bit(env);
}

}  // namespace dizad::test

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  dizad::toolkit::TApplication app(argc, argv);

  QStringList args = app.arguments();
  QString only;
  const qsizetype at = args.indexOf(QStringLiteral("-class"));
  if (at >= 0 && at + 1 < args.size()) {
    only = args.at(at + 1);
    args.remove(at, 2);
  }

  int failures = 0;
  int ran = 0;
  for (const auto& t : dizad::test::registeredTests()) {
    if (!only.isEmpty() && only != QLatin1String(t.Name)) continue;
    auto obj = t.Factory();
    failures += QTest::qExec(obj.get(), args);
    ++ran;
  }
  if (ran == 0) {
    std::fprintf(stderr, "no test class ran\n");
    return 1;
  }
  return failures == 0 ? 0 : 1;
}
