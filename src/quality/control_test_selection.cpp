#include "quality/control_test_selection.h"

#include <sstream>

#include "numerics/settings_store.h"
#include "output/report_table.h"
#include "output/report_writer.h"

namespace sorvel {

namespace {

struct TLengthOption {
  const char* Name;
  const char* Label;  // the dialog's row caption without its accelerator
  int Test;
};
const TLengthOption LengthOptions[] = {
    {"run", "Run", 2},
    {"trend", "Trend", 3},
    {"excess-variability", "Excess Variablity", 4},
    {"lack-of-variability", "Lack of Variablity", 5},
    {"alternating-values", "Alternating Values", 6},
};

std::string Num(int v) { return std::to_string(v); }

TOptionSpec TextOption(const char* name, const char* label, const char* help) {
  TOptionSpec s;
  s.Name = name;
  s.Kind = TOptionKind::Text;
  s.Default = "";
  s.Label = label;
  s.Help = help;
  return s;
}

bool ReadWhole(const std::string& text, int& value) {
  if (text.empty() || text.size() > 3) return false;
  value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  return true;
}

// "1,2,3" (or "none") -> the checks of tests 1 .. last.
bool ReadTestList(const std::string& text, int last, std::array<bool, 10>& checks) {
  std::array<bool, 10> out = checks;
  for (int t = 1; t <= last; ++t) out[static_cast<std::size_t>(t)] = false;
  if (text != "none") {
    std::stringstream in(text);
    std::string item;
    while (std::getline(in, item, ',')) {
      int t = 0;
      if (!ReadWhole(item, t) || t < 1 || t > last) return false;
      out[static_cast<std::size_t>(t)] = true;
    }
  }
  checks = out;
  return true;
}

}  // namespace

std::string ControlTestRowText(int test, const TControlTestSettings& s) {
  const auto p = [&](int t) { return Num(s.TestParam[static_cast<std::size_t>(t)]); };
  const auto w = [&](int t) { return Num(s.TestWindow[static_cast<std::size_t>(t)]); };
  switch (test) {
    case 1: return "Points Outside Control Limits";
    case 2: return "Run: " + p(2) + " Consecutive Points All Above or All Below the Centerline";
    case 3: return "Trend: " + p(3) + " Consectutive Points All Increasing or All Decreasing";
    case 4: return "Excess Variablity: " + p(4) + " Consectutive Points Outside One Standard Error";
    case 5: return "Lack of Variablity: " + p(5) + " Consectutive Points Within One Standard Error";
    case 6: return "Alternating Values: " + p(6) + " Consectutive Points Alternating directiion";
    case 7:
      return "Zone Rule 1: " + p(7) + " of " + w(7) +
             " Consectutive Points Outside One Standard Error";
    case 8:
      return "Zone Rule 2: " + p(8) + " of " + w(8) +
             " Consectutive Points Outside Two Standard Errors";
    case 9: return "Excessive Moving Range between Two Points (3.6864 Standard Errors)";
    default: return "";
  }
}

std::vector<TOptionSpec> ControlTestOptions() {
  std::vector<TOptionSpec> specs = {
      TextOption(
          "standard", "Standard",
          "run tests of standard charts, e.g. 1,2,3,4,5,6 (none: all off; empty: as stored)"),
      TextOption(
          "moving-range", "Moving Range",
          "run tests of moving-range charts, tests 1 to 8 (none: all off; empty: as stored)"),
  };
  for (const TLengthOption& l : LengthOptions) {
    const std::string help = "length L of test " + Num(l.Test) + " (" + Num(TestParamMin(l.Test)) +
                             " to 99; empty: as stored)";
    TOptionSpec s = TextOption(l.Name, l.Label, "");
    s.Help = help;
    specs.push_back(s);
  }
  specs.push_back(
      TextOption("zone-rule-1", "Zone Rule 1", "k/m of test 7, k < m (empty: as stored)"));
  specs.push_back(
      TextOption("zone-rule-2", "Zone Rule 2", "k/m of test 8, k < m (empty: as stored)"));
  return specs;
}

bool ApplyControlTestOptions(const TOptionValues& o, TControlTestSettings& s, std::string& error) {
  TControlTestSettings out = s;
  const std::string& standard = o.Text("standard");
  if (!standard.empty() && !ReadTestList(standard, 9, out.StdCheck)) {
    error = "'" + standard + "' is not a list of tests 1 to 9!";
    return false;
  }
  const std::string& mr = o.Text("moving-range");
  if (!mr.empty() && !ReadTestList(mr, 8, out.MRCheck)) {
    error = "'" + mr + "' is not a list of tests 1 to 8!";
    return false;
  }
  for (const TLengthOption& l : LengthOptions) {
    const std::string& text = o.Text(l.Name);
    if (text.empty()) continue;
    int v = 0;
    if (!ReadWhole(text, v) || v < TestParamMin(l.Test) || v > TestParamMax) {
      error = std::string(l.Label) + " must be a whole number from " + Num(TestParamMin(l.Test)) +
              " to 99!";
      return false;
    }
    out.TestParam[static_cast<std::size_t>(l.Test)] = v;
  }
  for (int t = 7; t <= 8; ++t) {
    const std::string& text = o.Text(t == 7 ? "zone-rule-1" : "zone-rule-2");
    if (text.empty()) continue;
    const auto slash = text.find('/');
    int k = 0, m = 0;
    if (slash == std::string::npos || !ReadWhole(text.substr(0, slash), k) ||
        !ReadWhole(text.substr(slash + 1), m) || k < 1 || m < ZoneWindowMin || m > TestParamMax ||
        k >= m) {
      error =
          std::string("Zone Rule ") + (t == 7 ? "1" : "2") + " must be k/m with 1 <= k < m <= 99!";
      return false;
    }
    out.TestParam[static_cast<std::size_t>(t)] = k;
    out.TestWindow[static_cast<std::size_t>(t)] = m;
  }
  s = out;
  return true;
}

void LoadControlTestSettings() { ControlTestSettings() = ReadControlTestSettings(Settings()); }

void WriteControlTestReport(const TControlTestSettings& s) {
  TitleStyle(10);
  WriteLine("Tests for Statistical Control");
  WriteBlankLine();
  BodyStyle(8);
  TReportTable table;
  table.AddColumn("Statistical Tests", TReportTable::TAlign::Left);
  table.AddColumn("Standard", TReportTable::TAlign::Left);
  table.AddColumn("Moving Range", TReportTable::TAlign::Left);
  for (int t = 1; t <= ControlTestCount; ++t) {
    const auto i = static_cast<std::size_t>(t);
    table.AddRow({std::string(1, TestCode(t)) + "  " + ControlTestRowText(t, s),
                  s.StdCheck[i] ? "on" : "off", t == 9 ? "" : (s.MRCheck[i] ? "on" : "off")});
  }
  table.Write();
}

TAnalysis ControlTestSelectionAnalysis() {
  TAnalysis a;
  a.Name = ControlTestSelectionCommand;
  a.Summary =
      "The run tests that control charts apply and their lengths; the options change them "
      "for the run, --save-as-default keeps them.";
  a.Options = ControlTestOptions();
  TOptionSpec save;
  save.Name = "save-as-default";
  save.Kind = TOptionKind::Flag;
  save.Default = "0";
  save.Label = "Save as Default";
  save.Help = "stores the selection as the default of every chart";
  TOptionSpec restore = save;
  restore.Name = "restore-default";
  restore.Label = "Restore Default";
  restore.Help = "starts from the stored default (the built-in one when none is stored)";
  a.Options.push_back(save);
  a.Options.push_back(restore);
  a.Run = [](const TAnalysisContext& context) {
    const TOptionValues& o = context.Options;
    TControlTestSettings s =
        o.Flag("restore-default") ? ReadControlTestSettings(Settings()) : ControlTestSettings();
    std::string error;
    if (!ApplyControlTestOptions(o, s, error)) return TOutcome::Refuse(error);
    const bool saving = o.Flag("save-as-default");
    if (saving) {
      WriteControlTestSettings(Settings(), s);
      ControlTestSettings() = s;
    }
    TOutcome out;
    {
      TReportScope scope(out.Report);
      WriteControlTestReport(s);
      if (saving) {
        WriteBlankLine();
        WriteLine(SettingsSavedMessage);
      }
    }
    return out;
  };
  return a;
}

}  // namespace sorvel
