#pragma once
// Registry of Qt Test classes: every test source of a subsystem registers its
// classes with DIZAD_TEST, and the shared main() runs them all in one program.
//
// Run a single class with:   test_<subsystem> -class <ClassName> [Qt Test args]

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace dizad::test {

using TestFactory = std::function<std::unique_ptr<QObject>()>;

struct RegisteredTest {
  const char* Name;
  TestFactory Factory;
};

std::vector<RegisteredTest>& registeredTests();
bool registerTest(const char* name, TestFactory factory);

// The repository root (where Data/ lives); tests run with it as working directory.
QString sourceDir();
// Path of a file below the build directory (for programs such as dizad).
QString binaryDir();

}  // namespace dizad::test

#define DIZAD_TEST(Class)                                             \
  static const bool Class##_registered = ::dizad::test::registerTest( \
      #Class, [] { return std::unique_ptr<QObject>(std::make_unique<Class>()); });
