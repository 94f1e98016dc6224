#include "cli/data_commands.h"

#include "cli/cli.h"
#include "data/data_file.h"
#include "data/data_state.h"
#include "numerics/format.h"

namespace sorvel {

namespace {

const char* DataInfoUsage = "Usage: sorvelstats-cli data-info FILE\n";
const char* DataInfoHelp =
    "Reads FILE as the data editor opens it and prints what the data set holds: cases,\n"
    "columns, and for each column its name, title, specification limits, type (numeric\n"
    "or text with its levels), valid and missing values and range.\n";
const char* DataCopyUsage =
    "Usage: sorvelstats-cli data-copy IN OUT [--no-names] [--no-descriptions]\n";
const char* DataCopyHelp =
    "Reads IN as the data editor opens it and writes OUT as the editor saves it: tab\n"
    "separated (comma separated, quoted where needed, when OUT ends in .csv), with CR LF\n"
    "line ends. Comment lines (\"*\" lines) of IN are not kept.\n"
    "  --no-names         leave out the line of column names\n"
    "  --no-descriptions  leave out the Title:, USL:, Target: and LSL: lines\n";

std::string Number(double x) { return IsPresent(x) ? FormatGeneral(x) : "-"; }

void PrintWarnings(const TFileResult& r, std::ostream& err) {
  for (const auto& w : r.Warnings) err << "sorvelstats-cli: " << w << '\n';
}

int FileFailure(const TFileResult& r, std::ostream& err) {
  err << "sorvelstats-cli: " << r.Error;
  if (!r.Detail.empty()) err << " (" << r.Detail << ')';
  err << '\n';
  return CliFileError;
}

int DataInfo(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  for (size_t i = 1; i < args.size(); ++i)
    if (args[i].rfind("--", 0) == 0) {
      err << "sorvelstats-cli: data-info has no option '" << args[i] << "'\n" << DataInfoUsage;
      return CliUsage;
    }
  if (args.size() != 2) {
    err << DataInfoUsage;
    return CliUsage;
  }
  TFileResult r = FileToDataGrid(args[1]);
  if (!r.Ok) return FileFailure(r, err);
  PrintWarnings(r, err);
  TDataList& d = DataList();
  out << "Cases: " << d.Ncount << '\n';
  out << "Columns: " << d.MaxCol() << '\n';
  for (int c = 1; c <= d.MaxCol(); ++c) {
    int valid = 0;
    for (int row = 1; row <= d.Ncount; ++row) valid += d.DataValid(c, row) ? 1 : 0;
    out << '\n' << "Column " << c << ": " << d.ColumnName(c) << '\n';
    out << "  Title: " << d.ColumnTitle(c) << '\n';
    out << "  LSL: " << Number(d.ColumnLSL(c)) << "  Target: " << Number(d.ColumnTarget(c))
        << "  USL: " << Number(d.ColumnUSL(c)) << '\n';
    if (d.StringVar[c])
      out << "  Type: text, " << d.LevelCount(c) << (d.LevelCount(c) == 1 ? " level" : " levels") << '\n';
    else
      out << "  Type: numeric\n";
    out << "  Valid: " << valid << "  Missing: " << d.Ncount - valid << '\n';
    // A column's range holds values, -2147483647 included; "-" is for no values only.
    out << "  Low: " << (d.Highlow[c] ? FormatGeneral(d.ColumnLow[c]) : "-")
        << "  High: " << (d.Highlow[c] ? FormatGeneral(d.ColumnHigh[c]) : "-") << '\n';
  }
  return CliOk;
}

int DataCopy(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::vector<std::string> files;
  TSaveOptions options;
  for (size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--no-names")
      options.VarNames = false;
    else if (args[i] == "--no-descriptions")
      options.Descriptions = false;
    else if (args[i] == "--help" || args[i] == "-h") {
      out << DataCopyUsage << DataCopyHelp;
      return CliOk;
    } else if (args[i].rfind("--", 0) == 0) {
      err << "sorvelstats-cli: data-copy has no option '" << args[i] << "'\n" << DataCopyUsage;
      return CliUsage;
    } else
      files.push_back(args[i]);
  }
  if (files.size() != 2) {
    err << DataCopyUsage;
    return CliUsage;
  }
  TFileResult r = FileToDataGrid(files[0]);
  if (!r.Ok) return FileFailure(r, err);
  PrintWarnings(r, err);
  TFileResult w = SaveFile(files[1], options);
  if (!w.Ok) return FileFailure(w, err);
  PrintWarnings(w, err);
  return CliOk;
}

}  // namespace

bool RunDataCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                    int& status) {
  if (args.empty()) return false;
  if (args[0] == "data-info") {
    if (args.size() == 2 && (args[1] == "--help" || args[1] == "-h")) {
      out << DataInfoUsage << DataInfoHelp;
      status = CliOk;
    } else {
      status = DataInfo(args, out, err);
    }
    return true;
  }
  if (args[0] == "data-copy") {
    status = DataCopy(args, out, err);
    return true;
  }
  return false;
}

}  // namespace sorvel
