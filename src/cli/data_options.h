// The data options every command that reads a data file takes (--missing, --transform,
// --process-if, --weight-cases, ...): declared once, listed in each such command's
// --help, and turned into the data set's rules after the file is loaded.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "analysis/analysis.h"

namespace sorvel {

const std::vector<TOptionSpec>& DataRuleOptions();
const TOptionSpec* FindDataRuleOption(const std::string& name);

// Reads args[i] when it is a data option ("--name value", "--name=value", a flag alone)
// into `rules` and advances i past its value. Returns false when args[i] is none; sets
// `status` to CliUsage (with a message) when its value is missing.
bool TakeDataRuleOption(const std::vector<std::string>& args, std::size_t& i, TOptions& rules,
                        std::ostream& err, int& status);

// Weighs the loaded data set and sets the rules from `rules`, in that order; every rule
// starts from off. Returns CliOk, CliUsage for a malformed rule or an unknown column
// (named on err), CliRefused when Weight Cases refuses. While the returned session lives,
// the data set's messages (a transform error) go to `err`.
class TDataRuleSession {
 public:
  explicit TDataRuleSession(std::ostream& err);
  ~TDataRuleSession();
  TDataRuleSession(const TDataRuleSession&) = delete;
  TDataRuleSession& operator=(const TDataRuleSession&) = delete;
  int Apply(const TOptions& rules);

 private:
  std::ostream& err_;
  std::function<void(const std::string&)> previous_;
};

// The help rows of the data options, as "  --name HINT" and its text.
std::vector<std::pair<std::string, std::string>> DataRuleHelpRows();

}  // namespace sorvel
