#include "cli/cli.h"
#include "cli/data_commands.h"
#include "cli/data_options.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <iomanip>

#include "data/data_state.h"
#include "data/io/data_file.h"
#include "numerics/common.h"
#include "output/report_rtf.h"
#include "output/report_text.h"
#include "shell/analysis_registry.h"
#include "shell/command_table.h"

namespace sorvel {

namespace {

TPictureSaver pictureSaver;

std::string LowerExtension(const std::string& path) {
  auto dot = path.find_last_of('.');
  auto slash = path.find_last_of('/');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  std::string ext = path.substr(dot);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

// "1600x1000": two whole numbers of 16 to 20000 pixels.
bool ReadChartSize(const std::string& text, int& width, int& height) {
  auto x = text.find_first_of("xX");
  if (x == std::string::npos) return false;
  auto whole = [](const std::string& t, int& v) {
    if (t.empty() || t.size() > 5 || t.find_first_not_of("0123456789") != std::string::npos)
      return false;
    v = std::stoi(t);
    return v >= 16 && v <= 20000;
  };
  return whole(text.substr(0, x), width) && whole(text.substr(x + 1), height);
}

const char* UsageText =
    "Usage: sorvelstats-cli --list | --version | --help\n"
    "       sorvelstats-cli COMMAND --help\n"
    "       sorvelstats-cli COMMAND [DATAFILE] [--option value ...]\n"
    "Common options:\n"
    "  --decimals N     0..9, as the window's \"Decimals\" box (default 4)\n"
    "  --format F       text (default) | rtf\n"
    "  --output FILE    write the report there instead of standard output\n"
    "  --chart FILE     .png, .svg or .pdf, for analyses that draw a chart or picture\n"
    "  --chart-size WxH the size of the --chart file in pixels (charts 1600x1000)\n"
    "Exit status: 0 report written; 1 the analysis refused its input; 2 usage error;\n"
    "             3 a file could not be read or written.\n";

// name, menu path, window caption, built or not, and whether the command line runs it.
void PrintList(std::ostream& out) {
  auto line = [&](const std::string& name, const std::string& path, const std::string& caption,
                  bool available) {
    out << name << '\t' << (path.empty() ? "-" : path) << '\t' << (caption.empty() ? "-" : caption)
        << '\t' << (available ? "available" : "not-built") << '\t'
        << (RunsFromCommandLine(name) ? "command-line" : "window-only") << '\n';
  };
  for (const auto& e : CommandTable())
    line(e.Name, e.Menu + " > " + StripAccelerator(e.Caption), e.WindowCaption,
         IsCommandAvailable(e.Name));
  for (const auto& e : WindowsWithoutMenu())
    line(e.Name, "", e.WindowCaption, IsCommandAvailable(e.Name));
  for (const auto& c : CommandLineOnlyCommands()) line(c.Name, "", "", true);
}

std::string ValueHint(const TOptionSpec& o) {
  switch (o.Kind) {
    case TOptionKind::Number: return "X";
    case TOptionKind::PositiveNumber: return "X>0";
    case TOptionKind::Probability: return "P";
    case TOptionKind::WholeNumber: return std::to_string(o.Min) + ".." + std::to_string(o.Max);
    case TOptionKind::Choice: {
      std::string s;
      for (const auto& c : o.Choices) s += (s.empty() ? "" : "|") + c.Value;
      return s;
    }
    case TOptionKind::Flag: return "";
    case TOptionKind::Column: return "COLUMN";
    case TOptionKind::Columns: return "COLUMNS";
    case TOptionKind::Text: return "TEXT";
  }
  return "";
}

// Generated from the option specs, so it cannot drift from what the window offers.
void PrintCommandHelp(const TAnalysis& a, std::ostream& out) {
  out << "Usage: sorvelstats-cli " << a.Name
      << (a.NeedsData ? (a.DataOptional ? " [DATAFILE]" : " DATAFILE") : "")
      << " [--option value ...]\n";
  if (!a.Summary.empty()) out << a.Summary << '\n';
  if (a.NeedsData)
    out << "DATAFILE is read as the data editor opens it (a data file of this program, "
           "delimited text, or a sheet of an .xlsx or .ods workbook)"
        << (a.DataOptional ? "; without it the typed values are analysed" : "") << ".\n";
  out << "Options:\n";
  auto row = [&](const std::string& head, const std::string& help) {
    out << std::left << std::setw(30) << head << ' ' << help << '\n';
  };
  for (const auto& o : a.Options) {
    const std::string hint = ValueHint(o);
    std::string help = o.Help;
    if (o.Kind == TOptionKind::Choice) {
      help += " (";
      for (std::size_t i = 0; i < o.Choices.size(); ++i)
        help += (i ? ", " : "") + o.Choices[i].Value + ": \"" + o.Choices[i].Caption + "\"";
      help += ")";
    }
    if (o.Kind != TOptionKind::Flag)
      help += " [default: " + (o.Default.empty() ? std::string("none") : o.Default) + "]";
    row("  --" + o.Name + (hint.empty() ? "" : " " + hint), help);
  }
  if (a.NeedsData) {
    row("  --sheet NAME|N", "the sheet of an .xlsx or .ods workbook DATAFILE [default: the first]");
    for (const auto& [head, help] : DataRuleHelpRows()) row(head, help);
  }
  row("  --format text|rtf", "report format [default: text]");
  row("  --output FILE", "write the report to FILE");
  if (a.DrawsPicture) {
    row("  --chart FILE", "write the picture to FILE (.png, .svg or .pdf)");
    row("  --chart-size WxH", "its size in pixels, as 1600x1000");
  }
}

// A file can be written only into a folder that exists.
bool FolderExists(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::path parent = fs::path(path).parent_path();
  if (parent.empty()) return true;
  return fs::is_directory(parent, ec);
}

}  // namespace

void SetPictureSaver(TPictureSaver saver) { pictureSaver = std::move(saver); }

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) {
    err << UsageText;
    return CliUsage;
  }
  if (int status = 0; RunDataCommand(args, out, err, status)) return status;
  const std::string& first = args[0];
  if (first == "--help" || first == "-h") {
    out << UsageText;
    return CliOk;
  }
  if (first == "--version") {
    out << "sorvelstats-cli " << SORVEL_VERSION << '\n';
    return CliOk;
  }
  if (first == "--list") {
    PrintList(out);
    return CliOk;
  }
  if (first.rfind("--", 0) == 0) {
    err << "sorvelstats-cli: unknown option '" << first << "'\n" << UsageText;
    return CliUsage;
  }

  const TAnalysis* analysis = AnalysisRegistry().Find(first);
  if (!analysis) {
    const TCommandEntry* entry = FindCommand(first);
    if (entry && !entry->Menu.empty())
      err << "sorvelstats-cli: the command '" << first << "' (" << entry->Menu << " > "
          << StripAccelerator(entry->Caption) << ") only opens a window; it does not run "
          << "from the command line\n";
    else if (entry)
      err << "sorvelstats-cli: the window '" << entry->WindowCaption
          << "' does not run from the command line\n";
    else
      err << "sorvelstats-cli: unknown command '" << first
          << "' (sorvelstats-cli --list shows the commands)\n";
    return CliUsage;
  }

  TOptions given, rules;
  std::string dataFile, format = "text", outputFile, chartFile, chartSize, sheet;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") {
      PrintCommandHelp(*analysis, out);
      return CliOk;
    }
    if (a.rfind("--", 0) != 0) {
      if (!analysis->NeedsData || !dataFile.empty()) {
        err << "sorvelstats-cli: unexpected argument '" << a << "'\n";
        return CliUsage;
      }
      dataFile = a;
      continue;
    }
    std::string name = a.substr(2), value;
    auto eq = name.find('=');
    bool hasValue = eq != std::string::npos;
    if (hasValue) {
      value = name.substr(eq + 1);
      name.resize(eq);
    }
    const TOptionSpec* spec = analysis->FindOption(name);
    // The data options (--missing, --process-if, ...) of every command that reads data.
    const bool dataRule = !spec && analysis->NeedsData && FindDataRuleOption(name);
    if (dataRule) spec = FindDataRuleOption(name);
    const bool common = name == "format" || name == "output" || name == "chart" ||
                        name == "chart-size" || name == "sheet";
    if (!spec && !common) {
      err << "sorvelstats-cli: " << analysis->Name << " has no option '--" << name
          << "' (sorvelstats-cli " << analysis->Name << " --help lists them)\n";
      return CliUsage;
    }
    if (spec && spec->Kind == TOptionKind::Flag && !hasValue) {
      value = "1";
    } else if (!hasValue) {
      if (i + 1 >= args.size()) {
        err << "sorvelstats-cli: the option '--" << name << "' needs a value\n";
        return CliUsage;
      }
      value = args[++i];
    }
    if (name == "format") {
      if (value != "text" && value != "rtf") {
        err << "sorvelstats-cli: --format takes text or rtf\n";
        return CliUsage;
      }
      format = value;
    } else if (name == "output") {
      outputFile = value;
    } else if (name == "chart") {
      chartFile = value;
    } else if (name == "chart-size") {
      chartSize = value;
    } else if (name == "sheet") {
      sheet = value;  // the sheet of a workbook DATAFILE
    } else if (dataRule) {
      rules[name] = value;
    } else {
      given[name] = value;
    }
  }
  if (analysis->NeedsData && dataFile.empty()) {
    if (!analysis->DataOptional) {
      err << "sorvelstats-cli: " << analysis->Name << " needs a data file\n";
      return CliUsage;
    }
    // Typed values only: the options that act on a data file have nothing to act on.
    const std::string without = !sheet.empty()  ? "sheet"
                                : rules.empty() ? ""
                                                : rules.begin()->first;
    if (!without.empty()) {
      err << "sorvelstats-cli: --" << without << " needs a data file\n";
      return CliUsage;
    }
  }
  int chartWidth = 0, chartHeight = 0;
  if (!chartSize.empty()) {
    if (!analysis->DrawsPicture) {
      err << "sorvelstats-cli: " << analysis->Name << " draws no chart\n";
      return CliUsage;
    }
    if (!ReadChartSize(chartSize, chartWidth, chartHeight)) {
      err << "sorvelstats-cli: --chart-size takes WIDTHxHEIGHT in pixels, each 16 to 20000, "
             "as 1600x1000\n";
      return CliUsage;
    }
  }
  if (!chartFile.empty()) {
    if (!analysis->DrawsPicture) {
      err << "sorvelstats-cli: " << analysis->Name << " draws no chart\n";
      return CliUsage;
    }
    std::string ext = LowerExtension(chartFile);
    if (ext != ".png" && ext != ".svg" && ext != ".pdf") {
      err << "sorvelstats-cli: --chart takes a file ending in .png, .svg or .pdf\n";
      return CliUsage;
    }
    if (!pictureSaver) {
      err << "sorvelstats-cli: this build has no Qt, so --chart is not available\n";
      return CliUsage;
    }
  }
  // Output places are checked before any work, so that a refused write is never
  // reported after a report went to standard output.
  for (const std::string* path : {&outputFile, &chartFile})
    if (!path->empty() && !FolderExists(*path)) {
      err << "sorvelstats-cli: cannot write '" << *path << "': no such folder\n";
      return CliFileError;
    }

  TDataList* data = nullptr;
  if (!dataFile.empty()) {
    // The data editor's reader: the same data set the window would analyse.
    TFileResult r = FileToDataGrid(dataFile, {}, sheet);
    if (!r.Ok) {
      err << "sorvelstats-cli: " << r.Error;
      if (!r.Detail.empty()) err << " (" << r.Detail << ')';
      err << '\n';
      return CliFileError;
    }
    for (const auto& w : r.Warnings) err << "sorvelstats-cli: " << w << '\n';
    data = &DataList();
  }
  TDataRuleSession dataRules(err);
  if (data)
    if (int status = dataRules.Apply(rules); status != CliOk) return status;

  StatError = 0;
  bool usageFault = false;
  TOutcome outcome = RunValidated(
      *analysis, given, data, {}, [&](const std::string& w) { err << w << '\n'; }, &usageFault);
  if (outcome.Status == TOutcome::TStatus::Refused) {
    if (usageFault) {
      err << "sorvelstats-cli: " << outcome.Error << '\n';
      return CliUsage;
    }
    err << outcome.Error << '\n';
    return CliRefused;
  }
  if (outcome.Status == TOutcome::TStatus::Stopped) {
    err << "sorvelstats-cli: " << analysis->Name << " stopped\n";
    return CliRefused;
  }
  std::string text = format == "rtf" ? ReportRtf(outcome.Report) : ReportPlainText(outcome.Report);
  if (outputFile.empty()) {
    out << text;
  } else {
    std::ofstream f(outputFile, std::ios::binary);
    f << text;
    f.close();
    if (!f) {
      err << "sorvelstats-cli: cannot write '" << outputFile << "'\n";
      return CliFileError;
    }
  }
  if (!chartFile.empty()) {
    std::string why;
    TGraphicToSave graphic;
    graphic.Chart = outcome.Chart ? &*outcome.Chart : nullptr;
    graphic.Picture = !graphic.Chart && outcome.Picture ? &*outcome.Picture : nullptr;
    graphic.Width = chartWidth;
    graphic.Height = chartHeight;
    if ((!graphic.Chart && !graphic.Picture) || !pictureSaver(graphic, chartFile, why)) {
      err << "sorvelstats-cli: cannot write '" << chartFile << "'"
          << (why.empty() ? "" : ": " + why) << '\n';
      return CliFileError;
    }
  }
  return CliOk;
}

}  // namespace sorvel
