// Comma-separated values with RFC 4180 quoting: the record scanner the file reader uses
// for comma-separated lines that hold quotes (and for every line of a ".csv" file), and
// the quoting the writer uses for ".csv" files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sorvel {

// True when the file name ends in ".csv" (in any case): such a file is read and written
// as comma-separated values.
bool IsCsvFileName(std::string_view path);

// One record of comma-separated fields, read from one or more physical lines. A field
// that begins with '"' (blanks before it are dropped) runs to its closing quote, with ""
// standing for one quote; commas, tabs and line breaks inside belong to the field and the
// quotes go. Text between the closing quote and the next comma is kept, without blanks
// at its end. Unquoted fields are trimmed of blanks and control characters; a quote inside
// one is an ordinary character. A comma at the end of the record adds an empty field.
class TCsvRecord {
 public:
  // Starts a record with its first physical line.
  void Start(std::string_view line, std::size_t maxFields);
  // Goes on with the next physical line while Open(); `lineBreak` (the bytes that ended
  // the line before) belongs to the open field.
  void Continue(std::string_view lineBreak, std::string_view line);
  // The record ends inside a quoted field: the next line belongs to it.
  bool Open() const { return State == TState::Quoted; }

  // The fields kept (at most maxFields), their texts end to end in Text with the end
  // offset of each in Ends (the grid's bulk-loading form).
  std::size_t Kept() const { return Ends.size(); }
  std::string_view Field(std::size_t i) const {
    std::uint32_t b = i == 0 ? 0 : Ends[i - 1];
    return std::string_view(Text).substr(b, Ends[i] - b);
  }
  std::string Text;
  std::vector<std::uint32_t> Ends;

  // What the first line showed, for deciding whether it is comma-separated at all.
  std::size_t FieldCount = 0;  // fields the record holds (kept or not)
  bool CommaOutside = false;   // a comma separated two fields
  bool TabOutside = false;     // a tab outside quotes (the line is tab-separated)
  bool FirstQuoted = false;    // the first field was quoted
  std::size_t Bytes = 0;       // bytes of all its lines, for the line-length limit

 private:
  enum class TState : unsigned char { FieldStart, Unquoted, Quoted, AfterQuote };
  void Scan(std::string_view line);
  void EndField();
  void EndRecord();
  TState State = TState::FieldStart;
  std::size_t MaxFields = 0;
  std::size_t FieldBegin = 0;  // offset in Text where the open field's text starts
  bool Quoted = false;         // the open field was quoted
  std::size_t QuoteEnd = 0;    // offset in Text where its closing quote was
};

// Appends `cell` to `out` as a comma-separated field: quoted, with its quotes doubled,
// when it holds a comma, a quote, a tab, a line break or blanks at either end, or when
// `force` is set; as it is otherwise.
void AppendCsvField(std::string& out, std::string_view cell, bool force = false);

}  // namespace sorvel
