#include "quality/control_tests.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "numerics/common.h"
#include "numerics/settings_store.h"

namespace sorvel {

namespace {

// The codes of one chart: most points have none, so each point holds the index + 1 of its
// code string (0 for none) instead of a string of its own.
struct TPointCodes {
  std::vector<std::int32_t> Slot;
  std::vector<std::string> Texts;
  void Reset(int count) {
    Slot.assign(static_cast<std::size_t>(std::max(count, 0)) + 1, 0);
    Texts.clear();
  }
  std::string& At(int point) {
    std::int32_t& slot = Slot[static_cast<std::size_t>(point)];
    if (slot == 0) {
      Texts.emplace_back();
      slot = static_cast<std::int32_t>(Texts.size());
    }
    return Texts[static_cast<std::size_t>(slot - 1)];
  }
};

std::array<TPointCodes, 2>& Codes() {
  static std::array<TPointCodes, 2> codes;
  return codes;
}

constexpr double MovingRangeSigmas = 3.6864;

}  // namespace

TControlTestSettings DefaultControlTestSettings() {
  TControlTestSettings s;
  for (int t = 1; t <= 6; ++t) s.StdCheck[static_cast<std::size_t>(t)] = true;
  s.MRCheck[1] = true;
  s.TestParam = {0, 0, 8, 6, 8, 15, 14, 4, 2, 0};
  s.TestWindow = {0, 0, 0, 0, 0, 0, 0, 5, 3, 0};
  return s;
}

TControlTestSettings& ControlTestSettings() {
  // Read from the settings store on first use: the program installs its store at start-up.
  static TControlTestSettings settings = ReadControlTestSettings(Settings());
  return settings;
}

int TestParamMin(int test) {
  switch (test) {
    case 4:
    case 6: return 3;
    case 7:
    case 8: return 1;
    default: return 2;
  }
}

std::string EncodeChecks(const std::array<bool, 10>& checks) {
  std::string s;
  for (int t = 1; t <= ControlTestCount; ++t) s += checks[static_cast<std::size_t>(t)] ? '1' : '0';
  return s;
}

std::string EncodeTestValues(const TControlTestSettings& s) {
  std::string out;
  for (int t = 1; t <= ControlTestCount; ++t)
    out += static_cast<char>(s.TestParam[static_cast<std::size_t>(t)] + 64);
  for (int t = 1; t <= ControlTestCount; ++t)
    out += static_cast<char>(s.TestWindow[static_cast<std::size_t>(t)] + 64);
  return out;
}

TControlTestSettings ReadControlTestSettings(const SettingsStore& store) {
  TControlTestSettings s = DefaultControlTestSettings();
  const auto std = store.Read(SettingsGroup, StdCheckKey);
  if (!std) return s;
  auto checks = [](const std::optional<std::string>& text, std::array<bool, 10>& into) {
    if (!text || text->size() != ControlTestCount) return;
    for (int t = 1; t <= ControlTestCount; ++t) {
      const char c = (*text)[static_cast<std::size_t>(t - 1)];
      if (c == '1' || c == '0') into[static_cast<std::size_t>(t)] = c == '1';
    }
  };
  checks(std, s.StdCheck);
  checks(store.Read(SettingsGroup, MRCheckKey), s.MRCheck);
  const auto values = store.Read(SettingsGroup, TestValuesKey);
  if (values && values->size() == 2 * ControlTestCount) {
    for (int t = 2; t <= 8; ++t) {
      const int v = static_cast<unsigned char>((*values)[static_cast<std::size_t>(t - 1)]) - 64;
      if (v >= TestParamMin(t) && v <= TestParamMax) s.TestParam[static_cast<std::size_t>(t)] = v;
    }
    for (int t = 7; t <= 8; ++t) {
      const int m = static_cast<unsigned char>(
                        (*values)[static_cast<std::size_t>(ControlTestCount + t - 1)]) -
                    64;
      if (m >= ZoneWindowMin && m <= TestParamMax) s.TestWindow[static_cast<std::size_t>(t)] = m;
    }
    // The zone rules need k below m; a damaged pair gets its defaults back.
    const TControlTestSettings d = DefaultControlTestSettings();
    for (std::size_t t = 7; t <= 8; ++t) {
      if (s.TestParam[t] >= s.TestWindow[t]) {
        s.TestParam[t] = d.TestParam[t];
        s.TestWindow[t] = d.TestWindow[t];
      }
    }
  }
  return s;
}

void WriteControlTestSettings(SettingsStore& store, const TControlTestSettings& s) {
  store.Write(SettingsGroup, StdCheckKey, EncodeChecks(s.StdCheck));
  store.Write(SettingsGroup, MRCheckKey, EncodeChecks(s.MRCheck));
  store.Write(SettingsGroup, TestValuesKey, EncodeTestValues(s));
}

char TestCode(int test) {
  static const char codes[] = "?ORTELA12M";
  return test >= 1 && test <= ControlTestCount ? codes[test] : '?';
}

std::string TestDescription(int test, const TControlTestSettings& s) {
  const std::string L =
      std::to_string(s.TestParam[static_cast<std::size_t>(std::clamp(test, 0, 9))]);
  const std::string m =
      std::to_string(s.TestWindow[static_cast<std::size_t>(std::clamp(test, 0, 9))]);
  switch (test) {
    case 1: return "Points Outside Control Limits";
    case 2: return "Run of " + L + " or More Above/Below the Centerline";
    case 3: return "Trend of " + L + " or More Increasing/Decreasing";
    case 4: return "Excessive Variability, " + L + " or More Outside One Standard Error";
    case 5: return "Lack of Variability, " + L + " or More Inside One Standard Error";
    case 6: return L + " or More Alternating Values";
    case 7: return L + " of " + m + " Outside One Standard Error";
    case 8: return L + " of " + m + " Outside Two Standard Error";
    case 9: return "Excessive Moving Range Between Two Points";
    default: return "";
  }
}

std::string TestDescription(int test) { return TestDescription(test, ControlTestSettings()); }

std::vector<TTestFiring> RunControlTests(const ChartArrayType& table, int count,
                                         const TControlTestRows& rows, bool useMR, int chartIndex,
                                         const TControlTestSettings& settings) {
  std::vector<TTestFiring> fired;
  auto& codes = Codes()[chartIndex == 1 ? 1 : 0];
  codes.Reset(count);
  const std::array<bool, 10>& check = useMR ? settings.MRCheck : settings.StdCheck;
  if (count <= 0) return fired;

  const double* x = table.Rows[static_cast<std::size_t>(rows.Stat)].data();
  const double* lcl = table.Rows[static_cast<std::size_t>(rows.LCL)].data();
  const double* cl = table.Rows[static_cast<std::size_t>(rows.CL)].data();
  const double* ucl = table.Rows[static_cast<std::size_t>(rows.UCL)].data();
  const double* sigma = table.Rows[static_cast<std::size_t>(rows.Sigma)].data();
  const double* set = table.Rows[static_cast<std::size_t>(rows.Set)].data();
  const double* brk = table.Rows[static_cast<std::size_t>(rows.Break)].data();
  auto param = [&](int t) { return settings.TestParam[static_cast<std::size_t>(t)]; };
  auto window = [&](int t) { return settings.TestWindow[static_cast<std::size_t>(t)]; };

  // One pass. Points n - len + 1 .. n belong together when no break, no set change and no
  // missing statistic lies between them: `linked` counts the points ending at n that do,
  // checked for every window, the first one too, so that a missing first value never takes
  // part in a run. The runs ending at each point (same side of the centre, strict steps in
  // one direction, outside and strictly inside centre +- sigma, turning points) need only
  // their value at the point before; the prefix counts of points above centre + sigma and
  // beyond one and two sigmas are kept for the windows of tests 4, 7 and 8. A missing
  // centre or sigma breaks a run and counts as inside.
  // One scratch block kept between calls: a large chart is tested again at every redraw.
  const auto size = static_cast<std::size_t>(count) + 2;
  static std::vector<int> scratch;
  if (scratch.size() < 3 * size) scratch.resize(3 * size);
  int* above1 = scratch.data();
  int* out1 = above1 + size;
  int* out2 = out1 + size;
  above1[0] = out1[0] = out2[0] = 0;
  int linked = 0, side = 0, sideRun = 0, step = 0, stepRun = 0, outRun = 0, inRun = 0, turnRun = 0;
  auto enabled = [&](int t) { return check[static_cast<std::size_t>(t)]; };

  // The states are sums and products of comparisons rather than branches: on noisy data
  // each comparison goes either way, and a mispredicted branch costs more than the arithmetic.
  // x[0] exists (the row's margin); the factor on n keeps it out.
  for (int n = 1; n <= count; ++n) {
    const auto u = static_cast<std::size_t>(n);
    const double xn = x[n], xp = x[n - 1], c = cl[n], sg = sigma[n];
    const int present = IsPresent(xn);
    const int previous = (n > 1) & IsPresent(xp);
    const int joins = previous & (brk[n - 1] != 1) & (set[n - 1] == set[n]);
    linked = present * (joins * linked + 1);
    const int centred = present & IsPresent(c);
    const int newSide = centred * ((xn > c) - (xn < c));
    sideRun = (newSide != 0) * ((newSide == side) * sideRun + 1);
    side = newSide;
    const int newStep = (previous & present) * ((xn > xp) - (xn < xp));
    stepRun = (newStep != 0) * ((newStep == step) * stepRun + 1);
    step = newStep;
    const int zoned = centred & IsPresent(sg);
    const double d = xn - c;
    const int a1 = zoned & (d > sg), b1 = zoned & (d < -sg);
    outRun = (a1 | b1) * (outRun + 1);
    inRun = (zoned & (-sg < d) & (d < sg)) * (inRun + 1);
    above1[u] = above1[u - 1] + a1;
    out1[u] = out1[u - 1] + (zoned & (std::fabs(d) > sg));
    out2[u] = out2[u - 1] + (zoned & (std::fabs(d) > 2 * sg));
    const int turnRunBefore = turnRun;
    // not every caller's rows have a margin after the last point
    const double xq = n < count ? x[n + 1] : xn;
    const int turn = (n > 1) & (n < count) & (((xn > xp) & (xn > xq)) | ((xn < xp) & (xn < xq)));
    turnRun = turn * (turnRun + 1);
    if (!present) continue;
    auto together = [&](int len) { return linked >= len; };

    std::string S;
    auto mark = [&](int test, int lookBack) {
      const char code = TestCode(test);
      for (int i = n - lookBack; i <= n - 1 && lookBack > 0; ++i) {
        std::string& c = codes.At(i);
        if (c.find(code) == std::string::npos) c += code;
      }
      S += code;
      fired.push_back({n, test});
    };

    // 1: beyond a present limit.
    if (enabled(1) &&
        ((IsPresent(ucl[n]) && x[n] > ucl[n]) || (IsPresent(lcl[n]) && x[n] < lcl[n])))
      mark(1, param(1) - 1);
    // 2: the last L points strictly on one side of the centre.
    if (enabled(2) && together(param(2)) && sideRun >= param(2)) mark(2, param(2) - 1);
    // 3: the last L - 1 steps strictly in one direction.
    if (enabled(3) && together(param(3)) && stepRun >= param(3) - 1) mark(3, param(3) - 1);
    // 4: the last L points outside centre +- sigma, on both sides.
    if (enabled(4) && together(param(4)) && outRun >= param(4)) {
      const int above = above1[u] - above1[u - static_cast<std::size_t>(param(4))];
      if (above > 0 && above < param(4)) mark(4, param(4) - 1);
    }
    // 5: the last L points strictly inside centre +- sigma.
    if (enabled(5) && together(param(5)) && inRun >= param(5)) mark(5, param(5) - 1);
    // 6: the L - 2 inner points of the last L all peaks or valleys.
    if (enabled(6) && together(param(6)) && turnRunBefore >= param(6) - 2) mark(6, param(6) - 1);
    // 7, 8: exactly k of the last m points beyond one (two) sigmas.
    for (int t = 7; t <= 8; ++t) {
      const int k = param(t), m = window(t);
      if (!enabled(t) || !together(m)) continue;
      const int* beyond = t == 7 ? out1 : out2;
      if (beyond[u] - beyond[u - static_cast<std::size_t>(m)] == k) mark(t, m - 1);
    }

    if (enabled(9) && n > 1 && together(2)) {
      const double limit = MovingRangeSigmas * sigma[n];
      if (IsPresent(sigma[n]) && limit > 0 && std::fabs(x[n] - x[n - 1]) > limit)
        mark(9, param(9) - 1);
    }

    if (!S.empty()) codes.At(n) += S;
  }
  return fired;
}

std::vector<TTestFiring> RunControlTests(const ChartArrayType& table, int count,
                                         const TControlTestRows& rows, bool useMR, int chartIndex) {
  return RunControlTests(table, count, rows, useMR, chartIndex, ControlTestSettings());
}

const std::string& PointCodes(int chartIndex, int point) {
  static const std::string none;
  const auto& codes = Codes()[chartIndex == 1 ? 1 : 0];
  if (point < 1 || point >= static_cast<int>(codes.Slot.size())) return none;
  const std::int32_t slot = codes.Slot[static_cast<std::size_t>(point)];
  return slot == 0 ? none : codes.Texts[static_cast<std::size_t>(slot - 1)];
}

}  // namespace sorvel
