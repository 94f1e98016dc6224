#pragma once

#include <string>

#include "output/report.h"

namespace sorvel {

// The report as "Save As" .rtf writes it: fonts, sizes, bold, underline and colours
// kept; every line holding "-Page-" becomes a page break. Text is UTF-8 and written as
// \uN? escapes beyond ASCII.
std::string ReportRtf(const TReport& report);

}  // namespace sorvel
