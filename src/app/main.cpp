#include "toolkit/application.h"

int main(int argc, char** argv) {
  dizad::toolkit::TApplication app(argc, argv);
  return 0;
}
