// The drawing of a variables control chart: the chart model of one point table (location
// chart above the dispersion chart, limits, zones and bands, ±3 sigma lines, specifications,
// run-test codes, all points, breaks and set separators, limit information), and the names
// the chart and its reports use.
#pragma once

#include <string>
#include <vector>

#include "data/data_list.h"
#include "output/chart.h"
#include "quality/chart_view_options.h"
#include "quality/variables_points.h"

namespace sorvel {

// Colours of the roles, colour and black-and-white.
inline constexpr TChartColor VarLimitColor{ChartRed, ChartBlack};
inline constexpr TChartColor VarCentreColor{ChartGreen, ChartBlack};
inline constexpr TChartColor VarPointColor{ChartBlue, ChartBlack};
inline constexpr TChartColor VarViolationColor{ChartRed, 0x010000};

// "X", "Mean", "Median", "Moving Range", "Range", "Std Dev (s)", "Variance (s²)"; "" for None.
std::string VarChartTypeName(int chartType);
// The dispersion axis title: "MR", "R", "s" or "s²".
std::string DispersionAxisTitle(int chartType);
// The method's name with "@" the dispersion statistic's name ("Average MR of Range").
std::string VarMethodName(int method, int dispersionChart);
// The centre line's name: "Average Mean", "Median of Means", "Known Mean", "Average Range",
// "Median Range", "Known Std Dev".
std::string VarCentreName(int centreCode, int locationChart, int dispersionChart);

// The texts the user put on points ("Enter Text for Point"), by point number: [0] location,
// [1] dispersion.
struct TVarPointTexts {
  std::vector<std::string> Texts[2];
  bool Any() const;
  void Clear();
};

struct TVarChartModelInput {
  const TVarChartBuilder* Builder = nullptr;
  const TDataList* Data = nullptr;
  const TVarPointTable* Points = nullptr;
  int Column = 0, Run = 0;
  TChartViewOptions View;
  const TVarPointTexts* PointTexts = nullptr;  // may be null
};

// Which charts are drawn: a type is set and the split leaves it room.
bool LocationDrawn(const TVariablesChartSettings& s, int split);
bool DispersionDrawn(const TVariablesChartSettings& s, int split);

// The chart of one point table. The series names of the design are kept as readout titles.
TChart VariablesChartModel(const TVarChartModelInput& in);

// The x position of each point (1 .. count): its number plus the breaks before it.
std::vector<double> VarPointPositions(const TVarPointTable& t);

// The limit information foot lines of the drawn charts.
std::vector<std::string> VarLimitInformation(const TVarPointTable& t,
                                             const TVariablesChartSettings& s, bool location,
                                             bool dispersion);

}  // namespace sorvel
