#pragma once
// Lanczos resampling of bitmaps: a two-pass (horizontal, then vertical)
// windowed-sinc scaler used by the skin engine to pre-scale its images once.
// Stateless; safe on any thread as long as the bitmaps are not shared with
// another writer.

#include "toolkit/bitmap.h"

#include <vector>

namespace dizad::shell {

// A filter kernel: weight of a source sample at distance x (in source pixels).
using TFilterProc = float (*)(float x);

// sin(pi x) / (pi x), 1 at x = 0. The product pi x is rounded to single
// precision before the sine and the division.
float SinC(float x);

// The three-lobed Lanczos window: SinC(|x|) * SinC(|x| / 3) inside |x| < 3, else 0.
float Lanczos3Filter(float x);

// One source sample and its weight for one destination column or row.
struct TContributor {
  qint32 Pixel;  // index into the source row or column
  float Weight;
};
using TContributorList = std::vector<TContributor>;

// The scale between a source and destination extent. The first and last
// destination pixels map onto the first and last source pixels; a source or
// destination of one pixel uses the plain ratio DstSize / SrcSize, so a
// one-pixel destination is a shrink by SrcSize centred on source pixel 0.
float StretchScale(int SrcSize, int DstSize);

// The contributor list of every destination index 0 ... DstSize - 1, in
// increasing source position; weights that are exactly 0 are left out and
// source indices beyond the edges are mirrored, then clamped. A null Filter
// means Lanczos3Filter; a negative or non-finite Support means 0.
std::vector<TContributorList> BuildContributors(int SrcSize, int DstSize, TFilterProc Filter,
                                                float Support);

// Resamples Source into Destination at Destination's current size. Throws
// toolkit::TError "Source bitmap too small" for an empty source before touching
// anything. Channels are clamped to 0 ... 255; the alpha of each written pixel
// is that of its last contributor (fully transparent when a custom filter
// leaves no contributor at all).
void Stretch(const toolkit::TBitmap& Source, toolkit::TBitmap& Destination, TFilterProc Filter,
             float Support);

}  // namespace dizad::shell
