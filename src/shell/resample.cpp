#include "shell/resample.h"

#include "toolkit/errors.h"

#include <cmath>
#include <numbers>

namespace dizad::shell {

using toolkit::TBitmap;
using toolkit::TBitmapData;

float SinC(float x) {
  if (x == 0.0f) return 1.0f;
  const float px = static_cast<float>(static_cast<double>(x) * std::numbers::pi);
  return static_cast<float>(std::sin(static_cast<double>(px)) / static_cast<double>(px));
}

float Lanczos3Filter(float x) {
  x = std::fabs(x);
  if (x < 3.0f) return SinC(x) * SinC(x / 3.0f);
  return 0.0f;
}

float StretchScale(int SrcSize, int DstSize) {
  // With a one-pixel destination (n - 1) / (m - 1) would be 0 and the support
  // below a division by zero; the plain ratio turns it into an ordinary shrink.
  if (SrcSize == 1 || DstSize == 1)
    return static_cast<float>(static_cast<double>(DstSize) / SrcSize);
  return static_cast<float>(static_cast<double>(DstSize - 1) / (SrcSize - 1));
}

std::vector<TContributorList> BuildContributors(int SrcSize, int DstSize, TFilterProc Filter,
                                                float Support) {
  std::vector<TContributorList> lists(static_cast<size_t>(std::max(DstSize, 0)));
  if (SrcSize <= 0 || DstSize <= 0) return lists;
  // A support that is not a sane radius would make the sample ranges
  // meaningless (or infinite); fall back to the centre sample.
  if (!std::isfinite(Support) || Support < 0.0f) Support = 0.0f;
  if (!Filter) Filter = Lanczos3Filter;

  const float scale = StretchScale(SrcSize, DstSize);
  const bool shrinking = scale < 1.0f;
  const float width = shrinking ? Support / scale : Support;
  const float fscale = shrinking ? 1.0f / scale : 1.0f;
  // Enough for every sample the ranges below can produce; the list grows past
  // this if rounding yields one more, never writes beyond it.
  const size_t capacity = static_cast<size_t>(2.0 * width + 1.0);

  for (int i = 0; i < DstSize; ++i) {
    TContributorList& list = lists[static_cast<size_t>(i)];
    list.reserve(capacity);
    const float center = static_cast<float>(static_cast<double>(i) / scale);
    const qint64 left = static_cast<qint64>(std::floor(static_cast<double>(center) - width));
    const qint64 right = static_cast<qint64>(std::ceil(static_cast<double>(center) + width));
    for (qint64 j = left; j <= right; ++j) {
      const double distance = static_cast<double>(center) - static_cast<double>(j);
      float weight;
      if (shrinking) {
        const float x = static_cast<float>(distance / fscale);
        weight = static_cast<float>(static_cast<double>(Filter(x)) / fscale);
      } else {
        weight = Filter(static_cast<float>(distance));
      }
      if (weight == 0.0f) continue;
      qint64 n = j;
      if (n < 0)
        n = -n;
      else if (n >= SrcSize)
        n = 2 * static_cast<qint64>(SrcSize) - 1 - n;
      // Far beyond a small source the reflection still lands outside.
      n = std::clamp<qint64>(n, 0, SrcSize - 1);
      list.push_back({static_cast<qint32>(n), weight});
    }
  }
  return lists;
}

namespace {

// One channel of a weighted sum, kept in the 0 ... 255 range; halves round
// to even.
quint32 channelOf(float sum) {
  if (sum > 255.0f) return 255;
  if (sum < 0.0f) return 0;
  return static_cast<quint32>(std::nearbyint(sum));
}

// The weighted sum of the pixels a contributor list names; pixelAt(index)
// yields the ARGB value of that source sample.
template <typename PixelAt>
quint32 resamplePixel(const TContributorList& list, PixelAt pixelAt) {
  float r = 0.0f, g = 0.0f, b = 0.0f;
  quint32 alpha = 0;
  for (const TContributor& c : list) {
    const quint32 argb = pixelAt(c.Pixel);
    alpha = argb >> 24;
    if (c.Weight == 0.0f) continue;
    const double w = c.Weight;
    // The product of a byte and a float is exact in double; the running sums
    // are kept in single precision.
    r = static_cast<float>(r + ((argb >> 16) & 0xFF) * w);
    g = static_cast<float>(g + ((argb >> 8) & 0xFF) * w);
    b = static_cast<float>(b + (argb & 0xFF) * w);
  }
  return (alpha << 24) | (channelOf(r) << 16) | (channelOf(g) << 8) | channelOf(b);
}

}  // namespace

void Stretch(const TBitmap& Source, TBitmap& Destination, TFilterProc Filter, float Support) {
  const int srcW = Source.Width();
  const int srcH = Source.Height();
  if (Source.IsEmpty() || srcW <= 0 || srcH <= 0)
    throw toolkit::TError(QStringLiteral("Source bitmap too small"));
  const int dstW = Destination.Width();
  const int dstH = Destination.Height();
  if (dstW <= 0 || dstH <= 0) return;

  // A shallow copy shares the pixels; it is only read, so nothing is copied.
  TBitmap source(Source);
  const TBitmapData src = source.Map();
  TBitmap work(dstW, srcH);
  TBitmapData workData = work.Map();

  {
    const std::vector<TContributorList> columns = BuildContributors(srcW, dstW, Filter, Support);
    for (int k = 0; k < srcH; ++k) {
      const quint32* in = src.ScanLine(k);
      quint32* out = workData.ScanLine(k);
      for (int i = 0; i < dstW; ++i)
        out[i] = resamplePixel(columns[static_cast<size_t>(i)], [in](qint32 p) { return in[p]; });
    }
  }

  const std::vector<TContributorList> rows = BuildContributors(srcH, dstH, Filter, Support);
  std::vector<const quint32*> workRows(static_cast<size_t>(srcH));
  for (int k = 0; k < srcH; ++k)
    workRows[static_cast<size_t>(k)] = std::as_const(workData).ScanLine(k);
  TBitmapData dst = Destination.Map();
  for (int i = 0; i < dstH; ++i) {
    quint32* out = dst.ScanLine(i);
    const TContributorList& list = rows[static_cast<size_t>(i)];
    for (int k = 0; k < dstW; ++k)
      out[k] = resamplePixel(
          list, [&workRows, k](qint32 p) { return workRows[static_cast<size_t>(p)][k]; });
  }
}

}  // namespace dizad::shell
