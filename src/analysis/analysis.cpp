#include "analysis/analysis.h"

#include <algorithm>
#include <cctype>

#include "data/column_selection.h"
#include "data/data_list.h"
#include "data/data_rules.h"

namespace sorvel {

namespace {

const char* KindName(TOptionKind kind) {
  switch (kind) {
    case TOptionKind::Number: return "number";
    case TOptionKind::PositiveNumber: return "positive number";
    case TOptionKind::Probability: return "probability";
    case TOptionKind::WholeNumber: return "whole number";
    case TOptionKind::Choice: return "choice";
    case TOptionKind::Flag: return "flag";
    case TOptionKind::Column: return "column";
    case TOptionKind::Columns: return "columns";
    case TOptionKind::Text: return "text";
  }
  return "?";
}

bool IsNumberKind(TOptionKind k) {
  return k == TOptionKind::Number || k == TOptionKind::PositiveNumber ||
         k == TOptionKind::Probability;
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string Trimmed(const std::string& s) {
  const auto b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return "";
  return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

std::string LabelOf(const TOptionSpec& spec) { return spec.Label.empty() ? spec.Name : spec.Label; }

// A column by its 1-based number, its exact name, or its name regardless of case when
// only one column matches: the data rules' resolution, so every option reads columns alike.
bool ResolveColumn(const std::string& text, const TDataList* data, int& column) {
  if (!data) return false;
  column = FindColumn(*data, text);
  return column != 0;
}

// A check box's text: 1/true/yes/on or empty/0/false/no/off.
bool ReadFlag(const std::string& text, int& code) {
  const std::string l = Lower(text);
  if (l == "1" || l == "true" || l == "yes" || l == "on")
    code = 1;
  else if (l.empty() || l == "0" || l == "false" || l == "no" || l == "off")
    code = 0;
  else
    return false;
  return true;
}

bool IsColumnSelectionOption(const std::string& name) {
  for (const auto& o : ColumnSelectionOptions())
    if (o.Name == name) return true;
  return false;
}

TValidation Refuse(std::string message, bool usage = false) {
  TValidation v;
  v.Ok = false;
  v.UsageFault = usage;
  v.Message = std::move(message);
  return v;
}

}  // namespace

const TOptionValues::TValue& TOptionValues::Get(const std::string& name, TOptionKind kind) const {
  auto it = values_.find(name);
  if (it == values_.end()) throw std::logic_error("no option '" + name + "'");
  const TOptionKind have = it->second.Kind;
  const bool fits = have == kind || (IsNumberKind(have) && IsNumberKind(kind)) ||
                    (kind == TOptionKind::Column && have == TOptionKind::Column);
  if (!fits)
    throw std::logic_error("option '" + name + "' is a " + KindName(have) + ", read as a " +
                           KindName(kind));
  return it->second;
}

double TOptionValues::Number(const std::string& name) const {
  return Get(name, TOptionKind::Number).Number;
}
int TOptionValues::Whole(const std::string& name) const {
  return Get(name, TOptionKind::WholeNumber).Code;
}
bool TOptionValues::Flag(const std::string& name) const {
  return Get(name, TOptionKind::Flag).Code != 0;
}
const std::string& TOptionValues::Text(const std::string& name) const {
  auto it = values_.find(name);
  if (it == values_.end()) throw std::logic_error("no option '" + name + "'");
  return it->second.Text;
}
int TOptionValues::Column(const std::string& name) const {
  return Get(name, TOptionKind::Column).Code;
}
const std::vector<int>& TOptionValues::Columns(const std::string& name) const {
  return Get(name, TOptionKind::Columns).Columns;
}

void TOptionValues::SetColumnSelection(const TColumnSelection& sel) {
  selection_ = std::make_shared<const TColumnSelection>(sel);
}

const TOptionSpec* TAnalysis::FindOption(const std::string& name) const {
  for (const auto& o : Options)
    if (o.Name == name) return &o;
  return nullptr;
}

const std::vector<TOptionSpec>& ColumnSelectionOptions() {
  static const std::vector<TOptionSpec> options = [] {
    std::vector<TOptionSpec> o;
    auto add = [&](const char* name, TOptionKind kind, const char* label, const char* help) {
      TOptionSpec s;
      s.Name = name;
      s.Kind = kind;
      s.Label = label;
      s.Help = help;
      o.push_back(std::move(s));
    };
    add("group1", TOptionKind::Column, "Group 1",
        "the first group's column (Variable Selection, \"Define Columns\")");
    add("group2", TOptionKind::Column, "Group 2", "the second group's column (two-sample tests)");
    add("exclude-incomplete-pairs", TOptionKind::Flag, "Exclude Incomplete Pairs",
        "with --group2: only rows holding both values");
    add("reference", TOptionKind::Column, "Reference",
        "the grouping column (\"Define Reference\"; not for dependent samples)");
    add("data", TOptionKind::Column, "Data", "with --reference: the column analysed");
    add("level1", TOptionKind::Text, "Level 1",
        "with --reference: the first group's level (its number, or its text in a text column)");
    add("level2", TOptionKind::Text, "Level 2", "with --reference: the second group's level");
    return o;
  }();
  return options;
}

void ColumnSelectionToOptions(const TColumnSelection& sel, TOptions& options) {
  const TColumnSelectionTexts t = ColumnSelectionToTexts(sel);
  auto put = [&](const char* name, const std::string& text) {
    if (!text.empty()) options[name] = text;
  };
  put("group1", t.Group1);
  put("group2", t.Group2);
  if (t.ExcludeIncompletePairs) options["exclude-incomplete-pairs"] = "1";
  put("reference", t.Reference);
  put("data", t.Data);
  put("level1", t.Level1);
  put("level2", t.Level2);
}

TOptionSpec DecimalsOption(int initial) {
  TOptionSpec s;
  s.Name = "decimals";
  s.Kind = TOptionKind::WholeNumber;
  s.Default = std::to_string(initial);
  s.Help = "decimals of the report";
  s.Min = 0;
  s.Max = 9;
  s.Label = "Decimals";
  return s;
}

void TAnalysisRegistry::Add(TAnalysis analysis) {
  if (analysis.ColumnSelectionTest)
    for (const auto& o : ColumnSelectionOptions())
      if (!analysis.FindOption(o.Name)) analysis.Options.push_back(o);
  if (analysis.HasDecimals && !analysis.FindOption("decimals"))
    analysis.Options.push_back(DecimalsOption());
  auto it = std::find_if(analyses_.begin(), analyses_.end(),
                         [&](const TAnalysis& a) { return a.Name == analysis.Name; });
  if (it != analyses_.end())
    *it = std::move(analysis);
  else
    analyses_.push_back(std::move(analysis));
}

void TAnalysisRegistry::Remove(const std::string& name) {
  std::erase_if(analyses_, [&](const TAnalysis& a) { return a.Name == name; });
}

const TAnalysis* TAnalysisRegistry::Find(const std::string& name) const {
  for (const auto& a : analyses_)
    if (a.Name == name) return &a;
  return nullptr;
}

TValidation ValidateOptions(const TAnalysis& analysis, const TOptions& given,
                            const TDataList* data) {
  for (const auto& [name, text] : given)
    if (!analysis.FindOption(name))
      return Refuse(analysis.Name + " has no option '--" + name + "'", true);

  TValidation out;
  const bool selection = static_cast<bool>(analysis.ColumnSelectionTest);
  TColumnSelectionTexts selectionTexts;
  for (const TOptionSpec& spec : analysis.Options) {
    auto it = given.find(spec.Name);
    if (selection && IsColumnSelectionOption(spec.Name)) {
      // Resolved together below: which of them belong together depends on the test kind.
      const std::string t = it != given.end() ? Trimmed(it->second) : std::string();
      const std::map<std::string, std::string*> field = {
          {"group1", &selectionTexts.Group1},       {"group2", &selectionTexts.Group2},
          {"reference", &selectionTexts.Reference}, {"data", &selectionTexts.Data},
          {"level1", &selectionTexts.Level1},       {"level2", &selectionTexts.Level2}};
      if (auto f = field.find(spec.Name); f != field.end()) {
        *f->second = t;
      } else {
        int code = 0;
        if (!ReadFlag(t, code))
          return Refuse("--" + spec.Name + " takes no value, or 1 or 0", true);
        selectionTexts.ExcludeIncompletePairs = code != 0;
      }
      continue;
    }
    TOptionValues::TValue v;
    v.Kind = spec.Kind;
    v.Text = Trimmed(it != given.end() ? it->second : spec.Default);
    const std::string& t = v.Text;
    switch (spec.Kind) {
      case TOptionKind::Number:
      case TOptionKind::PositiveNumber:
      case TOptionKind::Probability:
        if (!ReadPlainNumber(t, v.Number)) return Refuse("'" + t + "' is not a valid number!");
        if (spec.Kind == TOptionKind::PositiveNumber && !(v.Number > 0))
          return Refuse(!spec.Refusal.empty() ? spec.Refusal
                                              : LabelOf(spec) + " must be greater than 0!");
        if (spec.Kind == TOptionKind::Probability && !(v.Number > 0 && v.Number < 1))
          return Refuse(!spec.Refusal.empty() ? spec.Refusal
                                              : LabelOf(spec) + " must be > 0 and < 1!");
        break;
      case TOptionKind::WholeNumber: {
        double x = 0;
        if (!ReadPlainNumber(t, x) || x != static_cast<double>(static_cast<long long>(x)))
          return Refuse("'" + t + "' is not a whole number!");
        if (x < spec.Min || x > spec.Max)
          return Refuse(!spec.Refusal.empty()
                            ? spec.Refusal
                            : LabelOf(spec) + " must be from " + std::to_string(spec.Min) + " to " +
                                  std::to_string(spec.Max) + "!");
        v.Code = static_cast<int>(x);
        v.Number = x;
        break;
      }
      case TOptionKind::Choice: {
        auto c = std::find_if(spec.Choices.begin(), spec.Choices.end(),
                              [&](const TChoice& ch) { return ch.Value == t; });
        if (c == spec.Choices.end()) {
          std::string list;
          for (const auto& ch : spec.Choices) list += (list.empty() ? "" : "|") + ch.Value;
          return Refuse("'" + t + "' is not a choice of --" + spec.Name + " (" + list + ")", true);
        }
        v.Code = c->Code;
        break;
      }
      case TOptionKind::Flag:
        if (!ReadFlag(t, v.Code))
          return Refuse("--" + spec.Name + " takes no value, or 1 or 0", true);
        break;
      case TOptionKind::Column:
        if (t.empty()) break;  // none chosen: the analysis says what it needs
        if (!ResolveColumn(t, data, v.Code))
          return Refuse("'" + t + "' is not a column of the data set!");
        break;
      case TOptionKind::Columns: {
        std::size_t start = 0;
        while (start <= t.size() && !t.empty()) {
          const std::size_t comma = t.find(',', start);
          const std::string item = Trimmed(
              t.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
          int column = 0;
          if (!ResolveColumn(item, data, column))
            return Refuse("'" + item + "' is not a column of the data set!");
          v.Columns.push_back(column);
          if (comma == std::string::npos) break;
          start = comma + 1;
        }
        break;
      }
      case TOptionKind::Text: break;
    }
    out.Values.Set(spec.Name, std::move(v));
  }
  if (selection && selectionTexts.Any()) {
    if (!data) {
      for (const auto& o : ColumnSelectionOptions())
        if (given.count(o.Name)) return Refuse("--" + o.Name + " needs a data file", true);
      return Refuse("the Variable Selection options need a data file", true);
    }
    if (!data->HaveData()) return Refuse(analysis.NoDataMessage);
    TColumnSelection sel;
    TRunInfo ri;
    std::string error;
    if (!ColumnSelectionFromTexts(*data, selectionTexts, analysis.ColumnSelectionTest(out.Values),
                                  sel, ri, error))
      return Refuse(error, true);
    out.Values.SetColumnSelection(sel);
  }
  return out;
}

TOutcome RunValidated(const TAnalysis& analysis, const TOptions& given, TDataList* data,
                      const TProgress& progress,
                      const std::function<void(const std::string&)>& warn, bool* usageFault) {
  if (usageFault) *usageFault = false;
  // An analysis that also takes typed values runs without a data set.
  if (analysis.NeedsData && !analysis.DataOptional && (!data || !data->HaveData()))
    return TOutcome::Refuse(analysis.NoDataMessage);
  TValidation v = ValidateOptions(analysis, given, analysis.NeedsData ? data : nullptr);
  if (!v.Ok) {
    if (usageFault) *usageFault = v.UsageFault;
    return TOutcome::Refuse(v.Message);
  }
  TAnalysisContext context{analysis.NeedsData ? data : nullptr, v.Values, progress, warn};
  return analysis.Run(context);
}

}  // namespace sorvel
