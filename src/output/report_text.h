#pragma once

#include <string>

#include "output/report.h"

namespace sorvel {

// The report as "Save As" .txt writes it: each line's text and a line break,
// page-mark lines left out.
std::string ReportPlainText(const TReport& report);

}  // namespace sorvel
