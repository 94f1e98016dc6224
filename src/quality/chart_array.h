// The point table of a variables control chart: 19 rows of doubles, one column per point
// (points numbered from 1). Rows are stored apart so that a row's points are contiguous.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

namespace sorvel {

// Row numbers of the variables chart's point table.
enum ChartRow : int {
  RowSize = 0,        // subgroup size n_i (1 for individuals)
  RowLocation = 1,    // the value, subgroup mean or median
  RowDispersion = 2,  // moving range, range, s or s²
  RowLocLCL = 3,
  RowLocCL = 4,
  RowLocUCL = 5,
  RowDispLCL = 6,
  RowDispCL = 7,
  RowDispUCL = 8,
  RowRangeSigma = 9,     // SigmaFromRange of the point's range or moving range
  RowSubgroupSD = 10,    // s_i (0 for individuals)
  RowLabel = 11,         // label source: data row of the first case, or the point number
  RowSet = 12,           // set number (0 without a set variable)
  RowLocSigma = 13,      // standard error of the plotted location statistic
  RowDispSigma = 14,     // standard error of the plotted dispersion statistic
  RowProcessSigma = 15,  // process sigma of the ±3 sigma lines
  RowMean = 16,          // subgroup mean
  RowGrandMean = 17,     // the set's n-weighted grand mean
  RowBreak = 18,         // 1: the line is broken after this point
};
inline constexpr int ChartRows = 19;

struct ChartArrayType {
  std::array<std::vector<double>, ChartRows> Rows;

  // Room for points 1 .. points plus the two min/max columns after the last point.
  void Resize(int points) {
    for (auto& r : Rows) r.resize(static_cast<std::size_t>(points) + 3, 0.0);
  }
  int Capacity() const { return Rows[0].empty() ? 0 : static_cast<int>(Rows[0].size()) - 3; }
  double& operator()(int row, int point) {
    return Rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(point)];
  }
  double operator()(int row, int point) const {
    return Rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(point)];
  }
};

}  // namespace sorvel
