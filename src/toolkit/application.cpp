#include "toolkit/application.h"

#include "toolkit/errors.h"
#include "toolkit/memo.h"

#include <sys/socket.h>
#include <unistd.h>
#include <QDir>
#include <QFont>
#include <QIcon>
#include <QMessageBox>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <csignal>

namespace dizad::toolkit {

namespace {
TExceptionReporter& reporter() {  // GUI thread only
  static TExceptionReporter r;
  return r;
}
}  // namespace

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(QStringLiteral("Dizad"));
  setupFonts();
  setupIconTheme();
}

TApplication::~TApplication() = default;

bool TApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (...) {
    HandleException(std::current_exception());
    return false;
  }
}

QString exceptionMessage(std::exception_ptr error) {
  try {
    if (error) std::rethrow_exception(error);
  } catch (const TError& e) {
    return e.Message();
  } catch (const std::exception& e) {
    return QString::fromUtf8(e.what());
  } catch (...) {
    return QStringLiteral("Unknown error");
  }
  return QString();
}

void HandleException(std::exception_ptr error) {
  const QString message = exceptionMessage(error);
  logLine(QStringLiteral("Error: ") + message);
  if (reporter()) {
    reporter()(message);
    return;
  }
  ShowMessage(message);
}

void setExceptionReporter(TExceptionReporter r) {
  reporter() = std::move(r);
}

void ShowMessage(const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Dizad"), text, QMessageBox::Ok);
  box.exec();
}

void Beep() {
  QApplication::beep();
}

namespace {
int signalPipe[2] = {-1, -1};

void onTerminationSignal(int) {
  const char byte = 1;
  // Only async-signal-safe work here: wake the event loop.
  [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
}
}  // namespace

void quitOnTerminationSignals() {
  if (signalPipe[0] >= 0) return;
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0) return;
  auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, qApp);
  QObject::connect(notifier, &QSocketNotifier::activated, qApp, [] {
    char byte;
    [[maybe_unused]] const ssize_t n = ::read(signalPipe[0], &byte, 1);
    QApplication::closeAllWindows();
    QApplication::quit();
  });
  struct sigaction sa = {};
  sa.sa_handler = onTerminationSignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &sa, nullptr);
  sigaction(SIGINT, &sa, nullptr);
  sigaction(SIGHUP, &sa, nullptr);
}

void setupFonts() {
  QFont::insertSubstitutions(QStringLiteral("Segoe UI"),
                             {QStringLiteral("Noto Sans"), QStringLiteral("DejaVu Sans")});
}

void setupIconTheme() {
  QStringList paths = QIcon::themeSearchPaths();
  auto addPath = [&paths](const QString& p) {
    if (!paths.contains(p) && QDir(p).exists()) paths.append(p);
  };
  addPath(QDir::homePath() + QStringLiteral("/.local/share/icons"));
  for (const QString& dir : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
    addPath(dir + QStringLiteral("/icons"));
  addPath(QStringLiteral("/usr/share/icons"));
  QIcon::setThemeSearchPaths(paths);
  if (QIcon::themeName().isEmpty() || QIcon::themeName() == QLatin1String("hicolor"))
    QIcon::setThemeName(QStringLiteral("Adwaita"));
  QIcon::setFallbackThemeName(QStringLiteral("hicolor"));
}

}  // namespace dizad::toolkit
