#pragma once
// The application object and the program's top-level error handling.
//
// TApplication is the QApplication of Dizad. Every event handler runs inside
// its notify(), so an error that escapes a handler is caught there, reported
// through HandleException (message box + log line) and the program goes on.
// Lives on the GUI thread.

#include <QApplication>
#include <QString>
#include <exception>
#include <functional>

namespace dizad::toolkit {

class TApplication : public QApplication {
 public:
  TApplication(int& argc, char** argv);
  ~TApplication() override;

  bool notify(QObject* receiver, QEvent* event) override;
};

// Text of an error as shown to the user.
QString exceptionMessage(std::exception_ptr error);

// Reports an error that escaped a handler: writes a log line and shows a
// message box, unless a test has installed its own reporter.
void HandleException(std::exception_ptr error);

// Replaces the message box of HandleException (the log line is still written);
// pass an empty function to restore the box. GUI thread only.
using TExceptionReporter = std::function<void(const QString& message)>;
void setExceptionReporter(TExceptionReporter reporter);

// Plain message box with the program's caption. GUI thread only.
void ShowMessage(const QString& text);

// The system's alert sound.
void Beep();

// Makes SIGTERM, SIGINT and SIGHUP close the windows and end the event loop
// normally, so the program shuts down cleanly when the session asks it to.
void quitOnTerminationSignals();

// Process-wide start-up of fonts and the icon theme; TApplication calls it.
void setupFonts();
void setupIconTheme();

}  // namespace dizad::toolkit
