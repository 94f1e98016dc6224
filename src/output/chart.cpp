#include "output/chart.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "numerics/common.h"

namespace sorvel {

static_assert(MissingValue == -2147483647.0, "ChartValueMissing knows the missing value");

TValueFormat ParseValueFormat(const std::string& format) {
  TValueFormat f;
  f.Group = format.find(',') != std::string::npos;
  f.MinDecimals = f.MaxDecimals = 0;
  auto point = format.find('.');
  if (point == std::string::npos) return f;
  for (size_t i = point + 1; i < format.size(); ++i) {
    if (format[i] == '0') {
      ++f.MinDecimals;
      ++f.MaxDecimals;
    } else if (format[i] == '#') {
      ++f.MaxDecimals;
    } else {
      break;
    }
  }
  f.MaxDecimals = std::min(f.MaxDecimals, 15);
  f.MinDecimals = std::min(f.MinDecimals, f.MaxDecimals);
  return f;
}

std::string FormatAxisValue(double v, const std::string& format) {
  if (!std::isfinite(v)) return {};
  TValueFormat f = ParseValueFormat(format);
  char buf[400];
  auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, f.MaxDecimals);
  std::string s(buf, r.ptr);
  // trailing zeros beyond the decimals always shown
  auto point = s.find('.');
  if (point != std::string::npos) {
    size_t keep = point + 1 + f.MinDecimals;
    while (s.size() > keep && s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
  }
  bool negative = !s.empty() && s[0] == '-';
  if (negative) s.erase(0, 1);
  if (s.find_first_not_of("0.") == std::string::npos) negative = false;  // no "-0"
  if (f.Group) {
    size_t intEnd = s.find('.');
    if (intEnd == std::string::npos) intEnd = s.size();
    for (size_t i = intEnd; i > 3; i -= 3) s.insert(i - 3, ",");
  }
  return negative ? "-" + s : s;
}

TChartSeries& TChart::Add(TSeriesKind kind, std::string title, int panel) {
  TChartSeries s;
  s.Kind = kind;
  s.Title = std::move(title);
  s.Panel = panel;
  Series.push_back(std::move(s));
  return Series.back();
}

size_t TChart::PointCount() const {
  size_t n = 0;
  for (const auto& s : Series)
    if (s.Kind == TSeriesKind::Points && s.Visible)
      for (size_t i = 0; i < s.Count(); ++i)
        if (!ChartValueMissing(s.X[i]) && i < s.Y.size() && !ChartValueMissing(s.Y[i])) ++n;
  return n;
}

TChartAxis* TChart::ExtraVerticalAxis() {
  if (Panels.size() > 1) return &Panels[1].Left;
  if (!Panels.empty() && Panels[0].HasExtra) return &Panels[0].Extra;
  return nullptr;
}

const TChartAxis* TChart::ExtraVerticalAxis() const {
  return const_cast<TChart*>(this)->ExtraVerticalAxis();
}

bool& ChartBlackWhite() {
  static bool flag = false;
  return flag;
}

std::string& SharedReportTitle() {
  static std::string title;
  return title;
}

}  // namespace sorvel
