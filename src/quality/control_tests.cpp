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
      const int m =
          static_cast<unsigned char>((*values)[static_cast<std::size_t>(ControlTestCount + t - 1)]) - 64;
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
  const std::string L = std::to_string(s.TestParam[static_cast<std::size_t>(std::clamp(test, 0, 9))]);
  const std::string m = std::to_string(s.TestWindow[static_cast<std::size_t>(std::clamp(test, 0, 9))]);
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
                                         const TControlTestRows& rows, bool useMR,
                                         int chartIndex, const TControlTestSettings& settings) {
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

  // Points n - len + 1 .. n belong together: no break, no set change, every statistic
  // present. Checked for every window, the first one too, so that a missing first value
  // never takes part in a run. linked[n] counts the points ending at n that belong
  // together, so each check is one comparison.
  std::vector<int> linked(static_cast<std::size_t>(count) + 1, 0);
  for (int i = 1; i <= count; ++i) {
    if (!IsPresent(x[i])) continue;
    const bool joins = i > 1 && IsPresent(x[i - 1]) && brk[i - 1] != 1 && set[i - 1] == set[i];
    linked[static_cast<std::size_t>(i)] = joins ? linked[static_cast<std::size_t>(i - 1)] + 1 : 1;
  }
  auto together = [&](int n, int len) { return linked[static_cast<std::size_t>(n)] >= len; };
  auto outside = [&](int i, double width) {
    return IsPresent(cl[i]) && IsPresent(sigma[i]) && std::fabs(x[i] - cl[i]) > width * sigma[i];
  };

  for (int n = 1; n <= count; ++n) {
    if (!IsPresent(x[n])) continue;
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
    auto enabled = [&](int t) { return check[static_cast<std::size_t>(t)]; };

    if (enabled(1) && ((IsPresent(ucl[n]) && x[n] > ucl[n]) || (IsPresent(lcl[n]) && x[n] < lcl[n])))
      mark(1, param(1) - 1);

    if (enabled(2) && together(n, param(2))) {
      const int L = param(2);
      int sum = 0, i = 1;
      for (; i <= L; ++i) {
        const int p = n - i + 1;
        if (!IsPresent(cl[p])) break;
        sum += x[p] > cl[p] ? 1 : x[p] < cl[p] ? -1 : 0;
        if (std::abs(sum) < i) break;
      }
      if (std::abs(sum) == L) mark(2, L - 1);
    }

    if (enabled(3) && together(n, param(3))) {
      const int L = param(3);
      int sum = 0;
      for (int step = 1; step <= L - 1; ++step) {
        const int p = n - step + 1;
        sum += x[p] > x[p - 1] ? 1 : x[p] < x[p - 1] ? -1 : 0;
        if (std::abs(sum) < step) break;
      }
      if (std::abs(sum) + 1 == L) mark(3, L - 1);
    }

    if (enabled(4) && together(n, param(4))) {
      const int L = param(4);
      int above = 0, below = 0;
      for (int p = n; p > n - L; --p) {
        if (!IsPresent(cl[p]) || !IsPresent(sigma[p])) break;
        if (x[p] > cl[p] + sigma[p])
          ++above;
        else if (x[p] < cl[p] - sigma[p])
          ++below;
        else
          break;
      }
      if (above > 0 && below > 0 && above + below == L) mark(4, L - 1);
    }

    if (enabled(5) && together(n, param(5))) {
      const int L = param(5);
      int inside = 0;
      for (int p = n; p > n - L; --p) {
        if (!IsPresent(cl[p]) || !IsPresent(sigma[p])) break;
        if (!(x[p] > cl[p] - sigma[p] && x[p] < cl[p] + sigma[p])) break;
        ++inside;
      }
      if (inside == L) mark(5, L - 1);
    }

    if (enabled(6) && together(n, param(6))) {
      const int L = param(6);
      int turns = 0;
      for (int p = n - 1; p >= n - L + 2; --p) {
        const bool peak = x[p] > x[p - 1] && x[p] > x[p + 1];
        const bool valley = x[p] < x[p - 1] && x[p] < x[p + 1];
        if (!peak && !valley) break;
        ++turns;
      }
      if (turns == L - 2) mark(6, L - 1);
    }

    for (int t = 7; t <= 8; ++t) {
      const int k = param(t), m = window(t);
      if (!enabled(t) || !together(n, m)) continue;
      int out = 0, in = 0;
      for (int p = n; p > n - m; --p) {
        if (outside(p, t == 7 ? 1.0 : 2.0))
          ++out;
        else if (++in > m - k)
          break;
      }
      if (out == k) mark(t, m - 1);
    }

    if (enabled(9) && n > 1 && together(n, 2)) {
      const double limit = MovingRangeSigmas * sigma[n];
      if (IsPresent(sigma[n]) && limit > 0 && std::fabs(x[n] - x[n - 1]) > limit) mark(9, param(9) - 1);
    }

    if (!S.empty()) codes.At(n) += S;
  }
  return fired;
}

std::vector<TTestFiring> RunControlTests(const ChartArrayType& table, int count,
                                         const TControlTestRows& rows, bool useMR,
                                         int chartIndex) {
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
