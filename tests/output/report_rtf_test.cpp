#include "output/report_rtf.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

#include "output/report_writer.h"

namespace sorvel {
namespace {

TReport SampleReport() {
  ResetReportWriter();
  TReport report;
  SetReport(report);
  TitleStyle(10);
  WriteLine("Test Statistics");
  BodyStyle(8);
  WriteBlankLine();
  WriteLine("For X\xC2\xB2 Value = 3.5  with 4 df:");
  WriteLine("\tTwo-tail  Value =  \xC2\xB1 1.9600");
  WritePageMark();
  WriteRedLine("Out of {control} \\ limits");
  ResetReportWriter();
  return report;
}

size_t Count(const std::string& s, const std::string& what) {
  size_t n = 0;
  for (size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + 1)) ++n;
  return n;
}

TEST(ReportRtfTest, HeaderHasBothFontsAndRed) {
  std::string rtf = ReportRtf(SampleReport());
  EXPECT_EQ(rtf.rfind("{\\rtf1", 0), 0u);
  EXPECT_NE(rtf.find("{\\f0\\fswiss\\fcharset0 Arial;}"), std::string::npos);
  EXPECT_NE(rtf.find("{\\f1\\fmodern\\fcharset0 Courier New;}"), std::string::npos);
  EXPECT_NE(rtf.find("{\\colortbl;\\red255\\green0\\blue0;}"), std::string::npos);
  EXPECT_EQ(rtf.back(), '\n');
  EXPECT_EQ(Count(rtf, "{"), Count(rtf, "}") - 0) << "braces must balance: " << rtf;
}

TEST(ReportRtfTest, RunsCarryFontSizeInHalfPointsAndStyle) {
  std::string rtf = ReportRtf(SampleReport());
  EXPECT_NE(rtf.find("\\plain\\f0\\fs20\\b\\ul Test Statistics\\par\n"), std::string::npos);
  EXPECT_NE(rtf.find("\\plain\\f1\\fs16 \\par\n"), std::string::npos);  // blank line
  EXPECT_NE(rtf.find("\\plain\\f1\\fs16 \\tab Two-tail"), std::string::npos);
  // red line: regular Courier, colour 1 of the table, special characters escaped
  EXPECT_NE(rtf.find("\\plain\\f1\\fs16\\cf1 Out of \\{control\\} \\\\ limits\\par\n"),
            std::string::npos);
}

TEST(ReportRtfTest, PageMarkBecomesAPageBreak) {
  std::string rtf = ReportRtf(SampleReport());
  EXPECT_EQ(Count(rtf, "\\page\n"), 1u);
  EXPECT_EQ(rtf.find("-Page-"), std::string::npos);
}

struct TEscapeCase {
  std::string Utf8;
  std::string Rtf;
};

class RtfEscapeTest : public ::testing::TestWithParam<TEscapeCase> {};

TEST_P(RtfEscapeTest, NonAsciiBecomesUnicodeEscapes) {
  TReport report;
  report.Lines.push_back({{{GetParam().Utf8, TTextStyle{}}}});
  std::string rtf = ReportRtf(report);
  std::string want = "\\plain\\f1\\fs16 " + GetParam().Rtf + "\\par\n";
  EXPECT_NE(rtf.find(want), std::string::npos) << rtf;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RtfEscapeTest,
    ::testing::Values(TEscapeCase{"X\xC2\xB2", "X\\u178?"},     // superscript two
                      TEscapeCase{"\xC2\xB1 1", "\\u177? 1"},   // plus-minus
                      TEscapeCase{"\xE2\x80\x94", "\\u8212?"},  // em dash
                      TEscapeCase{"\xEF\xBF\xBD", "\\u-3?"},    // U+FFFD: signed 16 bit
                      TEscapeCase{"\xF0\x9F\x98\x80", "\\u-10179?\\u-8704?"},  // surrogate pair
                      TEscapeCase{"a\xFF"
                                  "b",
                                  "a\\u-3?b"},          // malformed byte
                      TEscapeCase{"\xC2", "\\u-3?"}));  // cut-off sequence

TEST(ReportRtfTest, OtherFontsAndColoursAreAddedToTheTables) {
  TTextStyle s;
  s.Font = "Times New Roman";
  s.Color = 0x00FF00;
  TReport report;
  report.Lines.push_back({{{"green", s}}});
  std::string rtf = ReportRtf(report);
  EXPECT_NE(rtf.find("{\\f2\\fswiss\\fcharset0 Times New Roman;}"), std::string::npos);
  EXPECT_NE(rtf.find("\\red0\\green255\\blue0;"), std::string::npos);
  EXPECT_NE(rtf.find("\\plain\\f2\\fs16\\cf1 green\\par"), std::string::npos);
}

// A written file must open in a word processor with its text and styles intact.
// LibreOffice reads it and writes HTML, which shows the fonts and styles it understood.
TEST(ReportRtfTest, OpensInLibreOffice) {
  if (std::system("command -v soffice >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "soffice is not installed";
  namespace fs = std::filesystem;
  fs::path dir = fs::temp_directory_path() / ("sorvel_rtf_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  fs::path rtfPath = dir / "report.rtf";
  {
    std::ofstream f(rtfPath, std::ios::binary);
    f << ReportRtf(SampleReport());
  }
  std::string cmd = "cd '" + dir.string() + "' && HOME='" + dir.string() +
                    "' soffice --headless --convert-to 'txt:Text (encoded):UTF8' report.rtf"
                    " >/dev/null 2>&1 && HOME='" +
                    dir.string() +
                    "' soffice --headless --convert-to html report.rtf >/dev/null 2>&1";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  auto slurp = [](const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
  };
  std::string text = slurp(dir / "report.txt");
  EXPECT_NE(text.find("Test Statistics"), std::string::npos) << text;
  EXPECT_NE(text.find("For X\xC2\xB2 Value = 3.5  with 4 df:"), std::string::npos) << text;
  EXPECT_NE(text.find("\tTwo-tail  Value =  \xC2\xB1 1.9600"), std::string::npos) << text;
  EXPECT_NE(text.find("Out of {control} \\ limits"), std::string::npos) << text;
  EXPECT_EQ(text.find("-Page-"), std::string::npos);

  std::string html = slurp(dir / "report.html");
  for (char& c : html)
    if (c == '\n') c = ' ';  // the HTML writer wraps long lines
  size_t title = html.find("Test Statistics");
  ASSERT_NE(title, std::string::npos) << html;
  // the markup just before the title names Arial, bold and underline
  std::string before = html.substr(title > 400 ? title - 400 : 0, title > 400 ? 400 : title);
  EXPECT_NE(before.find("Arial"), std::string::npos) << before;
  EXPECT_NE(before.find("<b>"), std::string::npos) << before;
  EXPECT_NE(before.find("<u>"), std::string::npos) << before;
  EXPECT_NE(before.find("font-size: 10pt"), std::string::npos) << before;
  size_t body = html.find("with 4 df:");
  ASSERT_NE(body, std::string::npos);
  size_t paragraph = html.rfind("<p", body);
  std::string beforeBody = html.substr(paragraph, body - paragraph);
  EXPECT_NE(beforeBody.find("Courier New"), std::string::npos) << beforeBody;
  EXPECT_NE(beforeBody.find("font-size: 8pt"), std::string::npos) << beforeBody;
  EXPECT_EQ(beforeBody.find("<b>"), std::string::npos) << beforeBody;
  // the page break falls before the line after the page mark, which is red
  size_t red = html.find("Out of {control}");
  ASSERT_NE(red, std::string::npos);
  std::string beforeRed = html.substr(html.rfind("<p", red), 300);
  EXPECT_NE(beforeRed.find("page-break-before: always"), std::string::npos) << beforeRed;
  EXPECT_NE(beforeRed.find("#ff0000"), std::string::npos) << beforeRed;
  fs::remove_all(dir);
}

}  // namespace
}  // namespace sorvel
