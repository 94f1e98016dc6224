#include "explore/descriptive_statistics.h"

#include <limits>

#include "data/data_state.h"
#include "explore/include_guard.h"
#include "numerics/common.h"
#include "output/report_table.h"
#include "output/report_writer.h"
#include "stats/stats_engine.h"

namespace sorvel {

namespace {

// Mean and deviation from the descriptive engine (compensated two-pass sums), extremes
// without sorting.
void Summarise(double* x, long long n, TColumnSummary& s) {
  s.N = n;
  // NaN, not MissingValue: -2147483647 is a value a column can hold.
  s.Mean = s.StdDev = s.Minimum = s.Maximum = std::numeric_limits<double>::quiet_NaN();
  if (n == 0) return;
  TStatsEngine e(std::span<double>(x, static_cast<std::size_t>(n)));
  e.MeanAndVariance();
  e.LowHighRange();
  s.Mean = e.Stats.Mean;
  s.Minimum = e.Stats.Low;
  s.Maximum = e.Stats.High;
  if (n > 1) s.StdDev = e.Stats.StdDev;
}

}  // namespace

TDescriptiveResult ComputeDescriptiveStatistics(TDataList& data, const std::vector<int>& columns,
                                                const TProgress& progress) {
  TDescriptiveResult res;
  std::vector<int> chosen = columns;
  if (chosen.empty()) {
    if (data.DataChanged) data.UpdateData();
    for (int c = 1; c <= data.MaxCol(); ++c)
      if (!data.StringVar[c]) chosen.push_back(c);
    if (chosen.empty()) {
      res.Error = NoNumericColumnsMessage;
      return res;
    }
  }
  // A column loads when it is included; the data set's flags are put back afterwards.
  TIncludeColumnsGuard guard(data);
  long long selectedCases = -1;
  for (std::size_t i = 0; i < chosen.size(); ++i) {
    if (progress && !progress(static_cast<double>(i) / static_cast<double>(chosen.size()))) {
      res.Stopped = true;
      return res;
    }
    const int c = chosen[i];
    TRunInfo ri;
    ri.ColRefRun = LoadColumn;
    data.IncludeCol[c] = true;
    data.DataToA_Array(c, ri);  // parses pending edits first
    if (data.StringVar[c]) {
      res.Error = "Column " + data.ColumnName(c) + " holds text, not numbers!";
      res.Columns.clear();
      return res;
    }
    if (selectedCases < 0) {
      selectedCases = 0;
      for (int r = 1; r <= data.Ncount; ++r) selectedCases += data.ProcessOK(r) ? 1 : 0;
    }
    TColumnSummary s;
    s.Column = c;
    s.Name = data.ColumnName(c);
    Summarise(A_Array.data() + 1, A_ArrayCount, s);
    s.Missing = selectedCases - s.N;
    res.Columns.push_back(std::move(s));
  }
  return res;
}

void WriteDescriptiveReport(const TDescriptiveResult& result, int decimals) {
  TitleStyle(10);
  WriteLine("Descriptive Statistics");
  BodyStyle(8);
  WriteBlankLine();
  using A = TReportTable::TAlign;
  TReportTable table;
  table.AddColumn("Variable", A::Left);
  for (const char* h : {"N", "Missing", "Mean", "Std Dev", "Minimum", "Maximum"})
    table.AddColumn(h, A::Right);
  for (const auto& s : result.Columns)
    table.AddRow({s.Name, TReportTable::Count(static_cast<double>(s.N)),
                  TReportTable::Count(static_cast<double>(s.Missing)),
                  TReportTable::Value(s.Mean, decimals), TReportTable::Value(s.StdDev, decimals),
                  TReportTable::Value(s.Minimum, decimals),
                  TReportTable::Value(s.Maximum, decimals)});
  table.Write();
}

TAnalysis DescriptiveStatisticsAnalysis() {
  TAnalysis a;
  a.Name = DescriptiveStatisticsCommand;
  a.Summary =
      "Count, missing values, mean, standard deviation, minimum and maximum of columns of "
      "the data set (Process If and the missing-value rule applied).";
  a.NeedsData = true;
  a.NoDataMessage = "There is no data to describe: open or type a data set first.";
  TOptionSpec columns;
  columns.Name = "columns";
  columns.Kind = TOptionKind::Columns;
  columns.Default = "";
  columns.Help = "columns by name or number, separated by commas (default: every numeric column)";
  columns.Label = "Columns";
  a.Options = {columns};
  a.Run = [](const TAnalysisContext& context) {
    TDescriptiveResult res = ComputeDescriptiveStatistics(
        *context.Data, context.Options.Columns("columns"), context.Progress);
    if (!res.Error.empty()) return TOutcome::Refuse(res.Error);
    TOutcome out;
    if (res.Stopped) {
      out.Status = TOutcome::TStatus::Stopped;
      return out;
    }
    TReportScope scope(out.Report);
    WriteDescriptiveReport(res, context.Options.Decimals());
    return out;
  };
  return a;
}

}  // namespace sorvel
