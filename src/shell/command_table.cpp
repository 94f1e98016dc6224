#include "shell/command_table.h"

#include <cctype>

namespace sorvel {

std::string StripAccelerator(std::string_view caption) {
  std::string out;
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&') {
      if (i + 1 < caption.size() && caption[i + 1] == '&') {
        out += '&';
        ++i;
      }
      continue;
    }
    out += caption[i];
  }
  return out;
}

std::string CommandName(std::string_view caption) {
  std::string out;
  bool pendingDash = false;
  for (char c : caption) {
    if (c == '&' || c == '\'') continue;
    auto u = static_cast<unsigned char>(c);
    if (std::isalnum(u)) {
      if (pendingDash && !out.empty()) out += '-';
      pendingDash = false;
      out += static_cast<char>(std::tolower(u));
    } else {
      pendingDash = true;
    }
  }
  return out;
}

namespace {

using K = TCommandKind;

std::vector<TCommandEntry> BuildTable() {
  std::vector<TCommandEntry> t = {
      // File
      {"File", "&New", "", "", "", K::DataEditorCommand, false, ""},
      {"File", "&Open...", "F3", "", "", K::DataEditorCommand, true, ""},
      {"File", "Stay on &Top", "", "", "", K::Shell, true, ""},
      {"File", "&Data Editor", "F4", "TDataForm", "Data Editor", K::DataEditorCommand, false, ""},
      {"File", "Process &If", "F8", "", "Process If", K::DataEditorCommand, false, ""},
      {"File", "Number Format", "", "", "", K::Shell, true, ""},
      {"File", "View Main Form", "F6", "", "", K::Shell, false, ""},
      {"File", "View Next Visible Form", "F11", "", "", K::Shell, false, ""},
      {"File", "View Next Open Form", "F12", "", "", K::Shell, true, ""},
      {"File", "E&xit", "", "", "", K::Shell, false, ""},
      // Tests
      {"Tests", "&Mean/Dispersion Tests", "", "TT_testForm", "Mean/Dispersion Tests", K::Analysis,
       false, ""},
      {"Tests", "&Proportion Tests", "", "TProportionForm", "Proportion Tests", K::Analysis, false,
       ""},
      {"Tests", "McNemar's Test", "", "TMcNemarForm", "McNemar's Test", K::Analysis, false, ""},
      {"Tests", "Poisson &Rate Tests", "", "TPoissonForm", "Poisson Rate Tests", K::Analysis, false,
       ""},
      {"Tests", "&Nonparametric Tests", "", "TNPForm", "Nonparametric Tests", K::Analysis, false,
       ""},
      {"Tests", "Cross&tabs", "", "TCrosstabsForm", "Crosstabs", K::Analysis, true, ""},
      {"Tests", "&Oneway ANOVA", "", "TOnewayForm", "Oneway ANOVA", K::Analysis, false, ""},
      {"Tests", "Omega-Squared", "", "TOmega2form", "Omega-Squared Calculation", K::Analysis, false,
       ""},
      {"Tests", "Critical Mean &Difference", "", "TCMD_Form", "Critical Mean Difference",
       K::Analysis, true, ""},
      {"Tests", "&Correlation Tests", "", "TCorrelationForm", "Correlation Tests", K::Analysis,
       false, ""},
      {"Tests", "Correlation Matrix", "", "TForm_CorrMatrix", "Correlation Matrix", K::Analysis,
       false, ""},
      {"Tests", "&Scatter Plot", "", "TForm_ScatterPlot", "Scatter Plot", K::Analysis, true, ""},
      {"Tests", "&Explore", "F5", "TWNormal_Form", "Explore", K::Analysis, false, ""},
      // Design
      {"Design", "&Random Sequences", "", "TRandomForm", "Random Sequences", K::Analysis, false,
       ""},
      {"Design", "&Sample Size", "", "TSampleSizeForm", "Sample Size", K::Analysis, false, ""},
      {"Design", "&Power Curves", "", "TPowerForm", "Power Curves", K::Analysis, false, ""},
      {"Design", "&Expected Mean Squares", "", "TEMS_form", "Expected Mean Squares", K::Analysis,
       false, ""},
      // Distributions
      // clang-format off
      {"Distributions", "&Binomial", "", "TBinomialDist", "Binomial Distribution", K::Analysis, false, ""},
      {"Distributions", "&Poisson", "", "TPoissonDistForm", "Poisson Distribution", K::Analysis, false, ""},
      {"Distributions", "&Hypergeometric", "", "THypergeometricForm", "Hypergeometric Distribution", K::Analysis, false, ""},
      {"Distributions", "&Geometric", "", "TGeoDistForm", "Geometric Distribution", K::Analysis, false, ""},
      {"Distributions", "&Exponential", "", "TExponentialForm", "Exponential Distribution", K::Analysis, false, ""},
      {"Distributions", "&Test Statistics", "", "TTestStatForm", "Test Statistics", K::Analysis, false, ""},
      {"Distributions", "&z Score (Normal)", "", "TZscoreForm", "z - Score", K::Analysis, false, ""},
      // clang-format on
      // SPC
      // clang-format off
      {"SPC", "&Variables Control Charts", "", "TForm_VARSetup", "Variables Chart Setup", K::Analysis, false, ""},
      {"SPC", "&Attributes Control Charts", "", "TForm_AttrSetup", "Attributes Chart Setup", K::Analysis, false, ""},
      {"SPC", "A&utocorrelation", "", "TForm_AutoCorrelation", "Autocorrelation", K::Analysis, true, ""},
      {"SPC", "Control &Test Selection", "", "TForm_ControlTests", "Tests for Statistical Control", K::Analysis, true, ""},
      {"SPC", "Control &Limit Calculations", "", "TControl_Limit_Form", "Control Limit Calculations", K::Analysis, false, ""},
      {"SPC", "Capability/Performance && Distribution Analysis", "", "TForm_CapabilitySetup", "Capability/Performance Setup", K::Analysis, false, ""},
      // clang-format on
      {"SPC", "&Capability", "", "TCapabilityForm", "Capability", K::Analysis, true, ""},
      {"SPC", "&Measurement Systems Analysis", "", "TForm_MSA", "Measurement Systems Analysis",
       K::Analysis, false, ""},
      // Help
      {"Help", "&Contents", "", "", "", K::Help, false, ""},
      {"Help", "&Introduction", "F1", "", "", K::Help, false, ""},
      {"Help", "&Main Form", "", "", "", K::Help, true, ""},
      {"Help", "Sorvel &Web Site", "", "", "", K::Help, false, ""},
      {"Help", "Check for &Updates", "", "", "", K::Help, false, ""},
      {"Help", "&About...", "", "", "", K::Help, false, ""},
  };
  for (auto& e : t) e.Name = CommandName(e.Caption);
  return t;
}

}  // namespace

const std::vector<TCommandEntry>& CommandTable() {
  static const std::vector<TCommandEntry> table = BuildTable();
  return table;
}

const std::vector<TCommandEntry>& WindowsWithoutMenu() {
  static const std::vector<TCommandEntry> windows = [] {
    std::vector<TCommandEntry> t = {
        // Count, mean and spread of columns; Explore will hold it among its pages.
        {"", "", "", "TDescriptiveForm", "Descriptive Statistics", K::Analysis, false,
         "descriptive-statistics"},
        // Explore's graph windows, opened with Explore's run.
        {"", "", "", "THistForm", "Histogram", K::Analysis, false, "histogram"},
        {"", "", "", "TPlot_Form", "Plots", K::Analysis, false, "plots"},
        {"", "", "", "TFrequencyPlotForm", "Frequency Plots", K::Analysis, false,
         "frequency-plots"},
    };
    for (auto& e : t)
      if (e.Name.empty()) e.Name = CommandName(e.WindowCaption);
    return t;
  }();
  return windows;
}

const TCommandEntry* FindCommand(std::string_view name) {
  for (const auto* list : {&CommandTable(), &WindowsWithoutMenu()})
    for (const auto& e : *list)
      if (e.Name == name) return &e;
  return nullptr;
}

const std::vector<TMenuDef>& MainMenus() {
  static const std::vector<TMenuDef> menus = {
      {"File", "&File"},     {"Tests", "&Tests"},
      {"Design", "&Design"}, {"Distributions", "D&istributions"},
      {"SPC", "&SPC"},       {"Help", "&Help"},
  };
  return menus;
}

}  // namespace sorvel
