#include "cli/cli.h"
#include "cli/data_commands.h"

#include <cctype>
#include <fstream>
#include <iomanip>
#include <set>

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

const char* UsageText =
    "Usage: sorvelstats-cli --list | --version | --help\n"
    "       sorvelstats-cli COMMAND --help\n"
    "       sorvelstats-cli COMMAND [DATAFILE] [--option value ...]\n"
    "Common options:\n"
    "  --decimals N     0..9, as the window's \"Decimals\" box (default 4)\n"
    "  --format F       text (default) | rtf\n"
    "  --output FILE    write the report there instead of standard output\n"
    "  --chart FILE     .png, .svg or .pdf, for analyses that draw a chart or picture\n"
    "Exit status: 0 report written; 1 the analysis refused its input; 2 usage error;\n"
    "             3 a file could not be read or written.\n";

void PrintList(std::ostream& out) {
  for (const auto& e : CommandTable()) {
    std::string path = e.Menu + " > " + StripAccelerator(e.Caption);
    out << e.Name << '\t' << path << '\t' << e.WindowCaption << '\t'
        << (IsCommandAvailable(e.Name) ? "available" : "not-built") << '\n';
  }
}

void PrintCommandHelp(const TAnalysis& a, std::ostream& out) {
  out << "Usage: sorvelstats-cli " << a.Name << (a.NeedsData ? " DATAFILE" : "")
      << " [--option value ...]\n";
  if (!a.Summary.empty()) out << a.Summary << '\n';
  out << "Options:\n";
  for (const auto& o : a.Options) {
    std::string head = "  --" + o.Name + (o.IsFlag ? "" : " VALUE");
    out << std::left << std::setw(30) << head << ' ' << o.Help;
    if (!o.Choices.empty()) {
      out << " (";
      for (size_t i = 0; i < o.Choices.size(); ++i) out << (i ? "|" : "") << o.Choices[i];
      out << ')';
    }
    if (!o.IsFlag) out << " [default: " << o.Default << ']';
    out << '\n';
  }
  const std::pair<const char*, const char*> common[] = {
      {"  --decimals N", "decimals of the report, 0..9 [default: 4]"},
      {"  --format text|rtf", "report format [default: text]"},
      {"  --output FILE", "write the report to FILE"},
      {"  --chart FILE", "write the picture to FILE (.png, .svg or .pdf)"},
  };
  for (const auto& [head, help] : common) out << std::left << std::setw(30) << head << ' ' << help << '\n';
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
    if (entry)
      err << "sorvelstats-cli: the command '" << first << "' (" << entry->Menu << " > "
          << StripAccelerator(entry->Caption) << ") cannot run from the command line yet\n";
    else
      err << "sorvelstats-cli: unknown command '" << first
          << "' (sorvelstats-cli --list shows the commands)\n";
    return CliUsage;
  }

  TOptions given;
  std::string dataFile, format = "text", outputFile, chartFile;
  std::set<std::string> known;
  for (const auto& o : analysis->Options) known.insert(o.Name);
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
    const TOptionSpec* spec = nullptr;
    for (const auto& o : analysis->Options)
      if (o.Name == name) spec = &o;
    bool common = name == "decimals" || name == "format" || name == "output" || name == "chart";
    if (!spec && !common) {
      err << "sorvelstats-cli: " << analysis->Name << " has no option '--" << name
          << "' (sorvelstats-cli " << analysis->Name << " --help lists them)\n";
      return CliUsage;
    }
    if (spec && spec->IsFlag && !hasValue) {
      value = "1";
    } else if (!hasValue) {
      if (i + 1 >= args.size()) {
        err << "sorvelstats-cli: the option '--" << name << "' needs a value\n";
        return CliUsage;
      }
      value = args[++i];
    }
    if (spec && !spec->Choices.empty()) {
      bool ok = false;
      for (const auto& c : spec->Choices) ok = ok || c == value;
      if (!ok) {
        err << "sorvelstats-cli: '" << value << "' is not a choice of --" << name << '\n';
        return CliUsage;
      }
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
    } else {
      if (name == "decimals") {
        bool ok = value.size() == 1 && value[0] >= '0' && value[0] <= '9';
        if (!ok) {
          err << "sorvelstats-cli: --decimals takes a whole number from 0 to 9\n";
          return CliUsage;
        }
      }
      given[name] = value;
    }
  }
  if (analysis->NeedsData && dataFile.empty()) {
    err << "sorvelstats-cli: " << analysis->Name << " needs a data file\n";
    return CliUsage;
  }
  if (!chartFile.empty()) {
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

  StatError = 0;
  TOutcome outcome = analysis->Run(WithDefaults(*analysis, given));
  if (outcome.Status == TOutcome::TStatus::Refused) {
    err << outcome.Error << '\n';
    return CliRefused;
  }
  if (!chartFile.empty() && !outcome.Picture) {
    err << "sorvelstats-cli: " << analysis->Name << " draws no chart\n";
    return CliUsage;
  }
  std::string text =
      format == "rtf" ? ReportRtf(outcome.Report) : ReportPlainText(outcome.Report);
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
    if (!pictureSaver(*outcome.Picture, chartFile, why)) {
      err << "sorvelstats-cli: cannot write '" << chartFile << "'"
          << (why.empty() ? "" : ": " + why) << '\n';
      return CliFileError;
    }
  }
  return CliOk;
}

}  // namespace sorvel
