// Small services of the application shell that every window may call:
// help, the self-closing notice, the loading gauge, launching addresses.
#pragma once

#include <QString>
#include <functional>

namespace sorvel {

// Opens a document or web address with the desktop; false when nothing accepted it.
bool LaunchAddress(const QString& address);
// Replaces the desktop for LaunchAddress (window tests); an empty function restores it.
void SetAddressLauncher(std::function<bool(const QString& address)> launcher);

// Help: a configured web address ("HelpAddress" in the settings) + "/help/help.php?m" +
// "contents" or the topic number; else the local help folder; else a warning.
void ShowHelpContents();
void ShowHelpTopic(int topic);
// Where the local help pages are: SORVEL_HELP_DIR when set, else the first of
// <bin>/../share/sorvelstats/help, <bin>/../help, <bin>/help that holds index.html.
QString LocalHelpFolder();

// A notice that closes itself after the given seconds, without blocking.
void ShowNotice(const QString& text, int seconds);
QString CurrentNoticeText();  // empty when none is shown (tests)

// The "Loading File..." gauge shown while a data file is read.
void ShowLoadingGauge();
void SetLoadingGauge(double fraction);  // 0..1; lets pending events run
void FreeLoadingGauge();
bool LoadingGaugeShown();

}  // namespace sorvel
