#include "data/io/data_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>

#include "data/data_state.h"
#include "data/io/csv.h"
#include "data/io/workbook.h"

namespace sorvel {

namespace {

// ------------------------------------------------------------------ encoding

// Windows-1252 bytes 0x80..0x9F as Unicode; the five unassigned ones map to the C1
// controls of the same value, as the WHATWG encoding standard does.
constexpr std::array<char16_t, 32> Cp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Length of the valid UTF-8 sequence at s[i], or 0 when the bytes there are not one.
size_t Utf8Sequence(const unsigned char* s, size_t n, size_t i) {
  unsigned char b = s[i];
  size_t len;
  char32_t min;
  if (b >= 0xC2 && b <= 0xDF) {
    len = 2;
    min = 0x80;
  } else if (b >= 0xE0 && b <= 0xEF) {
    len = 3;
    min = 0x800;
  } else if (b >= 0xF0 && b <= 0xF4) {
    len = 4;
    min = 0x10000;
  } else {
    return 0;
  }
  if (i + len > n) return 0;
  char32_t cp = b & (0x3F >> (len - 1));
  for (size_t k = 1; k < len; ++k) {
    if ((s[i + k] & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (s[i + k] & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

bool IsAscii(std::string_view t) {
  const char* p = t.data();
  size_t n = t.size(), i = 0;
  for (; i + 8 <= n; i += 8) {
    std::uint64_t w;
    std::memcpy(&w, p + i, 8);
    if (w & 0x8080808080808080ull) return false;
  }
  for (; i < n; ++i)
    if (static_cast<unsigned char>(p[i]) & 0x80) return false;
  return true;
}

// UTF-8 stays as it is; a byte that does not start a valid UTF-8 sequence is taken as
// Windows-1252. Returns the line to use (`line` itself, or `buffer` after conversion).
std::string_view ToUtf8(std::string_view line, std::string& buffer) {
  if (IsAscii(line)) return line;
  const auto* s = reinterpret_cast<const unsigned char*>(line.data());
  const size_t n = line.size();
  size_t i = 0;
  while (i < n) {
    if (s[i] < 0x80) {
      ++i;
      continue;
    }
    size_t len = Utf8Sequence(s, n, i);
    if (len == 0) break;
    i += len;
  }
  if (i == n) return line;
  buffer.assign(line.substr(0, i));
  while (i < n) {
    if (s[i] < 0x80) {
      buffer += static_cast<char>(s[i++]);
      continue;
    }
    size_t len = Utf8Sequence(s, n, i);
    if (len) {
      buffer.append(line.data() + i, len);
      i += len;
      continue;
    }
    unsigned char b = s[i++];
    AppendUtf8(buffer, b < 0xA0 ? Cp1252High[b - 0x80] : char32_t(b));
  }
  return buffer;
}

// ------------------------------------------------------------------ line kinds

// 1 Title, 2 USL, 3 Target, 4 LSL when the line is a description line; else 0.
int DescriptionKey(std::string_view line, size_t& colon) {
  size_t limit = std::min<size_t>(line.size(), 7);
  if (limit == 0) return 0;  // an empty view may have no data pointer for memchr
  const void* hit = std::memchr(line.data(), ':', limit);
  if (!hit) return 0;
  colon = static_cast<const char*>(hit) - line.data();
  char key[8] = {};
  for (size_t i = 0; i < colon; ++i) {
    char ch = line[i];
    key[i] = ch >= 'a' && ch <= 'z' ? static_cast<char>(ch - 'a' + 'A') : ch;
  }
  std::string_view k(key, colon);
  if (k == "TITLE") return 1;
  if (k == "USL") return 2;
  if (k == "TARGET") return 3;
  if (k == "LSL") return 4;
  return 0;
}

// The names test of the first line: some character outside the numeric set, and no field
// (split with default names) that is a number.
bool IsNamesLine(std::string_view line, std::vector<std::string>* names, bool* truncated) {
  if (line.empty() || !HasNonNumericChar(line)) return false;
  bool trunc = false;
  bool tab = std::memchr(line.data(), '\t', line.size()) != nullptr;
  std::vector<std::string> fields = SplitHeaderLine(line, tab, true, trunc);
  for (const auto& f : fields)
    if (FieldIsNumber(f)) return false;
  if (names) *names = std::move(fields);
  if (truncated) *truncated = *truncated || trunc;
  return true;
}

// ------------------------------------------------------------------ reading

class TByteSource {
 public:
  virtual ~TByteSource() = default;
  // Bytes read into buf (0 at the end), or -1 on a read error (errno set).
  virtual long Read(char* buf, size_t n) = 0;
  std::int64_t RawBytes = 0;  // bytes taken from the file so far (for the gauge)
};

class TFdSource : public TByteSource {
 public:
  explicit TFdSource(int fd) : Fd(fd) {}
  long Read(char* buf, size_t n) override {
    for (;;) {
      ssize_t got = ::read(Fd, buf, n);
      if (got < 0 && errno == EINTR) continue;
      if (got > 0) RawBytes += got;
      return static_cast<long>(got);
    }
  }
  int Fd;
};

class TMemorySource : public TByteSource {
 public:
  explicit TMemorySource(std::string_view bytes) : Bytes(bytes) {}
  long Read(char* buf, size_t n) override {
    n = std::min(n, Bytes.size() - Pos);
    std::memcpy(buf, Bytes.data() + Pos, n);
    Pos += n;
    RawBytes += static_cast<std::int64_t>(n);
    return static_cast<long>(n);
  }
  std::string_view Bytes;
  size_t Pos = 0;
};

void AppendUtf8Full(std::string& out, char32_t cp) {
  if (cp < 0x10000) {
    AppendUtf8(out, cp);
    return;
  }
  out += static_cast<char>(0xF0 | (cp >> 18));
  out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
  out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
  out += static_cast<char>(0x80 | (cp & 0x3F));
}

// UTF-16 text (after its byte-order mark) handed on as UTF-8, the form the data set holds.
// A surrogate without its partner and an odd last byte become U+FFFD.
class TUtf16Source : public TByteSource {
 public:
  TUtf16Source(TByteSource& raw, bool bigEndian)
      : Raw(raw), BigEndian(bigEndian), In(std::size_t(1) << 20) {}
  long Read(char* buf, size_t n) override {
    while (Pos == Out.size() && !Eof) {
      Out.clear();
      Pos = 0;
      long got = Raw.Read(In.data(), In.size());
      if (got < 0) return -1;
      if (got == 0) {
        Eof = true;
        if (High) Out += Replacement;
        if (HaveOdd) Out += Replacement;
        High = 0;
        HaveOdd = false;
      } else {
        Decode(reinterpret_cast<const unsigned char*>(In.data()), static_cast<size_t>(got));
      }
    }
    n = std::min(n, Out.size() - Pos);
    std::memcpy(buf, Out.data() + Pos, n);
    Pos += n;
    return static_cast<long>(n);
  }

 private:
  static constexpr const char* Replacement = "\xEF\xBF\xBD";
  void Decode(const unsigned char* p, size_t n) {
    size_t i = 0;
    if (HaveOdd) {
      Unit(BigEndian ? char16_t(Odd << 8 | p[0]) : char16_t(p[0] << 8 | Odd));
      HaveOdd = false;
      i = 1;
    }
    for (; i + 1 < n; i += 2)
      Unit(BigEndian ? char16_t(p[i] << 8 | p[i + 1]) : char16_t(p[i + 1] << 8 | p[i]));
    if (i < n) {
      Odd = p[i];
      HaveOdd = true;
    }
  }
  void Unit(char16_t u) {
    if (High) {
      if (u >= 0xDC00 && u <= 0xDFFF) {
        AppendUtf8Full(Out, 0x10000 + ((char32_t(High) - 0xD800) << 10) + (u - 0xDC00));
        High = 0;
        return;
      }
      Out += Replacement;
      High = 0;
    }
    if (u >= 0xD800 && u <= 0xDBFF)
      High = u;
    else if (u >= 0xDC00 && u <= 0xDFFF)
      Out += Replacement;
    else if (u < 0x80)
      Out += static_cast<char>(u);
    else
      AppendUtf8(Out, u);
  }

  TByteSource& Raw;
  bool BigEndian;
  std::vector<char> In;
  std::string Out;
  size_t Pos = 0;
  bool Eof = false;
  char16_t High = 0;
  unsigned char Odd = 0;
  bool HaveOdd = false;
};

class TReader {
 public:
  TReader(TDataList& list, TFileResult& result) : List(list), Result(result) {
    // The fresh data set: no cases yet, the names row kept.
    List.DataGrid.SetRowCount(1);
  }

  void Line(std::string_view raw) {
    ++LineNo;
    std::string_view line = ToUtf8(raw, Converted);
    if (LineNo == 1 && line.size() >= 3 && line.substr(0, 3) == "\xEF\xBB\xBF")
      line.remove_prefix(3);
    if (CsvOpen) return ContinueCsv(line);
    if (!line.empty() && line.front() == '*') line = {};
    if (!line.empty()) {
      size_t colon = 0;
      if (int key = DescriptionKey(line, colon);
          key && colon + 1 < line.size() && line[colon + 1] == ',') {
        // "Title:," is a comma-separated description line (this program writes a tab there).
        StartCsv(line.substr(colon + 2), key);
        return;
      } else if (key) {
        // The writer puts a tab after the ":"; a hand-typed line may have a blank there or
        // start the first field at once ("Title:Length").
        size_t from = colon + 1;
        if (from < line.size() && (line[from] == '\t' || line[from] == ' ')) ++from;
        std::string_view rest = line.substr(from);
        auto fields = SplitHeaderLine(rest, true, false, Truncated);
        auto& row = Desc[key];
        if (row.size() < fields.size()) row.resize(fields.size());
        for (size_t i = 0; i < fields.size(); ++i) row[i] = std::move(fields[i]);
        Result.DescriptionsRead = true;
        line = {};
      }
    }
    // Quotes matter only in comma-separated lines; in a ".csv" file every line is one.
    if (!line.empty() && (CsvFile || std::memchr(line.data(), '"', line.size())) &&
        StartCsv(line, 0))
      return;
    if (LineNo == 1 && !line.empty() && IsNamesLine(line, &Names, &Truncated)) {
      Result.NamesRead = true;
      line = {};
    }
    if (line.empty()) return;
    if (std::memchr(line.data(), '\t', line.size())) {
      // Tab-separated, the common case: split and append without per-field copies.
      size_t n = SplitTabs(line);
      if (n > static_cast<size_t>(MaxColumns)) Truncated = true;
      ++Result.DataLines;
      if (static_cast<int>(Ends.size()) + 1 > List.DataGrid.ColCount())
        List.DataGrid.SetColCount(static_cast<int>(Ends.size()) + 1);
      List.DataGrid.AppendRowRaw(RowText, Ends, 1);
    } else {
      size_t n = SplitDataLine(line, Fields, MaxColumns);
      if (n == 0) return;
      if (n > static_cast<size_t>(MaxColumns)) Truncated = true;
      ++Result.DataLines;
      List.DataGrid.AppendRow(Fields, 1);
    }
    DataLineAdded();
  }

  void DataLineAdded() {
    if (Result.DataLines == 2000 && ExpectedBytes > 0 && Consumed > 0) {
      // Reserve for the rest of the file from what the first lines took.
      double lines = double(ExpectedBytes) / double(Consumed) * 2000.0 * 1.05;
      List.DataGrid.ReserveRows(static_cast<size_t>(lines));
    }
  }

  // A line with quotes (any line of a ".csv" file) read as comma-separated values; `key`
  // is the description row of a "Title:," line, 0 for names and data. False when the line
  // is not comma-separated after all: it then follows the blank- and tab-separated rules.
  // Those rules keep every file this program writes as it reads today: its lines hold a
  // tab whenever they hold a comma, so a tab counts only after a comma-separated line
  // without tabs has been seen (or in a ".csv" file).
  bool StartCsv(std::string_view line, int key) {
    Csv.Start(line, MaxColumns);
    if (key == 0) {
      if (Csv.TabOutside) return false;
      if (!CsvFile) {
        if (!Csv.CommaOutside) return false;
        const bool tab = std::memchr(line.data(), '\t', line.size()) != nullptr;
        if (tab && !CsvSeen) return false;
        CsvSeen = CsvSeen || !tab;
      }
    }
    CsvKey = key;
    CsvLine = LineNo;
    if (Csv.Open()) {
      CsvOpen = true;
      CsvBreak = Eol;
    } else {
      EndCsv();
    }
    return true;
  }

  void ContinueCsv(std::string_view line) {
    Csv.Continue(CsvBreak, line);
    CsvBreak = Eol;
    if (Csv.Bytes > MaxLine) {
      Result.Error = FileReadErrorText;
      Result.Detail = "line " + std::to_string(CsvLine) + ": a quoted field longer than " +
                      std::to_string(MaxLine) + " bytes";
      return;
    }
    if (Csv.Open()) return;
    CsvOpen = false;
    EndCsv();
  }

  // A cell holds what a saved file gives back, as typed and workbook cells do: a quoted
  // field's tabs, line breaks and surrounding blanks would not survive Save.
  void CleanCsvFields() {
    auto needs = [](std::string_view f) {
      return f.find_first_of("\t\r\n") != std::string_view::npos ||
             (!f.empty() && (static_cast<unsigned char>(f.front()) <= ' ' ||
                             static_cast<unsigned char>(f.back()) <= ' '));
    };
    bool any = false;
    for (size_t i = 0; i < Csv.Kept() && !any; ++i) any = needs(Csv.Field(i));
    if (!any) return;
    std::string text;
    std::vector<std::uint32_t> ends;
    for (size_t i = 0; i < Csv.Kept(); ++i) {
      text += CleanCellText(Csv.Field(i));
      ends.push_back(static_cast<std::uint32_t>(text.size()));
    }
    Csv.Text = std::move(text);
    Csv.Ends = std::move(ends);
  }

  void EndCsv() {
    if (Csv.FieldCount > static_cast<size_t>(MaxColumns)) Truncated = true;
    CleanCsvFields();
    if (CsvKey != 0) {
      auto& row = Desc[CsvKey];
      if (row.size() < Csv.Kept()) row.resize(Csv.Kept());
      for (size_t i = 0; i < Csv.Kept(); ++i) row[i] = Csv.Field(i);
      Result.DescriptionsRead = true;
      return;
    }
    if (CsvLine == 1) {
      // The names test on the fields as they read: none is a number, one holds a letter.
      bool text = false, number = false;
      for (size_t i = 0; i < Csv.Kept(); ++i) {
        text = text || HasNonNumericChar(Csv.Field(i));
        number = number || FieldIsNumber(Csv.Field(i));
      }
      if (text && !number) {
        Names.clear();
        for (size_t i = 0; i < Csv.Kept(); ++i) Names.emplace_back(Csv.Field(i));
        Result.NamesRead = true;
        return;
      }
    }
    // A blank line is no case; a quoted empty field ("") is one with an empty cell.
    if (Csv.FieldCount == 1 && !Csv.FirstQuoted && Csv.Text.empty()) return;
    ++Result.DataLines;
    if (static_cast<int>(Csv.Kept()) + 1 > List.DataGrid.ColCount())
      List.DataGrid.SetColCount(static_cast<int>(Csv.Kept()) + 1);
    List.DataGrid.AppendRowRaw(Csv.Text, Csv.Ends, 1);
    DataLineAdded();
  }

  // The data-line splitter for a line holding a tab: fields at every tab, trimmed; a tab
  // at the very end adds no field. The kept fields' texts go end to end into RowText with
  // their end offsets in Ends. Returns the number of fields the line holds.
  size_t SplitTabs(std::string_view line) {
    RowText.clear();
    Ends.clear();
    const char* p = line.data();
    const char* e = p + line.size();
    size_t n = 0;
    for (;;) {
      const char* f = p;
      while (p < e && *p != '\t') ++p;
      const char* a = f;
      const char* b = p;
      while (a < b && static_cast<unsigned char>(*a) <= ' ') ++a;
      while (b > a && static_cast<unsigned char>(b[-1]) <= ' ') --b;
      if (n < static_cast<size_t>(MaxColumns)) {
        RowText.append(a, b);
        Ends.push_back(static_cast<std::uint32_t>(RowText.size()));
      }
      ++n;
      if (p >= e || ++p >= e) break;
    }
    return n;
  }

  void Finish() {
    if (CsvOpen) {
      Result.Error = FileReadErrorText;
      Result.Detail = "line " + std::to_string(CsvLine) + ": a quoted field is not closed";
      return;
    }
    TTextGrid& g = List.DataGrid;
    int cols = std::max<int>(g.ColCount() - 1, static_cast<int>(Names.size()));
    cols = std::clamp(cols, 1, MaxColumns);
    g.SetColCount(cols + 1);
    if (Result.DataLines == 0) g.SetRowCount(2);  // a data set keeps one (empty) case
    TTextGrid& d = List.DescGrid;
    d.SetColCount(cols + 1);
    for (int c = 1; c <= cols; ++c) {
      std::string name = c <= static_cast<int>(Names.size()) ? Names[c - 1] : std::string();
      if (name.empty()) name = DefaultColumnName(c);
      g.SetCell(c, 0, name);
      d.SetCell(c, 0, name);
      for (int k = 1; k <= 4; ++k)
        d.SetCell(c, k,
                  c <= static_cast<int>(Desc[k].size()) ? std::string_view(Desc[k][c - 1])
                                                        : std::string_view());
    }
    if (Truncated) Result.Warnings.push_back(ColumnsTruncatedText);
    List.SetAllRowsModified();
    List.UpdateData();
  }

  TDataList& List;
  TFileResult& Result;
  std::int64_t LineNo = 0;
  std::int64_t ExpectedBytes = 0, Consumed = 0;
  bool Truncated = false;
  std::vector<std::string> Names;
  std::array<std::vector<std::string>, 5> Desc;
  std::vector<std::string_view> Fields;
  std::string Converted;
  std::string RowText;
  std::vector<std::uint32_t> Ends;
  // Comma-separated values: the file is a ".csv" one; a comma-separated line without tabs
  // was seen; a record is open (a quoted field goes on in the next line), with its
  // description row (0 none) and first line.
  bool CsvFile = false, CsvSeen = false, CsvOpen = false;
  TCsvRecord Csv;
  int CsvKey = 0;
  std::int64_t CsvLine = 0;
  std::size_t MaxLine = MaxLineBytes;
  // The line end that ended the line now read (set by the line splitter), and the one
  // before an open record's next line: a line break inside quotes keeps its bytes.
  std::string_view Eol;
  std::string CsvBreak;
};

// Reads lines ending in CR LF, LF or CR (the last one may have none) from `src`; text that
// starts with a UTF-16 byte-order mark is decoded to UTF-8 on the way. A line longer than
// maxLine bytes stops reading: a file without line ends would otherwise take all memory.
void ReadLines(TByteSource& src, std::int64_t total, TReader& reader, TFileResult& result,
               const TProgress& progress, std::size_t maxLine) {
  std::vector<char> buf(
      static_cast<std::size_t>(std::clamp<std::int64_t>(total + 16, 4096, std::int64_t(4) << 20)));
  size_t begin = 0, end = 0;
  bool eof = false;
  // Positions up to which the buffer is known to hold no LF / no CR, and the next one found.
  size_t lfClear = 0, crClear = 0, lfAt = SIZE_MAX, crAt = SIZE_MAX;
  std::int64_t consumed = 0;
  reader.ExpectedBytes = total;
  reader.MaxLine = maxLine;
  auto readError = [&] {
    result.Error = FileReadErrorText;
    result.Detail = std::strerror(errno);
  };
  auto tooLong = [&] {
    result.Error = FileReadErrorText;
    result.Detail = "line " + std::to_string(reader.LineNo + 1) + " is longer than " +
                    std::to_string(maxLine) + " bytes";
  };

  // The byte-order mark decides the encoding; other first bytes are the text's own.
  while (end < 2) {
    long got = src.Read(buf.data() + end, 2 - end);
    if (got < 0) return readError();
    if (got == 0) break;
    end += static_cast<size_t>(got);
  }
  const auto b0 = static_cast<unsigned char>(buf[0]), b1 = static_cast<unsigned char>(buf[1]);
  const bool utf16 = end == 2 && ((b0 == 0xFF && b1 == 0xFE) || (b0 == 0xFE && b1 == 0xFF));
  std::optional<TUtf16Source> decoded;
  if (utf16) {
    decoded.emplace(src, b0 == 0xFE);
    end = 0;
    reader.ExpectedBytes = total / 2;  // mostly ASCII: one byte for every two
  }
  TByteSource& in = decoded ? static_cast<TByteSource&>(*decoded) : src;

  auto find = [&](char ch, size_t& clear, size_t& at) {
    if (at != SIZE_MAX && at >= begin) return;
    at = SIZE_MAX;
    size_t from = std::max(clear, begin);
    if (from >= end) return;
    const void* hit = std::memchr(buf.data() + from, ch, end - from);
    if (hit)
      at = static_cast<const char*>(hit) - buf.data();
    else
      clear = end;
  };
  for (;;) {
    find('\n', lfClear, lfAt);
    find('\r', crClear, crAt);
    size_t eol = std::min(lfAt, crAt);
    if (eol != SIZE_MAX) {
      size_t next = eol + 1;
      if (buf[eol] == '\r') {
        if (next == end && !eof)
          eol = SIZE_MAX;  // an LF may follow in the next block
        else if (next < end && buf[next] == '\n')
          ++next;
      }
    }
    if (eol != SIZE_MAX) {
      size_t next = eol + 1;
      if (buf[eol] == '\r' && next < end && buf[next] == '\n') ++next;
      if (eol - begin > maxLine) return tooLong();
      reader.Consumed = consumed;
      reader.Eol = std::string_view(buf.data() + eol, next - eol);
      reader.Line(std::string_view(buf.data() + begin, eol - begin));
      if (!result.Error.empty()) return;
      consumed += static_cast<std::int64_t>(next - begin);
      begin = next;
      continue;
    }
    if (eof) {
      if (end - begin > maxLine) return tooLong();
      reader.Eol = {};
      if (begin < end) reader.Line(std::string_view(buf.data() + begin, end - begin));
      if (!result.Error.empty()) return;
      break;
    }
    // More bytes: keep the unfinished line at the front, widen the buffer when it is full
    // (never much past the longest line allowed).
    if (begin > 0) {
      std::memmove(buf.data(), buf.data() + begin, end - begin);
      end -= begin;
      lfClear = lfClear > begin ? lfClear - begin : 0;
      crClear = crClear > begin ? crClear - begin : 0;
      lfAt = crAt = SIZE_MAX;
      begin = 0;
    }
    const size_t unfinished = end - (end > 0 && buf[end - 1] == '\r' ? 1 : 0);
    if (unfinished > maxLine) return tooLong();
    if (end == buf.size())
      buf.resize(std::max(buf.size() + 1, std::min(buf.size() * 2, maxLine + 2)));
    long got = in.Read(buf.data() + end, buf.size() - end);
    if (got < 0) return readError();
    if (got == 0) eof = true;
    end += static_cast<size_t>(got);
    if (progress && total > 0 && !progress(std::min(1.0, double(src.RawBytes) / double(total)))) {
      result.Error = FileStoppedText;
      return;
    }
  }
  reader.Finish();
  if (!result.Error.empty()) return;
  if (progress) progress(1.0);
  result.Ok = true;
}

// ------------------------------------------------------------------ writing

class TSink {
 public:
  explicit TSink(int fd = -1) : Fd(fd) {}
  void Put(std::string_view s) {
    Buffer.append(s);
    if (Fd >= 0 && Buffer.size() >= (std::size_t(1) << 20)) Flush();
  }
  void Put(char ch) { Buffer += ch; }
  bool Flush() {
    if (Fd < 0) return !Failed;
    size_t off = 0;
    while (off < Buffer.size() && !Failed) {
      ssize_t n = ::write(Fd, Buffer.data() + off, Buffer.size() - off);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        Failed = true;
        Errno = n < 0 ? errno : EIO;
        break;
      }
      off += static_cast<size_t>(n);
    }
    Buffer.clear();
    return !Failed;
  }
  int Fd;
  std::string Buffer;
  bool Failed = false;
  int Errno = 0;
};

// A cell as written: tabs and line breaks inside it would break the line, so they
// become blanks.
void AppendCell(std::string& line, std::string_view cell) {
  size_t start = line.size();
  line.append(cell);
  for (size_t i = start; i < line.size(); ++i)
    if (line[i] == '\t' || line[i] == '\r' || line[i] == '\n') line[i] = ' ';
}

// A leading blank (trimmed on reading) keeps a line whose first cell starts with "*", a
// description key or a byte-order mark from being taken for a comment or description line
// or losing the mark.
void ProtectStart(std::string& line) {
  size_t colon = 0;
  if ((!line.empty() && line.front() == '*') || DescriptionKey(line, colon) != 0 ||
      line.compare(0, 3, "\xEF\xBB\xBF") == 0)
    line.insert(0, 1, ' ');
}

// Makes a data line read back as the cells it was built from: a one-field line that would
// be split at blanks or commas, or that is empty, gets a tab (a separator at the end adds
// no field); then ProtectStart.
void ProtectLine(std::string& line) {
  if (line.find('\t') == std::string::npos &&
      (line.empty() || line.find_first_of(" ,") != std::string::npos ||
       TrimBlanks(line).size() != line.size()))
    line += '\t';
  ProtectStart(line);
}

// The names line for columns left..right: a name that a names line cannot give back (a
// number, a single column's name with blanks or commas in a tab-separated file, a line of
// number characters only)
// is written as the default name of its place in the file and `changed` is set. Empty when
// every name would be a default one.
std::vector<std::string> FileNames(const TTextGrid& g, int left, int right, bool csv,
                                   bool& changed) {
  std::vector<std::string> names;
  const int width = right - left + 1;
  for (int c = left; c <= right; ++c) {
    std::string name(g.View(c, 0));
    const bool lost = FieldIsNumber(name) ||
                      (!csv && width == 1 && name.find_first_of(" ,") != std::string::npos);
    if (lost || name.empty()) {
      changed = changed || lost;
      name = DefaultColumnName(c - left + 1);
    }
    names.push_back(std::move(name));
  }
  bool text = false;
  for (const auto& n : names) text = text || HasNonNumericChar(n);
  if (!text && !names.empty()) {
    names[0] = DefaultColumnName(1);
    changed = true;
  }
  for (int i = 0; i < width; ++i)
    if (!IsDefaultColumnName(names[i], i + 1)) return names;
  return {};
}

// A comma-separated line of `cells`. Its first field is also quoted where the line would
// otherwise pass for a comment or a description line or lose a byte-order mark (quoting
// keeps the text as it is for other programs, where the tab layout's leading blank would not).
void CsvLine(std::string& line, const std::vector<std::string_view>& cells) {
  line.clear();
  for (size_t i = 0; i < cells.size(); ++i) {
    if (i > 0) line += ',';
    std::string_view t = cells[i];
    size_t colon = 0;
    const bool first =
        i == 0 && ((!t.empty() && t.front() == '*') || t.substr(0, 3) == "\xEF\xBB\xBF" ||
                   DescriptionKey(t, colon) != 0);
    AppendCsvField(line, t, first);
  }
}

void WriteLines(const TDataList& list, const TSaveOptions& o, TSink& sink,
                bool* namesChanged = nullptr) {
  const TTextGrid& g = list.DataGrid;
  int left = 1, right = list.MaxCol(), top = 1, bottom = g.RowCount() - 1;
  if (o.Selection) {
    left = std::max(o.Left, 1);
    right = std::min(o.Right, list.MaxCol());
    top = std::max(o.Top, 1);
    bottom = std::min(o.Bottom, g.RowCount() - 1);
  }
  const bool descriptions = !o.Selection && o.Descriptions;
  const bool csv = o.Csv;
  std::string line;
  std::vector<std::string_view> cells;
  auto csvRow = [&](int r) {
    cells.clear();
    for (int c = left; c <= right; ++c) cells.push_back(g.View(c, r));
    CsvLine(line, cells);
  };
  auto rowLine = [&](const TTextGrid& grid, int r) {
    line.clear();
    for (int c = left; c <= right; ++c) {
      if (c > left) line += '\t';
      AppendCell(line, grid.View(c, r));
    }
  };

  std::vector<int> descRows;
  if (descriptions)
    for (int k = 1; k <= 4; ++k)
      for (int c = 1; c <= list.MaxCol(); ++c)
        if (!list.DescGrid.IsEmpty(c, k)) {
          descRows.push_back(k);
          break;
        }

  // A case as written. The first one carries every column: a trailing tab adds no field,
  // so an empty last cell there gets one more tab (the last column may be empty throughout).
  auto dataLine = [&](int r) {
    if (csv) {
      csvRow(r);
      // An empty line is no case: a lone empty cell is written as "".
      if (line.empty()) line = "\"\"";
      return;
    }
    rowLine(g, r);
    if (r == top && right > left && g.IsEmpty(right, r)) line += '\t';
    ProtectLine(line);
  };
  // Whether the first case would pass for a names line in a comma-separated file: as the
  // reader judges its fields, none a number and one with a letter.
  auto csvNamesLike = [&](int r) {
    bool text = false;
    for (int c = left; c <= right; ++c) {
      if (FieldIsNumber(g.View(c, r))) return false;
      text = text || HasNonNumericChar(g.View(c, r));
    }
    return text;
  };
  bool changed = false;
  std::vector<std::string> names;
  if (o.VarNames && list.ModifiedColumnNames() && left <= right)
    names = FileNames(g, left, right, csv, changed);
  if (namesChanged) *namesChanged = changed;
  if (names.empty() && descRows.empty() && top <= bottom && left <= right) {
    // Without a names line the first case is the file's first line; when it would pass
    // for a names line it has to be preceded by one (of default names).
    dataLine(top);
    if (csv ? csvNamesLike(top) : IsNamesLine(line, nullptr, nullptr))
      for (int c = left; c <= right; ++c) names.push_back(DefaultColumnName(c - left + 1));
  }
  if (!names.empty()) {
    if (csv) {
      cells.assign(names.begin(), names.end());
      CsvLine(line, cells);
    } else {
      line.clear();
      for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) line += '\t';
        AppendCell(line, names[i]);
      }
      ProtectStart(line);
    }
    sink.Put(line);
    sink.Put("\r\n");
  }
  static const char* labels[5] = {"", "Title:", "USL:", "Target:", "LSL:"};
  for (int k : descRows) {
    line = labels[k];
    for (int c = left; c <= right; ++c) {
      if (csv) {
        line += ',';
        AppendCsvField(line, list.DescGrid.View(c, k));
      } else {
        line += '\t';
        AppendCell(line, list.DescGrid.View(c, k));
      }
    }
    sink.Put(line);
    sink.Put("\r\n");
  }
  if (left > right) return;
  for (int r = top; r <= bottom; ++r) {
    dataLine(r);
    sink.Put(line);
    sink.Put("\r\n");
  }
}

std::string SystemError(int err) { return std::strerror(err); }

}  // namespace

std::int64_t GetFileLength(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return -1;
  return static_cast<std::int64_t>(st.st_size);
}

TFileResult ReadDataFile(const std::string& path, TDataList& list, const TProgress& progress,
                         std::size_t maxLineBytes) {
  TFileResult result;
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) {
    result.Error = FileSizeErrorText;
    result.Detail = path + ": " + SystemError(errno);
    return result;
  }
  // A device, a pipe or a folder is no data file: /dev/zero would never end a line, and
  // opening a pipe would wait for a writer.
  auto notRegular = [&] {
    result.Error = FileReadErrorText;
    result.Detail = path + ": not a regular file";
    return result;
  };
  if (!S_ISREG(st.st_mode)) return notRegular();
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    result.Error = FileOpenErrorText;
    result.Detail = path + ": " + SystemError(errno);
    return result;
  }
  // The name may have been given to something else since the stat.
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return notRegular();
  }
  const auto size = static_cast<std::int64_t>(st.st_size);
  // Cells are pieces of the file's lines: their text needs at most the file's size.
  list.DataGrid.ReserveText(static_cast<std::size_t>(size));
  TFdSource src(fd);
  TReader reader(list, result);
  reader.CsvFile = IsCsvFileName(path);
  ReadLines(src, size, reader, result, progress, maxLineBytes);
  ::close(fd);
  if (!result.Ok && result.Detail.empty()) result.Detail = path;
  return result;
}

TFileResult ReadDataBytes(std::string_view bytes, TDataList& list, const TProgress& progress,
                          std::size_t maxLineBytes) {
  TFileResult result;
  TMemorySource src(bytes);
  TReader reader(list, result);
  ReadLines(src, static_cast<std::int64_t>(bytes.size()), reader, result, progress, maxLineBytes);
  return result;
}

TFileResult FileToDataGrid(const std::string& path, const TProgress& progress,
                           const std::string& sheet) {
  auto fresh = std::make_unique<TDataList>();
  TFileResult result;
  if (IsWorkbookPath(path)) {
    result = ReadWorkbookFile(path, *fresh, sheet, progress);
  } else if (!sheet.empty()) {
    result.Error = FileReadErrorText;
    result.Detail = path + ": only .xlsx and .ods workbooks have sheets";
  } else {
    result = ReadDataFile(path, *fresh, progress);
  }
  if (!result.Ok) return result;  // the current data set stays, under its own name
  ReplaceDataList(std::move(fresh));
  // As the editor's New: Process If back to "All", no transformation.
  ProcessIfRec.Active = false;
  ProcessIfRec.Sign1 = ProcessIfRec.Sign2 = RelAll;
  TransformRec.no = 0;
  DataEditor.DataFilename = path;
  DataEditor.FileModified = false;
  DataEditor.WantVarNames = result.NamesRead;
  DataEditor.WantDescriptions = result.DescriptionsRead;
  DataEditor.PendingDataChange = DataEditor.PendingColumnsChange = true;
  return result;
}

std::string DataFileText(const TDataList& list, const TSaveOptions& options) {
  TSink sink;
  WriteLines(list, options, sink);
  return std::move(sink.Buffer);
}

TFileResult WriteDataFile(const std::string& path, const TDataList& list,
                          const TSaveOptions& options) {
  namespace fs = std::filesystem;
  TFileResult result;
  auto fail = [&](int err) {
    result.Ok = false;
    result.Error = FileWriteErrorText;
    result.Detail = path + ": " + SystemError(err);
    return result;
  };
  if (path.empty()) return fail(ENOENT);
  // Writing through a link replaces the file it points to, not the link.
  fs::path target(path);
  std::error_code ec;
  if (fs::is_symlink(fs::symlink_status(target, ec))) {
    fs::path resolved = fs::read_symlink(target, ec);
    if (!ec) target = resolved.is_absolute() ? resolved : target.parent_path() / resolved;
  }
  struct stat st;
  bool exists = ::stat(target.c_str(), &st) == 0;
  if (exists && S_ISDIR(st.st_mode)) return fail(EISDIR);
  fs::path dir = target.parent_path();
  if (dir.empty()) dir = ".";
  std::string tmp = (dir / ("." + target.filename().string() + ".XXXXXX")).string();
  int fd = ::mkstemp(tmp.data());
  if (fd < 0) return fail(errno);
  mode_t mode;
  if (exists) {
    mode = st.st_mode & 07777;
  } else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  ::fchmod(fd, mode);

  TSink sink(fd);
  bool namesChanged = false;
  TSaveOptions o = options;
  o.Csv = o.Csv || IsCsvFileName(path);
  WriteLines(list, o, sink, &namesChanged);
  bool ok = sink.Flush();
  int err = sink.Errno;
  if (ok && ::fsync(fd) != 0) {
    ok = false;
    err = errno;
  }
  if (::close(fd) != 0 && ok) {
    ok = false;
    err = errno;
  }
  if (ok && ::rename(tmp.c_str(), target.c_str()) != 0) {
    ok = false;
    err = errno;
  }
  if (!ok) {
    ::unlink(tmp.c_str());
    return fail(err);
  }
  int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
  result.Ok = true;
  result.DataLines = list.DataGrid.RowCount() - 1;
  if (namesChanged) result.Warnings.push_back(NamesNotSavedText);
  return result;
}

TFileResult SaveFile(const std::string& path, const TSaveOptions& options) {
  if (IsWorkbookPath(path)) {
    TFileResult refused;
    refused.Error = FileWriteErrorText;
    refused.Detail = path + ": workbooks are opened read-only; save as " + WorkbookSaveName(path);
    return refused;
  }
  TFileResult result = WriteDataFile(path, DataList(), options);
  DataEditor.DataFilename = path;
  if (!result.Ok) return result;  // the data set stays modified
  DataEditor.FileModified = false;
  if (!options.Selection) {
    DataEditor.WantVarNames = options.VarNames;
    DataEditor.WantDescriptions = options.Descriptions;
  }
  if (DataEditor.PendingColumnsChange) {
    ++ColumnsChangeCount;
    DataEditor.PendingColumnsChange = false;
  }
  return result;
}

bool MayDiscardData(const std::function<TSaveAnswer()>& ask, const std::function<bool()>& saveAs) {
  if (!DataEditor.FileModified) return true;
  switch (ask()) {
    case TSaveAnswer::Yes: return saveAs && saveAs();
    case TSaveAnswer::No: return true;
    case TSaveAnswer::Cancel:
    default: return false;
  }
}

}  // namespace sorvel
