// Shared values and state of the numerical library.
#pragma once

#include <functional>
#include <string>

namespace sorvel {

// Marks a missing or unreadable value everywhere: -(2^31 - 1), compared exactly.
inline constexpr double MissingValue = -2147483647.0;
inline bool IsPresent(double x) { return x != MissingValue; }

// Not-available value of every p-value and statistic; printed unchanged.
inline constexpr double NotAvailable = 999.0;

// Status of the last numerical routine or text-to-number conversion; 0 = no error.
// 1 routine-specific failure, 2 no data, 10 no convergence, 99 incomplete-beta argument.
extern int StatError;

// Warnings raised deep inside the library (non-convergence) go through one installable
// handler: the GUI shows a box, the command line writes stderr, tests record them.
using WarningHandler = std::function<void(const std::string& text)>;
WarningHandler SetWarningHandler(WarningHandler handler);  // returns the previous one
// Sets StatError to 10 and reports "Error in Statistical Routine " + tag.
void StatWarning(const std::string& tag);

// Puts the library's shared state back as at start-up (for tests).
void ResetNumericsState();

}  // namespace sorvel
