#include "shell/analysis_registry.h"

#include <algorithm>

#include "shell/command_table.h"

namespace sorvel {

void RegisterAllAnalyses(TAnalysisRegistry& registry);  // analyses.cpp

void TAnalysisRegistry::Add(TAnalysis analysis) {
  auto it = std::find_if(analyses_.begin(), analyses_.end(),
                         [&](const TAnalysis& a) { return a.Name == analysis.Name; });
  if (it != analyses_.end())
    *it = std::move(analysis);
  else
    analyses_.push_back(std::move(analysis));
}

const TAnalysis* TAnalysisRegistry::Find(const std::string& name) const {
  for (const auto& a : analyses_)
    if (a.Name == name) return &a;
  return nullptr;
}

TAnalysisRegistry& AnalysisRegistry() {
  static TAnalysisRegistry registry = [] {
    TAnalysisRegistry r;
    RegisterAllAnalyses(r);
    return r;
  }();
  return registry;
}

TOptions WithDefaults(const TAnalysis& analysis, const TOptions& given) {
  TOptions out = given;
  for (const auto& o : analysis.Options)
    if (!out.count(o.Name)) out[o.Name] = o.Default;
  if (!out.count("decimals")) out["decimals"] = "4";
  return out;
}

const std::vector<std::string>& BuiltWindows() {
  static const std::vector<std::string> built = {"data-editor", "new", "open"};
  return built;
}

bool IsCommandAvailable(const std::string& name) {
  const TCommandEntry* e = FindCommand(name);
  if (!e) return false;
  if (e->Kind == TCommandKind::Shell || e->Kind == TCommandKind::Help) return true;
  if (AnalysisRegistry().Find(name)) return true;
  const auto& built = BuiltWindows();
  return std::find(built.begin(), built.end(), name) != built.end();
}

}  // namespace sorvel
