// Times Stretch with the Lanczos filter on typical skin and picture sizes.
#include "shell/resample.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <cstdio>

using dizad::shell::Lanczos3Filter;
using dizad::shell::Stretch;
using dizad::toolkit::TBitmap;

int main() {
  struct Case {
    int srcW, srcH, dstW, dstH;
  };
  const Case cases[] = {{64, 64, 300, 40},
                        {256, 256, 96, 96},
                        {1024, 768, 256, 192},
                        {1024, 768, 1920, 1080},
                        {1920, 1080, 1920, 1080}};
  QRandomGenerator random(7);
  for (const Case& c : cases) {
    TBitmap source(c.srcW, c.srcH);
    auto data = source.Map();
    for (int y = 0; y < c.srcH; ++y)
      for (int x = 0; x < c.srcW; ++x) data.SetPixel(x, y, random.generate());
    TBitmap destination(c.dstW, c.dstH);
    int runs = 0;
    QElapsedTimer timer;
    timer.start();
    do {
      Stretch(source, destination, Lanczos3Filter, 3.0f);
      ++runs;
    } while (timer.elapsed() < 500);
    std::printf("%5dx%-5d -> %5dx%-5d  %8.2f ms per stretch\n", c.srcW, c.srcH, c.dstW, c.dstH,
                double(timer.nsecsElapsed()) / 1e6 / runs);
  }
}
