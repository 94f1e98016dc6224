#include "cli/data_options.h"

#include <charconv>

#include "cli/cli.h"
#include "data/data_rules.h"
#include "data/data_state.h"
#include "numerics/distributions.h"

namespace sorvel {

namespace {

std::vector<TChoice> TransformChoices() {
  std::vector<TChoice> c;
  for (int no = TransformNone; no <= TransformChiSquare; ++no)
    c.push_back({TransformName(no), TransformCaption(no), no});
  return c;
}

}  // namespace

const std::vector<TOptionSpec>& DataRuleOptions() {
  static const std::vector<TOptionSpec> options = [] {
    std::vector<TOptionSpec> o;
    auto add = [&](std::string name, TOptionKind kind, std::string def, std::string help) {
      TOptionSpec s;
      s.Name = std::move(name);
      s.Kind = kind;
      s.Default = std::move(def);
      s.Help = std::move(help);
      o.push_back(std::move(s));
    };
    add("weight-cases", TOptionKind::Column, "",
        "Weight Cases by this column before the run (each case repeated by its rounded weight)");
    add("missing", TOptionKind::Text, "",
        "missing-value rule, e.g. \"X <= -99 or X = 0\" (at most two conditions; = > >= < <=)");
    add("transform", TOptionKind::Choice, "none", "transformation of every loaded value");
    o.back().Choices = TransformChoices();
    add("transform-a", TOptionKind::Number, "1", "the transformation's constant A");
    add("transform-b", TOptionKind::Number, "0", "the transformation's constant B");
    add("transform-c", TOptionKind::Number, "1", "the transformation's constant C");
    add("normal-first", TOptionKind::Flag, "",
        "replace each value by a Normal(10, 1) draw before transforming");
    add("seed", TOptionKind::WholeNumber, "",
        "start the random generator here (random draws repeat)");
    o.back().Min = 0;
    o.back().Max = 2147483647;
    add("process-if", TOptionKind::Text, "",
        "cases taking part, e.g. \"Line in [1,3] or Shift = 2\" (= > >= < <= <> in, Not in; "
        "and/or)");
    add("blank-commas", TOptionKind::Choice, "no",
        "blank commas in an \"in\" list mean missing values");
    o.back().Choices = {{"yes", "Yes", 1}, {"no", "No", 0}};
    return o;
  }();
  return options;
}

const TOptionSpec* FindDataRuleOption(const std::string& name) {
  for (const auto& o : DataRuleOptions())
    if (o.Name == name) return &o;
  return nullptr;
}

bool TakeDataRuleOption(const std::vector<std::string>& args, std::size_t& i, TOptions& rules,
                        std::ostream& err, int& status) {
  const std::string& a = args[i];
  if (a.rfind("--", 0) != 0) return false;
  std::string name = a.substr(2), value;
  const auto eq = name.find('=');
  const bool hasValue = eq != std::string::npos;
  if (hasValue) {
    value = name.substr(eq + 1);
    name.resize(eq);
  }
  const TOptionSpec* spec = FindDataRuleOption(name);
  if (!spec) return false;
  if (spec->Kind == TOptionKind::Flag && !hasValue) {
    value = "1";
  } else if (!hasValue) {
    if (i + 1 >= args.size()) {
      err << "sorvelstats-cli: the option '--" << name << "' needs a value\n";
      status = CliUsage;
      return true;
    }
    value = args[++i];
  }
  rules[name] = value;
  return true;
}

std::vector<std::pair<std::string, std::string>> DataRuleHelpRows() {
  std::vector<std::pair<std::string, std::string>> rows;
  for (const auto& o : DataRuleOptions()) {
    std::string hint, help = o.Help;
    switch (o.Kind) {
      case TOptionKind::Column: hint = " COLUMN"; break;
      case TOptionKind::Text: hint = " RULE"; break;
      case TOptionKind::Number: hint = " X"; break;
      case TOptionKind::WholeNumber: hint = " N"; break;
      case TOptionKind::Choice:
        hint = " ";
        for (std::size_t k = 0; k < o.Choices.size(); ++k)
          hint += (k ? "|" : "") + o.Choices[k].Value;
        break;
      default: break;
    }
    if (o.Kind != TOptionKind::Flag)
      help += " [default: " + (o.Default.empty() ? std::string("none") : o.Default) + "]";
    rows.emplace_back("  --" + o.Name + hint, help);
  }
  return rows;
}

TDataRuleSession::TDataRuleSession(std::ostream& err) : err_(err) {
  previous_ = SetDataMessageHandler([this](const std::string& text) { err_ << text << '\n'; });
}

TDataRuleSession::~TDataRuleSession() { SetDataMessageHandler(previous_); }

int TDataRuleSession::Apply(const TOptions& rules) {
  ResetDataRules();
  auto get = [&](const std::string& name) -> std::string {
    auto it = rules.find(name);
    if (it != rules.end()) return it->second;
    const TOptionSpec* s = FindDataRuleOption(name);
    return s ? s->Default : std::string();
  };
  auto usage = [&](const std::string& text) {
    err_ << "sorvelstats-cli: " << text << '\n';
    return CliUsage;
  };
  TDataList& list = DataList();

  // The file is loaded, weighted, then the rules set, as in the editor.
  if (rules.count("weight-cases")) {
    const std::string col = get("weight-cases");
    const int c = FindColumn(list, col);
    if (c == 0) return usage("--weight-cases: no column '" + col + "'");
    auto r = WeightCases(list, c, [&](std::int64_t n) {
      err_ << "New Row Count = " << n << '\n';
      return true;
    });
    if (!r.Message.empty()) {
      err_ << r.Message << '\n';
      return CliRefused;
    }
  }
  if (rules.count("seed")) {
    const std::string s = get("seed");
    std::uint64_t seed = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), seed);
    if (ec != std::errc() || end != s.data() + s.size())
      return usage("--seed takes a whole number, not '" + s + "'");
    SeedRandom(seed);
  }
  const std::string blank = get("blank-commas");
  if (blank != "yes" && blank != "no")
    return usage("--blank-commas takes yes or no, not '" + blank + "'");
  BlankCommasAnswer = blank == "yes" ? TBlankCommas::Yes : TBlankCommas::No;

  if (rules.count("missing")) {
    TMissingChoice choice;
    std::string error;
    if (!ParseMissingText(get("missing"), choice, error)) return usage("--missing: " + error);
    ApplyMissingChoice(choice);
  }
  const std::string name = get("transform");
  const int no = TransformByName(name);
  if (no < 0) return usage("--transform: no transform '" + name + "'");
  for (const char* k : {"transform-a", "transform-b", "transform-c", "normal-first"})
    if (no == TransformNone && rules.count(k))
      return usage(std::string("--") + k + " needs --transform");
  std::string error;
  if (!SetTransform(TransformRec, no, get("transform-a"), get("transform-b"), get("transform-c"),
                    rules.count("normal-first") != 0, error))
    return usage("--transform " + name + ": " + error);
  if (rules.count("process-if")) {
    TProcessIfChoice choice;
    if (!ParseProcessIfText(get("process-if"), list, choice, error))
      return usage("--process-if: " + error);
    ApplyProcessIfChoice(choice, list);
  }
  return CliOk;
}

}  // namespace sorvel
