// "Control Test Selection": which run rules the charts apply and their lengths. The
// command prints what the dialog shows; its options change the selection for the run and
// every chart command takes them too.
#pragma once

#include <string>
#include <vector>

#include "analysis/analysis.h"
#include "quality/control_tests.h"

namespace sorvel {

inline constexpr const char* ControlTestSelectionCommand = "control-test-selection";
inline constexpr int ControlTestsHelpTopic = 5200;
inline constexpr const char* SettingsSavedMessage = "Settings Saved as Default";

// The dialog's row texts of tests 1 .. 9 with the lengths of `s` ("Run: 8 Consecutive
// Points All Above or All Below the Centerline").
std::string ControlTestRowText(int test, const TControlTestSettings& s);

// The options every chart command takes (--standard, --moving-range, --run, --trend,
// --excess-variability, --lack-of-variability, --alternating-values, --zone-rule-1,
// --zone-rule-2); each left empty keeps the stored choice.
std::vector<TOptionSpec> ControlTestOptions();
// Applies given options to `s`; false with the window's kind of message when a value is
// out of its range.
bool ApplyControlTestOptions(const TOptionValues& o, TControlTestSettings& s, std::string& error);

// Reads the program's settings again from the settings store (start-up, "Restore Default").
void LoadControlTestSettings();

// The selection as the dialog shows it.
void WriteControlTestReport(const TControlTestSettings& s);

TAnalysis ControlTestSelectionAnalysis();

}  // namespace sorvel
