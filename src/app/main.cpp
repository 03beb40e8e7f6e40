#include "app/mainwindow.h"
#include "toolkit/application.h"

int main(int argc, char** argv) {
  dizad::toolkit::TApplication app(argc, argv);
  dizad::toolkit::quitOnTerminationSignals();
  int result = 0;
  {
    dizad::app::TZR_Main window;
    window.show();
    result = app.exec();
  }
  return result;
}
