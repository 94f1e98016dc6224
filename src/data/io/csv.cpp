#include "data/io/csv.h"

#include <cstring>

#include "data/cell_text.h"

namespace sorvel {

bool IsCsvFileName(std::string_view path) {
  if (path.size() < 4) return false;
  std::string_view ext = path.substr(path.size() - 4);
  return ext[0] == '.' && (ext[1] | 0x20) == 'c' && (ext[2] | 0x20) == 's' &&
         (ext[3] | 0x20) == 'v';
}

void TCsvRecord::Start(std::string_view line, std::size_t maxFields) {
  Text.clear();
  Ends.clear();
  FieldCount = 0;
  CommaOutside = TabOutside = FirstQuoted = false;
  Bytes = 0;
  State = TState::FieldStart;
  MaxFields = maxFields;
  FieldBegin = 0;
  Quoted = false;
  Scan(line);
}

void TCsvRecord::Continue(std::string_view lineBreak, std::string_view line) {
  if (!Open()) return;
  Text += lineBreak;
  Bytes += lineBreak.size();
  Scan(line);
}

void TCsvRecord::EndField() {
  // Blanks at the end go: of an unquoted field (its start was skipped already), and of
  // what followed a closing quote.
  const std::size_t keep = Quoted ? QuoteEnd : FieldBegin;
  std::size_t e = Text.size();
  while (e > keep && static_cast<unsigned char>(Text[e - 1]) <= ' ') --e;
  Text.resize(e);
  if (FieldCount == 0) FirstQuoted = Quoted;
  if (Ends.size() < MaxFields)
    Ends.push_back(static_cast<std::uint32_t>(Text.size()));
  else
    Text.resize(FieldBegin);  // a field past the limit keeps no text
  ++FieldCount;
  FieldBegin = Text.size();
  Quoted = false;
  State = TState::FieldStart;
}

void TCsvRecord::EndRecord() { EndField(); }

void TCsvRecord::Scan(std::string_view line) {
  Bytes += line.size();
  const char* p = line.data();
  const char* e = p + line.size();
  while (p < e) {
    switch (State) {
      case TState::FieldStart: {
        char ch = *p;
        if (ch == '"') {
          Quoted = true;
          State = TState::Quoted;
          ++p;
        } else if (ch == ',') {
          CommaOutside = true;
          EndField();
          ++p;
        } else if (static_cast<unsigned char>(ch) <= ' ') {
          TabOutside = TabOutside || ch == '\t';
          ++p;
        } else {
          State = TState::Unquoted;
        }
        break;
      }
      case TState::Unquoted: {
        const void* hit = std::memchr(p, ',', static_cast<std::size_t>(e - p));
        const char* stop = hit ? static_cast<const char*>(hit) : e;
        if (std::memchr(p, '\t', static_cast<std::size_t>(stop - p))) TabOutside = true;
        Text.append(p, stop);
        p = stop;
        if (p < e) {
          CommaOutside = true;
          EndField();
          ++p;
        }
        break;
      }
      case TState::Quoted: {
        const void* hit = std::memchr(p, '"', static_cast<std::size_t>(e - p));
        const char* stop = hit ? static_cast<const char*>(hit) : e;
        Text.append(p, stop);
        p = stop;
        if (p < e) {
          ++p;  // the quote
          if (p < e && *p == '"') {
            Text += '"';
            ++p;
          } else {
            State = TState::AfterQuote;
            QuoteEnd = Text.size();
          }
        }
        break;
      }
      case TState::AfterQuote: {
        char ch = *p++;
        if (ch == ',') {
          CommaOutside = true;
          EndField();
        } else {
          TabOutside = TabOutside || ch == '\t';
          Text += ch;
        }
        break;
      }
    }
  }
  if (State != TState::Quoted) EndRecord();
}

void AppendCsvField(std::string& out, std::string_view cell, bool force) {
  const bool quote = force || cell.find_first_of(",\"\t\r\n") != std::string_view::npos ||
                     TrimBlanks(cell).size() != cell.size();
  if (!quote) {
    out.append(cell);
    return;
  }
  out += '"';
  for (char ch : cell) {
    if (ch == '"') out += '"';
    out += ch;
  }
  out += '"';
}

}  // namespace sorvel
