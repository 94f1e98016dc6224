#include "analysis/analysis.h"
#include "numerics/parse.h"

namespace sorvel {

bool ReadPlainNumber(const std::string& text, double& value) {
  // StrToReal also takes thousands separators, which typed options must not: "2,5" is
  // not 25.
  if (text.find(',') != std::string::npos) return false;
  const TRealConversion c = StrToReal(text);
  if (c.Code != 0) return false;
  value = c.Value;
  return true;
}

}  // namespace sorvel
