#pragma once
// The parts of the resampler below ResampleImage, open for tests and
// benchmarks: the weight lists and the two passes, which can also report the
// float channel sums they round into bytes.

#include "pictures/resample.h"

#include <vector>

namespace velmora::resample {

// The source weights of every destination index, stored flat: the weights of
// destination i are entries first[i] .. first[i + 1] - 1 of pixel and weight,
// in the order they were found.
struct WeightLists {
    std::vector<int> first; // count + 1 entries
    std::vector<std::int32_t> pixel;
    std::vector<float> weight;

    int Count() const { return static_cast<int>(first.size()) - 1; }
    int Size(int i) const { return first[i + 1] - first[i]; }
};

// Scale factor from a source length to a destination length: the first and
// last pixel centres of both coincide.
float ScaleFactor(int destination, int source);

// Weight lists for count destination indices at scale s over n source pixels.
WeightLists BuildWeightLists(float s, int n, int count, ResampleKernel kernel, float support);

// Float sums of a pass, when a caller wants to see them: horizontal[r][i][c]
// for source row r and destination column i, vertical[i][x][c] for destination
// row i and column x.
struct PassSums {
    std::vector<float> horizontal;
    std::vector<float> vertical;
};

// ResampleImage with the float sums of both passes recorded in sums.
void ResampleWithSums(QImage &source, QImage &destination, ResampleKernel kernel, float support,
                      PassSums *sums);

} // namespace velmora::resample
