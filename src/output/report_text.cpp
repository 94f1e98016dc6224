#include "output/report_text.h"

namespace sorvel {

std::string ReportPlainText(const TReport& report) {
  std::string out;
  for (const auto& line : report.Lines) {
    std::string text = line.Text();
    if (text.find(PageMarkText) != std::string::npos) continue;
    out += text;
    out += '\n';
  }
  return out;
}

}  // namespace sorvel
