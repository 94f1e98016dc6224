#include "cli/data_commands.h"

#include <algorithm>
#include <charconv>
#include <map>

#include "cli/cli.h"
#include "cli/data_options.h"
#include "data/data_rules.h"
#include "data/data_state.h"
#include "data/grid_edit.h"
#include "data/io/data_file.h"
#include "explore/compute_variables.h"
#include "explore/describe.h"
#include "numerics/format.h"
#include "numerics/intervals.h"

namespace sorvel {

namespace {

const char* DataInfoUsage = "Usage: sorvelstats-cli data-info FILE [data options]\n";
const char* DataInfoHelp =
    "Reads FILE as the data editor opens it and prints what the data set holds: cases,\n"
    "columns, and for each column its name, title, specification limits, type (numeric\n"
    "or text with its levels), valid and missing values and range.\n"
    "  --sheet NAME|N     the sheet of an .xlsx or .ods workbook (default: the first)\n";
const char* DataCopyUsage =
    "Usage: sorvelstats-cli data-copy IN OUT [--no-names] [--no-descriptions]\n";
const char* DataCopyHelp =
    "Reads IN as the data editor opens it and writes OUT as the editor saves it: tab\n"
    "separated (comma separated, quoted where needed, when OUT ends in .csv), with CR LF\n"
    "line ends. Comment lines (\"*\" lines) of IN are not kept.\n"
    "  --no-names         leave out the line of column names\n"
    "  --no-descriptions  leave out the Title:, USL:, Target: and LSL: lines\n"
    "  --sheet NAME|N     the sheet of an .xlsx or .ods workbook IN (default: the first)\n";

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

// data-info with rules: the status texts, the cases Process If passes and, per column,
// what a load of the column delivers (after the transformation).
int DataInfoWithRules(std::ostream& out) {
  TDataList& d = DataList();
  out << "Cases: " << d.Ncount << '\n';
  out << "Columns: " << d.MaxCol() << '\n';
  out << MissingStatusText() << '\n'
      << TransformStatusText() << '\n'
      << ProcessIfStatusText() << '\n';
  int passing = 0;
  for (int row = 1; row <= d.Ncount; ++row) passing += d.ProcessOK(row) ? 1 : 0;
  out << "Rows passing Process If: " << passing << '\n';
  for (int c = 1; c <= d.MaxCol(); ++c) {
    out << '\n' << "Column " << c << ": " << d.ColumnName(c) << '\n';
    if (d.StringVar[c])
      out << "  Type: text, " << d.LevelCount(c) << (d.LevelCount(c) == 1 ? " level" : " levels")
          << '\n';
    else
      out << "  Type: numeric\n";
    TRunInfo ri;
    ri.ColRefRun = LoadColumn;
    d.IncludeCol.fill(false);
    d.IncludeCol[c] = true;
    d.DataToA_Array(c, ri);
    double low = 0, high = 0;
    for (int i = 1; i <= A_ArrayCount; ++i) {
      if (i == 1 || A_Array[i] < low) low = A_Array[i];
      if (i == 1 || A_Array[i] > high) high = A_Array[i];
    }
    out << "  Loaded: " << A_ArrayCount << "  Low: " << (A_ArrayCount ? FormatGeneral(low) : "-")
        << "  High: " << (A_ArrayCount ? FormatGeneral(high) : "-") << '\n';
  }
  return CliOk;
}

// "--name value" or "--name=value" at args[i] into name and value, i past the value.
// False, with a message, when the value is missing.
bool SplitOption(const std::vector<std::string>& args, size_t& i, std::string& name,
                 std::string& value, std::ostream& err) {
  name = args[i].substr(2);
  const auto eq = name.find('=');
  if (eq != std::string::npos) {
    value = name.substr(eq + 1);
    name.resize(eq);
    return true;
  }
  if (i + 1 < args.size()) {
    value = args[++i];
    return true;
  }
  err << "sorvelstats-cli: the option '--" << name << "' needs a value\n";
  return false;
}

// Takes "--sheet NAME", "--sheet=NAME" at args[i] into `sheet`. False when args[i] is
// another argument; `status` is set when its value is missing.
bool TakeSheetOption(const std::vector<std::string>& args, size_t& i, std::string& sheet,
                     std::ostream& err, int& status) {
  if (args[i].rfind("--sheet=", 0) == 0) {
    sheet = args[i].substr(8);
    return true;
  }
  if (args[i] != "--sheet") return false;
  if (i + 1 >= args.size()) {
    err << "sorvelstats-cli: the option '--sheet' needs a value\n";
    status = CliUsage;
    return true;
  }
  sheet = args[++i];
  return true;
}

int DataInfo(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  TOptions rules;
  std::vector<std::string> files;
  std::string sheet;
  for (size_t i = 1; i < args.size(); ++i) {
    int status = CliOk;
    if (TakeSheetOption(args, i, sheet, err, status)) {
      if (status != CliOk) return status;
      continue;
    }
    if (TakeDataRuleOption(args, i, rules, err, status)) {
      if (status != CliOk) return status;
      continue;
    }
    if (args[i].rfind("--", 0) == 0) {
      err << "sorvelstats-cli: data-info has no option '" << args[i] << "'\n" << DataInfoUsage;
      return CliUsage;
    }
    files.push_back(args[i]);
  }
  if (files.size() != 1) {
    err << DataInfoUsage;
    return CliUsage;
  }
  TFileResult r = FileToDataGrid(files[0], {}, sheet);
  if (!r.Ok) return FileFailure(r, err);
  PrintWarnings(r, err);
  TDataRuleSession session(err);
  if (int status = session.Apply(rules); status != CliOk) return status;
  if (!rules.empty()) return DataInfoWithRules(out);
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
      out << "  Type: text, " << d.LevelCount(c) << (d.LevelCount(c) == 1 ? " level" : " levels")
          << '\n';
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
  std::string sheet;
  for (size_t i = 1; i < args.size(); ++i) {
    int status = CliOk;
    if (TakeSheetOption(args, i, sheet, err, status)) {
      if (status != CliOk) return status;
    } else if (args[i] == "--no-names")
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
  TFileResult r = FileToDataGrid(files[0], {}, sheet);
  if (!r.Ok) return FileFailure(r, err);
  PrintWarnings(r, err);
  TFileResult w = SaveFile(files[1], options);
  if (!w.Ok) return FileFailure(w, err);
  PrintWarnings(w, err);
  return CliOk;
}

// The commands of the editor's Data menu that change the data: they read FILE, apply
// the data options, change the data set and write it as Save writes it.
struct TChangeCommand {
  const char* Name;
  const char* ColumnsOption;  // the command's column list (or column)
  const char* Usage;
};
const TChangeCommand ChangeCommands[] = {
    {"transform", "select-variables-to-transform",
     "Usage: sorvelstats-cli transform FILE --transform T --select-variables-to-transform COLUMNS\n"
     "         [--mode add-new-variable|modify-existing-variable] [--save OUT] [data options]\n"
     "Writes the transformed values as new columns f(name) or over the columns; rows outside\n"
     "Process If and missing values become empty cells.\n"},
    {"generate-run-numbers", "selected-variables",
     "Usage: sorvelstats-cli generate-run-numbers FILE --selected-variables COLUMNS [--save OUT]\n"
     "Adds a column Run numbering the combinations of the columns (run 1: a value missing).\n"},
    {"auto-recode-variables", "recoded-variables",
     "Usage: sorvelstats-cli auto-recode-variables FILE --recoded-variables COLUMNS [--save OUT]\n"
     "Adds a column name_R per column with its distinct values coded 1, 2, ... ascending.\n"},
    {"weight-cases", "weight-cases-by",
     "Usage: sorvelstats-cli weight-cases FILE --weight-cases-by COLUMN [--save OUT]\n"
     "Repeats each case by its weight rounded to the nearest integer.\n"},
};

// "A,B", "2", "all": column numbers; 0 with the unknown name in `bad`.
std::vector<int> ColumnList(const TDataList& d, const std::string& text, std::string& bad) {
  std::vector<int> cols;
  if (text == "all") {
    for (int c = 1; c <= d.MaxCol(); ++c) cols.push_back(c);
    return cols;
  }
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t comma = text.find(',', start);
    if (comma == std::string::npos) comma = text.size();
    const std::string item = text.substr(start, comma - start);
    const int c = FindColumn(d, item);
    if (c == 0) {
      bad = item;
      return {};
    }
    cols.push_back(c);
    start = comma + 1;
  }
  return cols;
}

int DataChange(const TChangeCommand& cmd, const std::vector<std::string>& args, std::ostream& out,
               std::ostream& err) {
  TOptions rules;
  std::vector<std::string> files;
  std::string columns, mode = "add-new-variable", save;
  bool haveColumns = false;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") {
      out << cmd.Usage;
      return CliOk;
    }
    int status = CliOk;
    if (std::string(cmd.Name) != "weight-cases" || a.rfind("--weight-cases-by", 0) != 0)
      if (TakeDataRuleOption(args, i, rules, err, status)) {
        if (status != CliOk) return status;
        continue;
      }
    if (a.rfind("--", 0) != 0) {
      files.push_back(a);
      continue;
    }
    std::string name, value;
    if (!SplitOption(args, i, name, value, err)) return CliUsage;
    if (name == cmd.ColumnsOption) {
      columns = value;
      haveColumns = true;
    } else if (name == "mode" && std::string(cmd.Name) == "transform") {
      mode = value;
    } else if (name == "save") {
      save = value;
    } else {
      err << "sorvelstats-cli: " << cmd.Name << " has no option '--" << name << "'\n" << cmd.Usage;
      return CliUsage;
    }
  }
  if (files.size() != 1 || !haveColumns) {
    err << cmd.Usage;
    return CliUsage;
  }
  if (mode != "add-new-variable" && mode != "modify-existing-variable") {
    err << "sorvelstats-cli: --mode takes add-new-variable or modify-existing-variable\n";
    return CliUsage;
  }
  TFileResult r = FileToDataGrid(files[0]);
  if (!r.Ok) return FileFailure(r, err);
  PrintWarnings(r, err);
  TDataRuleSession session(err);
  if (int status = session.Apply(rules); status != CliOk) return status;
  TDataList& d = DataList();
  std::string bad;
  const std::vector<int> cols = ColumnList(d, columns, bad);
  if (cols.empty()) {
    err << "sorvelstats-cli: --" << cmd.ColumnsOption << ": no column '" << bad << "'\n";
    return CliUsage;
  }
  int status = CliOk;
  const std::string command = cmd.Name;
  if (command == "transform") {
    if (TransformRec.no == TransformNone) {
      err << "sorvelstats-cli: transform needs --transform\n";
      return CliUsage;
    }
    auto res = AddTransformedVariables(d, cols, mode == "modify-existing-variable", true);
    if (!res.Message.empty()) {
      err << res.Message << '\n';
      return CliRefused;
    }
    for (const auto& f : res.Failed) {
      err << TransformFailedText << f << '\n';
      status = CliRefused;
    }
  } else if (command == "generate-run-numbers") {
    if (d.MaxCol() >= MaxColumns) {
      err << MaxColumnsExceededText << '\n';
      return CliRefused;
    }
    if (!GenerateRunNumbers(d, cols)) {
      err << "Run numbers need more than one case.\n";
      return CliRefused;
    }
  } else if (command == "auto-recode-variables") {
    auto res = AutoRecodeVariables(d, cols);
    if (!res.Message.empty()) {
      err << res.Message << '\n';
      return CliRefused;
    }
  } else {
    if (cols.size() != 1) {
      err << "sorvelstats-cli: --weight-cases-by takes one column\n";
      return CliUsage;
    }
    auto res = WeightCases(d, cols[0], [&](std::int64_t n) {
      err << "New Row Count = " << n << '\n';
      return true;
    });
    if (!res.Message.empty()) {
      err << res.Message << '\n';
      return CliRefused;
    }
  }
  if (save.empty()) {
    out << DataFileText(d, TSaveOptions());
  } else {
    TFileResult w = SaveFile(save, TSaveOptions());
    if (!w.Ok) return FileFailure(w, err);
    PrintWarnings(w, err);
  }
  return status;
}

const char* DescribeUsage =
    "Usage: sorvelstats-cli describe FILE --selected-variables COLUMNS [--by COLUMN]\n"
    "         [--code D|T|S|L|A|I|N] [--conf PERCENT] [data options]\n";
const char* DescribeHelp =
    "Prints the descriptive engine's statistics record of each column (of each level of\n"
    "the --by column): \"Variable\", \"Group\" with --by, then one Field<TAB>value line per\n"
    "field with 17 significant digits; a blank line between sets. Fields the code does not\n"
    "compute hold 0.\n"
    "  --selected-variables COLUMNS  names or numbers, separated by commas\n"
    "  --by COLUMN        one set per level of this column\n"
    "  --code C           D descriptives (default), T normality tests and moments,\n"
    "                     S moments, L Lin-Mudholkar, A Anderson-Darling, I confidence\n"
    "                     intervals of the mean and SD (MeanLower ... StdDevUpper lines),\n"
    "                     N 3-sigma limits\n"
    "  --conf PERCENT     the intervals' confidence level (default 95)\n"
    "  --sheet NAME|N     the sheet of an .xlsx or .ods workbook (default: the first)\n";

int DescribeCommandLine(const std::vector<std::string>& args, std::ostream& out,
                        std::ostream& err) {
  TOptions rules;
  std::vector<std::string> files;
  std::string sheet, columns, by, code = "D", conf = "95";
  bool haveColumns = false;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") {
      out << DescribeUsage << DescribeHelp;
      for (const auto& [option, help] : DataRuleHelpRows()) out << option << "  " << help << '\n';
      return CliOk;
    }
    int status = CliOk;
    if (TakeSheetOption(args, i, sheet, err, status) ||
        TakeDataRuleOption(args, i, rules, err, status)) {
      if (status != CliOk) return status;
      continue;
    }
    if (a.rfind("--", 0) != 0) {
      files.push_back(a);
      continue;
    }
    std::string name, value;
    if (!SplitOption(args, i, name, value, err)) return CliUsage;
    if (name == "selected-variables") {
      columns = value;
      haveColumns = true;
    } else if (name == "by") {
      by = value;
    } else if (name == "code") {
      code = value;
    } else if (name == "conf") {
      conf = value;
    } else {
      err << "sorvelstats-cli: describe has no option '--" << name << "'\n" << DescribeUsage;
      return CliUsage;
    }
  }
  if (files.size() != 1 || !haveColumns) {
    err << DescribeUsage;
    return CliUsage;
  }
  if (code.size() != 1 || std::string(DescribeCodes).find(code[0]) == std::string::npos) {
    err << "sorvelstats-cli: --code takes one of D, T, S, L, A, I, N, not '" << code << "'\n";
    return CliUsage;
  }
  double level = 0;
  if (!ReadPlainNumber(conf, level) || !(level > 0 && level < 100)) {
    err << "sorvelstats-cli: --conf takes a percentage between 0 and 100, not '" << conf << "'\n";
    return CliUsage;
  }
  SharedConfI().SetConf(level / 100);
  TFileResult r = FileToDataGrid(files[0], {}, sheet);
  if (!r.Ok) return FileFailure(r, err);
  PrintWarnings(r, err);
  TDataRuleSession session(err);
  if (int status = session.Apply(rules); status != CliOk) return status;
  TDataList& d = DataList();
  std::string bad;
  const std::vector<int> cols = ColumnList(d, columns, bad);
  if (cols.empty()) {
    err << "sorvelstats-cli: --selected-variables: no column '" << bad << "'\n";
    return CliUsage;
  }
  int byColumn = 0;
  if (!by.empty() && (byColumn = FindColumn(d, by)) == 0) {
    err << "sorvelstats-cli: --by: no column '" << by << "'\n";
    return CliUsage;
  }
  const TDescribeResult res = Describe(d, cols, byColumn, code[0]);
  if (!res.Error.empty()) {
    err << res.Error << '\n';
    return CliRefused;
  }
  out << DescribeText(res);
  return CliOk;
}

const char* ComputeUsage =
    "Usage: sorvelstats-cli compute-variables-from-sample-data FILE --dependent-variable COLUMN\n"
    "         [--independent-variables COLUMNS] --statistic S [--new-variable-name NAME]\n"
    "         [--subgroups-per-run K] [--minimum-range R] [--save OUT] [data options]\n"
    "       sorvelstats-cli compute-variables-from-sample-data FILE --across-rows\n"
    "         --selected-variables COLUMNS --statistics S [--new-variable-name NAME]\n"
    "         [--save OUT] [data options]\n";

std::string ComputeHelp() {
  std::string h =
      "Adds one column computed within the groups of the dependent variable (the\n"
      "combinations of the independent variables), or across the selected columns of each\n"
      "row, and writes the data set as Save writes it (to stdout, or to OUT with --save; the\n"
      "report lines then go to stdout).\n"
      "  --statistic S          ";
  for (int i = 0; i < SampleStatisticCount; ++i)
    h += std::string(i ? "|" : "") + SampleStatisticName(i).Option;
  h += "\n  --statistics S         (across rows) ";
  for (int i = 0; i < AcrossStatisticCount; ++i)
    h += std::string(i ? "|" : "") + AcrossStatisticName(i).Option;
  h += "\n  --new-variable-name N  the new column's name (default: dependent name + suffix;\n"
       "                         across rows the statistic + 1)\n"
       "  --subgroups-per-run K  bartlett-kendall-box: random subgroups per run (default: the\n"
       "                         square root of the average run size when every run has more\n"
       "                         than 5 values, else 1)\n"
       "  --minimum-range R      bartlett-kendall-*: the range used for a run of zero variance\n"
       "                         (without it such a run is refused)\n";
  return h;
}

int ComputeVariablesCommandLine(const std::vector<std::string>& args, std::ostream& out,
                                std::ostream& err) {
  TOptions rules;
  std::vector<std::string> files;
  std::map<std::string, std::string> opt;
  bool across = false;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") {
      out << ComputeUsage << ComputeHelp();
      for (const auto& [option, help] : DataRuleHelpRows()) out << option << "  " << help << '\n';
      return CliOk;
    }
    if (a == "--across-rows") {
      across = true;
      continue;
    }
    int status = CliOk;
    if (TakeDataRuleOption(args, i, rules, err, status)) {
      if (status != CliOk) return status;
      continue;
    }
    if (a.rfind("--", 0) != 0) {
      files.push_back(a);
      continue;
    }
    std::string name, value;
    if (!SplitOption(args, i, name, value, err)) return CliUsage;
    static const char* known[] = {"dependent-variable",
                                  "independent-variables",
                                  "statistic",
                                  "new-variable-name",
                                  "subgroups-per-run",
                                  "minimum-range",
                                  "selected-variables",
                                  "statistics",
                                  "save"};
    if (std::find(std::begin(known), std::end(known), name) == std::end(known)) {
      err << "sorvelstats-cli: " << ComputeVariablesCommand << " has no option '--" << name << "'\n"
          << ComputeUsage;
      return CliUsage;
    }
    opt[name] = value;
  }
  const bool haveStat = across ? opt.count("statistics") && opt.count("selected-variables")
                               : opt.count("statistic") && opt.count("dependent-variable");
  if (files.size() != 1 || !haveStat) {
    err << ComputeUsage;
    return CliUsage;
  }
  const int stat = across ? AcrossStatisticByOption(opt["statistics"])
                          : SampleStatisticByOption(opt["statistic"]);
  if (stat < 0) {
    err << "sorvelstats-cli: no statistic '" << (across ? opt["statistics"] : opt["statistic"])
        << "'\n";
    return CliUsage;
  }
  int subgroups = 0;
  double minimumRange = 0;
  if (opt.count("subgroups-per-run")) {
    const std::string& k = opt["subgroups-per-run"];
    auto [end, ec] = std::from_chars(k.data(), k.data() + k.size(), subgroups);
    if (ec != std::errc() || end != k.data() + k.size() || subgroups < 1) {
      err << "sorvelstats-cli: --subgroups-per-run takes a positive whole number, not '" << k
          << "'\n";
      return CliUsage;
    }
  }
  if (opt.count("minimum-range")) {
    if (!ReadPlainNumber(opt["minimum-range"], minimumRange) || !(minimumRange > 0)) {
      err << "sorvelstats-cli: --minimum-range takes a positive number, not '"
          << opt["minimum-range"] << "'\n";
      return CliUsage;
    }
  }
  TFileResult r = FileToDataGrid(files[0]);
  if (!r.Ok) return FileFailure(r, err);
  PrintWarnings(r, err);
  TDataRuleSession session(err);
  if (int status = session.Apply(rules); status != CliOk) return status;
  TDataList& d = DataList();
  std::string bad;
  TComputeResult res;
  if (across) {
    const std::vector<int> cols = ColumnList(d, opt["selected-variables"], bad);
    if (cols.empty()) {
      err << "sorvelstats-cli: --selected-variables: no column '" << bad << "'\n";
      return CliUsage;
    }
    const std::string name =
        opt.count("new-variable-name") ? opt["new-variable-name"] : DefaultAcrossName(stat, 0);
    res = ComputeAcrossRows(d, cols, stat, name);
  } else {
    TSampleInputs in;
    in.Statistic = stat;
    in.Dependent = FindColumn(d, opt["dependent-variable"]);
    if (in.Dependent == 0) {
      err << "sorvelstats-cli: --dependent-variable: no column '" << opt["dependent-variable"]
          << "'\n";
      return CliUsage;
    }
    if (opt.count("independent-variables")) {
      in.Independent = ColumnList(d, opt["independent-variables"], bad);
      if (in.Independent.empty()) {
        err << "sorvelstats-cli: --independent-variables: no column '" << bad << "'\n";
        return CliUsage;
      }
    }
    if (opt.count("new-variable-name")) in.NewName = opt["new-variable-name"];
    TComputeDialogs dialogs;
    std::string refusal;
    dialogs.AskSubgroups = [&](const TBkbSizes& sizes, int& k) {
      if (subgroups == 0) return true;  // the dialog's default
      if (subgroups > sizes.MaxSubgroups) {
        refusal = "--subgroups-per-run: at most " + std::to_string(sizes.MaxSubgroups) +
                  " (half the smallest run of " + std::to_string(sizes.Smallest) + ")";
        return false;
      }
      k = subgroups;
      return true;
    };
    dialogs.AskMinimumRange = [&](const std::string&, double& range) {
      range = minimumRange;
      return minimumRange > 0;
    };
    res = ComputeSampleVariable(d, in, dialogs);
    if (!refusal.empty()) {
      err << "sorvelstats-cli: " << refusal << '\n';
      return CliUsage;
    }
  }
  if (!res.Message.empty()) {
    err << res.Message << '\n';
    return CliRefused;
  }
  const std::string save = opt.count("save") ? opt["save"] : "";
  if (save.empty()) {
    out << DataFileText(d, TSaveOptions());
  } else {
    TFileResult w = SaveFile(save, TSaveOptions());
    if (!w.Ok) return FileFailure(w, err);
    PrintWarnings(w, err);
    for (const auto& line : res.ReportLines) out << line << '\n';
  }
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
  if (args[0] == DescribeCommand) {
    status = DescribeCommandLine(args, out, err);
    return true;
  }
  if (args[0] == ComputeVariablesCommand) {
    status = ComputeVariablesCommandLine(args, out, err);
    return true;
  }
  for (const auto& cmd : ChangeCommands)
    if (args[0] == cmd.Name) {
      status = DataChange(cmd, args, out, err);
      return true;
    }
  return false;
}

}  // namespace sorvel
