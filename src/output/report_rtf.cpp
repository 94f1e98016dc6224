#include "output/report_rtf.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace sorvel {

namespace {

// Next code point of UTF-8 text; a malformed byte reads as U+FFFD.
char32_t NextCodePoint(const std::string& s, size_t& i) {
  auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
  unsigned char c = byte(i);
  int extra = c < 0x80 ? 0 : (c >> 5) == 0x6 ? 1 : (c >> 4) == 0xE ? 2 : (c >> 3) == 0x1E ? 3 : -1;
  if (extra < 0 || i + extra >= s.size()) {
    ++i;
    return 0xFFFD;
  }
  char32_t cp = extra == 0 ? c : (c & (0x3F >> extra));
  for (int k = 1; k <= extra; ++k) {
    unsigned char cc = byte(i + k);
    if ((cc & 0xC0) != 0x80) {
      ++i;
      return 0xFFFD;
    }
    cp = (cp << 6) | (cc & 0x3F);
  }
  i += extra + 1;
  return cp;
}

void AppendUnicode(std::string& out, char32_t cp) {
  // \uN takes a signed 16-bit number; "?" is what readers without Unicode show.
  auto unit = [&](std::uint16_t u) {
    out += "\\u" + std::to_string(static_cast<std::int16_t>(u)) + "?";
  };
  if (cp > 0xFFFF) {
    cp -= 0x10000;
    unit(static_cast<std::uint16_t>(0xD800 + (cp >> 10)));
    unit(static_cast<std::uint16_t>(0xDC00 + (cp & 0x3FF)));
  } else {
    unit(static_cast<std::uint16_t>(cp));
  }
}

std::string Escape(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size();) {
    char32_t cp = NextCodePoint(text, i);
    if (cp == '\\' || cp == '{' || cp == '}') {
      out += '\\';
      out += static_cast<char>(cp);
    } else if (cp == '\t') {
      out += "\\tab ";
    } else if (cp < 0x20) {
      // other control characters have no place in a report line
    } else if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else {
      AppendUnicode(out, cp);
    }
  }
  return out;
}

template <typename T>
int IndexOf(std::vector<T>& table, const T& value) {
  auto it = std::find(table.begin(), table.end(), value);
  if (it != table.end()) return static_cast<int>(it - table.begin());
  table.push_back(value);
  return static_cast<int>(table.size() - 1);
}

}  // namespace

std::string ReportRtf(const TReport& report) {
  std::vector<std::string> fonts = {"Arial", "Courier New"};
  // Colour 0 of the table is the reader's automatic (black) colour.
  std::vector<std::uint32_t> colors = {0x000000};
  for (const auto& line : report.Lines)
    for (const auto& run : line.Runs) {
      IndexOf(fonts, run.Style.Font);
      IndexOf(colors, run.Style.Color);
    }

  std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n{\\fonttbl";
  for (size_t f = 0; f < fonts.size(); ++f) {
    const char* family = fonts[f] == "Courier New" ? "\\fmodern" : "\\fswiss";
    out += "{\\f" + std::to_string(f) + family + "\\fcharset0 " + Escape(fonts[f]) + ";}";
  }
  out += "}\n{\\colortbl;";
  for (size_t c = 1; c < colors.size(); ++c) {
    std::uint32_t rgb = colors[c];
    out += "\\red" + std::to_string((rgb >> 16) & 0xFF) + "\\green" +
           std::to_string((rgb >> 8) & 0xFF) + "\\blue" + std::to_string(rgb & 0xFF) + ";";
  }
  out += "}\n\\pard\\plain\n";

  for (const auto& line : report.Lines) {
    if (line.Text().find(PageMarkText) != std::string::npos) {
      out += "\\page\n";
      continue;
    }
    for (const auto& run : line.Runs) {
      const TTextStyle& s = run.Style;
      out += "\\plain\\f" + std::to_string(IndexOf(fonts, s.Font)) + "\\fs" +
             std::to_string(2 * s.Size);
      if (s.Bold) out += "\\b";
      if (s.Underline) out += "\\ul";
      int color = IndexOf(colors, s.Color);
      if (color != 0) out += "\\cf" + std::to_string(color);
      out += ' ';
      out += Escape(run.Text);
    }
    out += "\\par\n";
  }
  out += "}\n";
  return out;
}

}  // namespace sorvel
