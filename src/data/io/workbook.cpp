#include "data/io/workbook.h"

#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <zip.h>

#include <sys/stat.h>
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <exception>
#include <functional>
#include <memory>
#include <new>
#include <optional>
#include <stdexcept>
#include <system_error>
#include <utility>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <span>
#include <thread>

#include "data/cell_text.h"

namespace sorvel {

namespace {

// ------------------------------------------------------------------ failures

// Every failure of a workbook read: "Error Reading File" with the reason as its detail.
struct TWorkbookError {
  std::string Reason;
};

[[noreturn]] void Fail(std::string reason) { throw TWorkbookError{std::move(reason)}; }

// The progress callback asked to stop.
struct TStopped {};

// ------------------------------------------------------------------ archive

// Sets `flag` under the lock, wakes the thread and waits for it to end.
void SignalAndJoin(std::thread& t, std::mutex& m, std::condition_variable& cv, bool& flag) {
  if (!t.joinable()) return;
  {
    std::lock_guard<std::mutex> lock(m);
    flag = true;
  }
  cv.notify_all();
  t.join();
}

class TArchive {
 public:
  // From a file or from bytes in memory (the bytes must outlive the archive).
  TArchive(const std::string* path, std::string_view bytes, std::string_view head) : Head(head) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* src = path ? zip_source_file_create(path->c_str(), 0, -1, &error)
                             : zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    if (!src) {
      std::string why = zip_error_strerror(&error);
      zip_error_fini(&error);
      Fail(why);
    }
    Zip = zip_open_from_source(src, ZIP_RDONLY, &error);
    if (!Zip) {
      zip_source_free(src);
      int code = zip_error_code_zip(&error);
      std::string why = zip_error_strerror(&error);
      zip_error_fini(&error);
      // A zip archive starts with a local file header; one without its directory at the
      // end has been cut short.
      const bool started = Head.size() >= 4 && std::memcmp(Head.data(), "PK\x03\x04", 4) == 0;
      if (code == ZIP_ER_NOZIP && !started) Fail("not a workbook (no zip archive)");
      Fail("damaged archive (" + why + ")");
    }
    zip_error_fini(&error);
  }
  ~TArchive() {
    if (Zip) zip_discard(Zip);
  }
  TArchive(const TArchive&) = delete;
  TArchive& operator=(const TArchive&) = delete;

  bool Has(const char* name) const { return zip_name_locate(Zip, name, 0) >= 0; }

  // The entry's declared size (0 when it does not say).
  std::uint64_t DeclaredSize(const char* name) const {
    zip_stat_t st;
    zip_int64_t i = zip_name_locate(Zip, name, 0);
    if (i < 0 || zip_stat_index(Zip, static_cast<zip_uint64_t>(i), 0, &st) != 0) return 0;
    return (st.valid & ZIP_STAT_SIZE) ? st.size : 0;
  }

  // An entry's inflated bytes, read in pieces.
  class TStream;

  // The entry opened for reading; null when it is absent.
  std::unique_ptr<TStream> Open(const char* name);

  // Streams the entry's inflated bytes to `sink` in pieces; false when it is absent.
  bool Read(const char* name, const std::function<void(const char*, std::size_t)>& sink);

  std::uint64_t Limit = MaxEntryBytes;

 private:
  std::string_view Head;
  zip_t* Zip = nullptr;
};

[[noreturn]] void Bomb(const std::string& name, std::uint64_t limit) {
  Fail("archive entry " + name + " inflates beyond " + std::to_string(limit) +
       " bytes (more than " + std::to_string(MaxInflationRatio) + " times the archive or 2 GB)");
}

// The inflated bytes are counted as they come, so a header that lies about the size
// stops at the limit too. A large entry (a sheet) is inflated on a second thread in big
// pieces while the caller parses the pieces before it: inflating is a fifth of the work.
// The inflating thread touches only its own zip_file_t and the queue; it is stopped and
// joined before the stream is gone.
class TArchive::TStream {
 public:
  TStream(zip_file_t* f, std::string name, std::uint64_t limit, bool pipelined)
      : File(f, zip_fclose), Name(std::move(name)), Limit(limit) {
    // Without a second thread the entry is inflated as it is read.
    if (pipelined) {
      try {
        Inflater = std::thread([this] { Inflate(); });
      } catch (const std::system_error&) {
      }
    }
  }
  ~TStream() { SignalAndJoin(Inflater, M, Cv, Cancel); }
  TStream(const TStream&) = delete;
  TStream& operator=(const TStream&) = delete;

  // Up to `n` bytes into `out`; 0 at the end of the entry.
  std::size_t Read(char* out, std::size_t n) {
    if (!Inflater.joinable()) {
      const zip_int64_t k = zip_fread(File.get(), out, n);
      if (k < 0) Damaged(zip_file_strerror(File.get()));
      if ((Total += static_cast<std::uint64_t>(k)) > Limit) Bomb(Name, Limit);
      return static_cast<std::size_t>(k);
    }
    if (At == Size) {
      std::unique_lock<std::mutex> lock(M);
      if (Holding) {
        ++Consumed;
        Holding = false;
        Cv.notify_all();
      }
      Cv.wait(lock, [&] { return Produced > Consumed || Done; });
      if (Produced == Consumed) {  // done, everything handed over
        if (Failure == "bomb") Bomb(Name, Limit);
        if (!Failure.empty()) Damaged(Failure);
        return 0;
      }
      Holding = true;
      At = 0;
      Size = Sizes[Consumed % Slots];
    }
    const std::size_t k = std::min(n, Size - At);
    std::memcpy(out, Bufs[Consumed % Slots].data() + At, k);
    At += k;
    return k;
  }

 private:
  static constexpr std::size_t Slots = 4, SlotBytes = std::size_t(1) << 20;

  [[noreturn]] void Damaged(const std::string& why) {
    Fail("damaged archive entry " + Name + " (" + why + ")");
  }

  void Inflate() {
    std::uint64_t total = 0;
    for (;;) {
      std::size_t slot;
      {
        std::unique_lock<std::mutex> lock(M);
        Cv.wait(lock, [&] { return Cancel || Produced - Consumed < Slots; });
        if (Cancel) return;
        slot = Produced % Slots;
      }
      std::vector<char>& b = Bufs[slot];
      if (b.empty()) b.resize(SlotBytes);
      const zip_int64_t n = zip_fread(File.get(), b.data(), b.size());
      std::lock_guard<std::mutex> lock(M);
      if (n < 0) Failure = zip_file_strerror(File.get());
      if (n > 0 && (total += static_cast<std::uint64_t>(n)) > Limit) Failure = "bomb";
      if (n <= 0 || !Failure.empty()) {
        Done = true;
        Cv.notify_all();
        return;
      }
      Sizes[slot] = static_cast<std::size_t>(n);
      ++Produced;
      Cv.notify_all();
    }
  }

  std::unique_ptr<zip_file_t, int (*)(zip_file_t*)> File;
  std::string Name;
  std::uint64_t Limit, Total = 0;
  // The queue: slots Consumed..Produced-1 are filled; the reader holds slot Consumed
  // while it copies from it.
  std::array<std::vector<char>, Slots> Bufs;
  std::array<std::size_t, Slots> Sizes{};
  std::size_t Produced = 0, Consumed = 0, At = 0, Size = 0;
  bool Holding = false, Done = false, Cancel = false;
  std::string Failure;  // the inflating side's reason, raised by the reader
  std::mutex M;
  std::condition_variable Cv;
  std::thread Inflater;
};

std::unique_ptr<TArchive::TStream> TArchive::Open(const char* name) {
  // Entries this large are inflated on a second thread.
  constexpr std::uint64_t PipelineBytes = std::uint64_t(8) << 20;
  zip_int64_t i = zip_name_locate(Zip, name, 0);
  if (i < 0) return nullptr;
  zip_stat_t st;
  if (zip_stat_index(Zip, static_cast<zip_uint64_t>(i), 0, &st) != 0)
    Fail(std::string("damaged archive entry ") + name);
  if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE)
    Fail("the workbook is encrypted (password-protected)");
  if ((st.valid & ZIP_STAT_SIZE) && st.size > Limit) Bomb(name, Limit);
  zip_file_t* f = zip_fopen_index(Zip, static_cast<zip_uint64_t>(i), 0);
  if (!f) Fail(std::string("cannot open ") + name + " in the archive (" + zip_strerror(Zip) + ")");
  return std::make_unique<TStream>(f, name, Limit,
                                   (st.valid & ZIP_STAT_SIZE) && st.size >= PipelineBytes);
}

bool TArchive::Read(const char* name, const std::function<void(const char*, std::size_t)>& sink) {
  std::unique_ptr<TStream> in = Open(name);
  if (!in) return false;
  std::vector<char> buf(std::size_t(1) << 16);
  while (std::size_t n = in->Read(buf.data(), buf.size())) sink(buf.data(), n);
  return true;
}

// ------------------------------------------------------------------ XML

// Local name of an element or attribute ("table:table-cell" -> "table-cell"): the files
// use fixed, well-known prefixes, and some writers put one where others use the default.
std::string_view Local(const char* name) {
  std::string_view n(name);
  size_t colon = n.rfind(':');
  return colon == std::string_view::npos ? n : n.substr(colon + 1);
}

// Whether `name` is `local`, compared inline: it runs for every element of a sheet.
inline bool Is(std::string_view name, std::string_view local) {
  if (name.size() != local.size()) return false;
  for (std::size_t i = 0; i < name.size(); ++i)
    if (name[i] != local[i]) return false;
  return true;
}
inline bool Is(const char* name, std::string_view local) {
  for (char ch : local)
    if (*name++ != ch) return false;
  return *name == 0;
}

// The value of the attribute named `local` in a null-ended list of local names and values.
const char* Attr(const char** attrs, std::string_view local) {
  for (int i = 0; attrs[i]; i += 2)
    if (Is(attrs[i], local)) return attrs[i + 1];
  return nullptr;
}

// A streaming (SAX) parser fed from an archive entry; subclasses take the events.
// libxml2's push parser: it reads a large sheet about twice as fast as expat does.
class TXmlReader {
 public:
  TXmlReader() {
    static const bool initialised = (xmlInitParser(), true);
    (void)initialised;
    xmlSAXHandler h{};
    h.initialized = XML_SAX2_MAGIC;
    // A failure inside a handler must not unwind through the C library: it is kept, the
    // parse stopped, and the failure raised again once the parser has returned.
    h.startElementNs = [](void* u, const xmlChar* local, const xmlChar*, const xmlChar*, int,
                          const xmlChar**, int count, int, const xmlChar** attributes) {
      auto* self = static_cast<TXmlReader*>(u);
      self->Guard([&] { self->StartElement(local, count, attributes); });
    };
    h.endElementNs = [](void* u, const xmlChar* local, const xmlChar*, const xmlChar*) {
      auto* self = static_cast<TXmlReader*>(u);
      self->Guard([&] { self->EndElement(local); });
    };
    h.characters = h.ignorableWhitespace = [](void* u, const xmlChar* s, int len) {
      auto* self = static_cast<TXmlReader*>(u);
      if (self->WantText)
        self->Guard([&] {
          self->Text.append(reinterpret_cast<const char*>(s), static_cast<std::size_t>(len));
        });
    };
    // Workbook parts never declare a document type; one that does is not to be trusted
    // with entity expansion.
    h.internalSubset = [](void* u, const xmlChar*, const xmlChar*, const xmlChar*) {
      auto* self = static_cast<TXmlReader*>(u);
      self->Refused = "a document type declaration";
      xmlStopParser(self->Context);
    };
    // Keeps the first error's text for the message instead of printing it.
    h.serror = [](void* u, xmlErrorPtr e) {
      auto* self = static_cast<TXmlReader*>(u);
      if (self->Error.empty() && e && e->level >= XML_ERR_ERROR && e->message) {
        self->Error = e->message;
        while (!self->Error.empty() && (self->Error.back() == '\n' || self->Error.back() == ' '))
          self->Error.pop_back();
        self->ErrorLine = e->line;
      }
    };
    // The parser pulls the entry's bytes (it goes through a large sheet faster than when
    // they are pushed to it).
    Context =
        xmlCreateIOParserCtxt(&h, this, &TXmlReader::Pull, nullptr, this, XML_CHAR_ENCODING_NONE);
    if (!Context) Fail("out of memory");
    // No network, no external subsets, no entity substitution.
    xmlCtxtUseOptions(Context, XML_PARSE_NONET);
  }
  virtual ~TXmlReader() { xmlFreeParserCtxt(Context); }
  TXmlReader(const TXmlReader&) = delete;
  TXmlReader& operator=(const TXmlReader&) = delete;

  // Parses the entry; false when it is absent. Once per reader.
  bool ParseEntry(TArchive& zip, const char* name) {
    Entry = name;
    std::unique_ptr<TArchive::TStream> in = zip.Open(name);
    if (!in) return false;
    Input = in.get();
    xmlParseDocument(Context);
    Input = nullptr;
    if (Pending) std::rethrow_exception(std::exchange(Pending, nullptr));
    if (Stopped) return true;
    if (!Refused.empty()) Fail(Entry + " holds " + Refused);
    if (!Context->wellFormed) {
      const int line = ErrorLine > 0 ? ErrorLine : xmlSAX2GetLineNumber(Context);
      Fail(Entry + ": malformed XML at line " + std::to_string(line) + " (" +
           (Error.empty() ? std::string("not well-formed") : Error) + ")");
    }
    return true;
  }
  // Called with the bytes handed to the parser so far (progress; may throw).
  std::function<void(std::uint64_t)> OnInput;

  template <class F>
  void Guard(F&& f) {
    if (Pending) return;
    try {
      f();
    } catch (...) {
      Pending = std::current_exception();
      xmlStopParser(Context);
    }
  }
  // Ends the parse early (everything wanted has been seen).
  void Stop() {
    Stopped = true;
    xmlStopParser(Context);
  }

 protected:
  virtual void Start(std::string_view, const char**) {}
  virtual void End(std::string_view) {}
  // The events as libxml2 gives them: local names interned in the parser's dictionary
  // (see Intern), attributes as five pointers each with unterminated values. A reader
  // that runs for every cell of a large sheet takes these to skip the copies.
  virtual void StartElement(const xmlChar* local, int count, const xmlChar** attributes) {
    Start(Local(reinterpret_cast<const char*>(local)), Attributes(count, attributes));
  }
  virtual void EndElement(const xmlChar* local) {
    End(Local(reinterpret_cast<const char*>(local)));
  }
  // The dictionary's copy of a name: element and attribute names the parser reports are
  // the same pointers, so they compare by address.
  const xmlChar* Intern(const char* name) {
    const xmlChar* n = xmlDictLookup(Context->dict, reinterpret_cast<const xmlChar*>(name), -1);
    if (!n) Fail("out of memory");
    return n;
  }
  // Bytes of the entry the parser has gone through.
  std::uint64_t BytesParsed() const {
    const long n = xmlByteConsumed(Context);
    return n > 0 ? static_cast<std::uint64_t>(n) : 0;
  }
  bool WantText = false;
  std::string Text;

 private:
  // The element's attributes as a null-ended list of local name, value, ...; libxml2
  // hands the values as unterminated ranges.
  const char** Attributes(int count, const xmlChar** a) {
    if (Values.size() < static_cast<std::size_t>(count))
      Values.resize(static_cast<std::size_t>(count));
    List.clear();
    for (int i = 0; i < count; ++i) {
      const auto* from = reinterpret_cast<const char*>(a[5 * i + 3]);
      const auto* to = reinterpret_cast<const char*>(a[5 * i + 4]);
      Values[static_cast<std::size_t>(i)].assign(from, static_cast<std::size_t>(to - from));
      List.push_back(Local(reinterpret_cast<const char*>(a[5 * i])).data());  // ends the name
      List.push_back(Values[static_cast<std::size_t>(i)].c_str());
    }
    List.push_back(nullptr);
    return List.data();
  }

  // The parser's read callback. After a failure or a parse error it reads nothing more,
  // so the parser ends at once; it must not be stopped from here (that frees the input
  // being read into).
  static int Pull(void* u, char* buf, int len) {
    auto* self = static_cast<TXmlReader*>(u);
    if (!self->Input || self->Pending || self->Stopped || !self->Refused.empty() ||
        !self->Context->wellFormed)
      return 0;
    try {
      const std::size_t n = self->Input->Read(buf, static_cast<std::size_t>(std::max(len, 0)));
      self->Given += n;
      // The parser asks for a few kB at a time: progress is told every 256 kB.
      if (self->OnInput && self->Given - self->Told >= (std::uint64_t(1) << 18))
        self->OnInput(self->Told = self->Given);
      return static_cast<int>(n);
    } catch (...) {
      self->Pending = std::current_exception();
      return 0;
    }
  }

  xmlParserCtxtPtr Context = nullptr;
  TArchive::TStream* Input = nullptr;
  std::uint64_t Given = 0, Told = 0;
  std::string Entry, Refused, Error;
  int ErrorLine = 0;
  bool Stopped = false;
  std::exception_ptr Pending;
  std::vector<std::string> Values;
  std::vector<const char*> List;
};

// ------------------------------------------------------------------ values

// A number's text: as written when it has at most 15 digits (it then reads back as the
// same double and shows as the file showed it), otherwise the shortest text that gives the
// same double ("0.10000000000000001" -> "0.1"). Not a number: the text unchanged.
// Whether the number's text is kept as written: an optional minus, 1 to 15 digits and at
// most one point.
bool PlainNumber(std::string_view v) {
  size_t i = 0, digits = 0;
  if (i < v.size() && v[i] == '-') ++i;
  bool dot = false;
  for (; i < v.size(); ++i) {
    char ch = v[i];
    if (ch >= '0' && ch <= '9')
      ++digits;
    else if (ch == '.' && !dot)
      dot = true;
    else
      return false;
  }
  return digits > 0 && digits <= 15;
}

void NumberText(std::string_view v, std::string& out) {
  if (PlainNumber(v)) {
    out.append(v);
    return;
  }
  double x;
  std::string_view t = TrimBlanks(v);
  if (!t.empty() && t.front() == '+') t.remove_prefix(1);
  auto r = std::from_chars(t.data(), t.data() + t.size(), x);
  if (r.ec != std::errc() || r.ptr != t.data() + t.size() || !std::isfinite(x)) {
    out.append(CleanCellText(v));
    return;
  }
  char buf[32];
  auto w = std::to_chars(buf, buf + sizeof buf, x);
  out.append(buf, w.ptr);
}

struct TCivil {
  long long Y;
  unsigned M, D;
};

// Days since 1970-01-01 -> civil date (proleptic Gregorian).
TCivil CivilFromDays(long long z) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long y = static_cast<long long>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;
  return {y + (m <= 2), m, d};
}

long long DaysFromCivil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

void Append2(std::string& out, long long v) {
  out += static_cast<char>('0' + v / 10 % 10);
  out += static_cast<char>('0' + v % 10);
}

void AppendDate(std::string& out, const TCivil& c) {
  out += std::to_string(c.Y);
  Append2(out, c.M);
  Append2(out, c.D);
}

void AppendClock(std::string& out, long long hours, long long minutes, long long seconds,
                 bool withSeconds) {
  if (hours < 10) out += '0';
  out += std::to_string(hours);
  out += ':';
  Append2(out, minutes);
  if (withSeconds) {
    out += ':';
    Append2(out, seconds);
  }
}

// What a number format shows.
enum class TShow : unsigned char { Number, Date, Time, DateTime, Duration };
struct TFormat {
  TShow Show = TShow::Number;
  bool Seconds = true;
};

// Classifies a number format code: y or d make a date, h or s a time; m is minutes beside
// them and a month otherwise; [h], [m], [s] are durations. Quoted text, escapes and
// bracketed colours or conditions do not count.
TFormat ClassifyFormat(std::string_view code) {
  bool date = false, time = false, elapsed = false, seconds = false, month = false;
  std::string lower(code);
  for (char& ch : lower) ch = static_cast<char>(ch >= 'A' && ch <= 'Z' ? ch - 'A' + 'a' : ch);
  if (lower.find("general") != std::string::npos) return {};
  // Only the first section (positive numbers) decides.
  for (size_t i = 0; i < lower.size(); ++i) {
    char ch = lower[i];
    if (ch == ';') break;
    if (ch == '"') {
      size_t e = lower.find('"', i + 1);
      if (e == std::string::npos) break;
      i = e;
    } else if (ch == '\\' || ch == '_' || ch == '*') {
      ++i;
    } else if (ch == '[') {
      size_t e = lower.find(']', i + 1);
      if (e == std::string::npos) break;
      std::string_view in(lower.data() + i + 1, e - i - 1);
      if (!in.empty() && in.find_first_not_of(in[0]) == std::string_view::npos &&
          (in[0] == 'h' || in[0] == 'm' || in[0] == 's')) {
        elapsed = true;
        time = true;
        if (in[0] == 's') seconds = true;
      }
      i = e;
    } else if (ch == 'y' || ch == 'd') {
      date = true;
    } else if (ch == 'h') {
      time = true;
    } else if (ch == 's') {
      time = true;
      seconds = true;
    } else if (ch == 'm') {
      month = true;
    }
  }
  if (month && !time) date = true;
  TFormat f;
  f.Seconds = seconds;
  if (elapsed)
    f.Show = TShow::Duration;
  else if (date && time)
    f.Show = TShow::DateTime;
  else if (date)
    f.Show = TShow::Date;
  else if (time)
    f.Show = TShow::Time;
  return f;
}

// The built-in number formats of the Office Open XML format that show dates or times.
TFormat BuiltinFormat(int id) {
  if ((id >= 14 && id <= 17) || (id >= 27 && id <= 36) || (id >= 50 && id <= 58))
    return {TShow::Date, false};
  if (id == 18 || id == 20) return {TShow::Time, false};
  if (id == 19 || id == 21 || id == 45 || id == 47) return {TShow::Time, true};
  if (id == 22) return {TShow::DateTime, false};
  if (id == 46) return {TShow::Duration, true};
  return {};
}

// A spreadsheet serial date-time (days since the epoch, fraction = time of day) shown as
// the format says. False when it is out of the calendar's range (then shown as a number).
bool SerialText(double serial, bool date1904, TFormat f, std::string& out) {
  if (!std::isfinite(serial) || serial < 0 || serial > 2958466.0) return false;
  const long long secs = std::llround(serial * 86400.0);
  long long days = secs / 86400, inDay = secs % 86400;
  if (f.Show == TShow::Duration) {
    AppendClock(out, secs / 3600, secs / 60 % 60, secs % 60, f.Seconds);
    return true;
  }
  TCivil c;
  if (date1904) {
    c = CivilFromDays(DaysFromCivil(1904, 1, 1) + days);
  } else if (days == 60) {
    c = {1900, 2, 29};  // the 1900 system counts a 29 February 1900
  } else {
    c = CivilFromDays(DaysFromCivil(1899, 12, days < 60 ? 31 : 30) + days);
  }
  switch (f.Show) {
    case TShow::Date: AppendDate(out, c); break;
    case TShow::Time: AppendClock(out, inDay / 3600, inDay / 60 % 60, inDay % 60, f.Seconds); break;
    case TShow::DateTime:
      out += std::to_string(c.Y) + '-';
      Append2(out, c.M);
      out += '-';
      Append2(out, c.D);
      out += ' ';
      AppendClock(out, inDay / 3600, inDay / 60 % 60, inDay % 60, f.Seconds);
      break;
    default: return false;
  }
  return true;
}

// "2024-01-31", "2024-01-31T10:30:00[.fff][Z]" -> yyyymmdd, or date and time as text when
// the time of day is not midnight. False when it does not parse.
bool IsoDateText(std::string_view v, std::string& out) {
  auto num = [&](size_t at, size_t len, int& x) {
    if (at + len > v.size()) return false;
    auto r = std::from_chars(v.data() + at, v.data() + at + len, x);
    return r.ec == std::errc() && r.ptr == v.data() + at + len;
  };
  int y, m, d, hh = 0, mm = 0, ss = 0;
  if (!num(0, 4, y) || v.size() < 10 || v[4] != '-' || !num(5, 2, m) || v[7] != '-' ||
      !num(8, 2, d))
    return false;
  if (m < 1 || m > 12 || d < 1 || d > 31) return false;
  if (v.size() > 10) {
    if (v[10] != 'T' || !num(11, 2, hh) || v.size() < 19 || v[13] != ':' || !num(14, 2, mm) ||
        v[16] != ':' || !num(17, 2, ss))
      return false;
  }
  if (hh == 0 && mm == 0 && ss == 0) {
    AppendDate(out, {y, unsigned(m), unsigned(d)});
    return true;
  }
  out += std::string(v.substr(0, 10)) + ' ';
  AppendClock(out, hh, mm, ss, true);
  return true;
}

// "PT10H30M00S" (an OpenDocument time) -> "10:30:00". False when it does not parse.
bool DurationText(std::string_view v, std::string& out) {
  if (v.size() < 3 || v.substr(0, 2) != "PT") return false;
  double h = 0, m = 0, s = 0;
  size_t i = 2;
  while (i < v.size()) {
    double x;
    auto r = std::from_chars(v.data() + i, v.data() + v.size(), x);
    if (r.ec != std::errc() || r.ptr == v.data() + v.size()) return false;
    i = static_cast<size_t>(r.ptr - v.data());
    char unit = v[i++];
    if (unit == 'H')
      h = x;
    else if (unit == 'M')
      m = x;
    else if (unit == 'S')
      s = x;
    else
      return false;
  }
  const double total = h * 3600 + m * 60 + s;
  if (!(total >= 0 && total < 1e12)) return false;
  const long long secs = std::llround(total);
  AppendClock(out, secs / 3600, secs / 60 % 60, secs % 60, true);
  return true;
}

// ------------------------------------------------------------------ the grid

// Receives a sheet's rows and builds the data set the text reader would build. Rows are
// gathered in batches; a large sheet's batches are added to the grid on a second thread
// while the parser goes on (building the grid is a sixth of the work and the parser is the
// slowest part). Until Finish only that thread touches the data set.
class TSheetSink {
 public:
  TSheetSink(TDataList& list, TFileResult& result) : List(list), Result(result) {
    List.DataGrid.SetRowCount(1);
  }
  ~TSheetSink() { SignalAndJoin(Builder, M, Cv, Cancel); }
  TSheetSink(const TSheetSink&) = delete;
  TSheetSink& operator=(const TSheetSink&) = delete;

  // The sheet's size in bytes, when known: a large one is built on a second thread.
  void Expect(std::uint64_t bytes) {
    if (bytes < (std::uint64_t(8) << 20) || Builder.joinable()) return;
    try {
      Builder = std::thread([this] { Run(); });
    } catch (const std::system_error&) {  // then built here, as a small sheet is
    }
  }

  // Places a cell of the current row (columns from 1, left to right); empty text is a
  // missing cell. Cells past the 512th column are dropped and warned about.
  void Cell(int col, std::string_view text) {
    if (text.empty()) return;
    if (col > MaxColumns) {
      Truncated = true;
      return;
    }
    const std::size_t have = Cur.Ends.size() - RowEnds;
    if (col <= static_cast<int>(have)) return;  // out of order: the sheet is malformed
    const std::size_t bytes = Cur.Text.size() - RowText;
    if (bytes + text.size() > UINT32_MAX) Fail("a row holds too much text");
    if (static_cast<std::size_t>(col - 1) > have)  // missing cells before it
      Cur.Ends.insert(Cur.Ends.end(), static_cast<std::size_t>(col - 1) - have,
                      static_cast<std::uint32_t>(bytes));
    Cur.Text.append(text);
    Cur.Ends.push_back(static_cast<std::uint32_t>(bytes + text.size()));
    Budget(text.size() + 8);
  }

  // Ends the current row, which stands for `repeat` equal rows; an empty row is skipped
  // as an empty line of a text file is.
  void EndRow(std::uint64_t repeat = 1) {
    const std::size_t cells = Cur.Ends.size() - RowEnds, bytes = Cur.Text.size() - RowText;
    if (cells > 0) {
      Budget((bytes + cells * 2) * (repeat - 1));
      Cur.Rows.push_back({RowText, RowEnds, static_cast<std::uint32_t>(cells), repeat});
      ++RowsSeen;
      TextSeen += bytes * repeat;
      if (Cur.Text.size() >= BatchBytes || Cur.Rows.size() >= BatchRows) Flush();
    }
    RowText = Cur.Text.size();
    RowEnds = Cur.Ends.size();
  }

  std::uint64_t Rows() const { return RowsSeen; }

  // Capacity for the rest of a sheet of `total` bytes, judged from what the rows so far
  // took of its first `parsed` bytes, so the grid does not copy itself as it grows.
  void Hint(std::uint64_t parsed, std::uint64_t total) {
    if (parsed == 0 || total <= parsed) return;
    const double scale = double(total - parsed) / double(parsed) * 1.05;
    Cur.MoreRows = static_cast<std::size_t>(std::min(double(RowsSeen) * scale, double(total)));
    Cur.MoreText = static_cast<std::size_t>(std::min(double(TextSeen) * scale, double(total)));
  }

  void Finish() {
    Flush();
    SignalAndJoin(Builder, M, Cv, Closing);
    if (Failure) std::rethrow_exception(Failure);
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
    }
    if (Truncated) Result.Warnings.push_back(ColumnsTruncatedText);
    List.SetAllRowsModified();
    List.UpdateData();
  }

  // Output beyond what the archive may inflate to counts as a bomb too (repeated rows and
  // columns of an OpenDocument sheet multiply a few bytes).
  void Budget(std::uint64_t bytes) {
    Produced += bytes;
    if (Produced > Limit) Fail("the sheet expands beyond " + std::to_string(Limit) + " bytes");
  }
  std::uint64_t Limit = MaxEntryBytes;
  bool Truncated = false;

 private:
  static constexpr std::size_t BatchBytes = std::size_t(1) << 20, BatchRows = 16384, MaxQueued = 4;

  struct TBatch {
    std::string Text;                 // the rows' cells end to end
    std::vector<std::uint32_t> Ends;  // each cell's end, counted from its row's start
    struct TRow {
      std::size_t Text, Ends;  // where the row starts in both
      std::uint32_t Cells;
      std::uint64_t Repeat;
    };
    std::vector<TRow> Rows;
    std::size_t MoreRows = 0, MoreText = 0;  // capacity to reserve first
    void Clear() {
      Text.clear();
      Ends.clear();
      Rows.clear();
      MoreRows = MoreText = 0;
    }
  };

  // The batch to the grid: here, or queued for the building thread.
  void Flush() {
    if (Cur.Rows.empty()) return;
    if (!Builder.joinable()) {
      Build(Cur);
      Cur.Clear();
    } else {
      TBatch next;
      {
        std::unique_lock<std::mutex> lock(M);
        Cv.wait(lock, [&] { return Full.size() < MaxQueued || Failure; });
        if (Failure) std::rethrow_exception(Failure);
        Full.push_back(std::move(Cur));
        if (!Spare.empty()) {
          next = std::move(Spare.back());
          Spare.pop_back();
        }
      }
      Cv.notify_all();
      Cur = std::move(next);
      Cur.Clear();
    }
    RowText = RowEnds = 0;
  }

  // The building thread: batches in order until closed; a failure is kept for the parser.
  void Run() {
    for (;;) {
      TBatch b;
      {
        std::unique_lock<std::mutex> lock(M);
        Cv.wait(lock, [&] { return !Full.empty() || Closing || Cancel; });
        if (Cancel || Full.empty()) return;
        b = std::move(Full.front());
        Full.pop_front();
      }
      Cv.notify_all();  // room in the queue
      try {
        Build(b);
      } catch (...) {
        std::lock_guard<std::mutex> lock(M);
        Failure = std::current_exception();
        Cv.notify_all();
        return;
      }
      b.Clear();
      {
        std::lock_guard<std::mutex> lock(M);
        Spare.push_back(std::move(b));
      }
      Cv.notify_all();
    }
  }

  void Build(const TBatch& b) {
    if (b.MoreRows > 0) {
      // Only a hint: a sheet that lies about its size just grows as it goes.
      try {
        List.DataGrid.ReserveRows(b.MoreRows);
        List.DataGrid.ReserveText(b.MoreText);
      } catch (const std::bad_alloc&) {
      } catch (const std::length_error&) {
      }
    }
    for (const auto& r : b.Rows) {
      const std::span<const std::uint32_t> ends(b.Ends.data() + r.Ends, r.Cells);
      const std::string_view text(b.Text.data() + r.Text, ends.back());
      std::uint64_t repeat = r.Repeat;
      if (!Decided) {
        Decided = true;
        if (NamesRow(text, ends)) {
          Result.NamesRead = true;
          for (size_t i = 0; i < ends.size(); ++i) Names.emplace_back(Field(text, ends, i));
          if (--repeat == 0) continue;
        }
      }
      if (static_cast<int>(ends.size()) + 1 > List.DataGrid.ColCount())
        List.DataGrid.SetColCount(static_cast<int>(ends.size()) + 1);
      for (std::uint64_t k = 0; k < repeat; ++k) {
        List.DataGrid.AppendRowRaw(text, ends, 1);
        ++Result.DataLines;
      }
    }
  }

  static std::string_view Field(std::string_view text, std::span<const std::uint32_t> ends,
                                size_t i) {
    std::uint32_t b = i == 0 ? 0 : ends[i - 1];
    return text.substr(b, ends[i] - b);
  }
  // The text files' rule: some character outside the numeric set, and no number.
  static bool NamesRow(std::string_view text, std::span<const std::uint32_t> ends) {
    bool any = false;
    for (size_t i = 0; i < ends.size(); ++i) {
      std::string_view f = Field(text, ends, i);
      if (f.empty()) continue;
      if (FieldIsNumber(f)) return false;
      any = any || HasNonNumericChar(f);
    }
    return any;
  }

  TDataList& List;
  TFileResult& Result;
  // The parser's side: the batch being filled and where its current row starts.
  TBatch Cur;
  std::size_t RowText = 0, RowEnds = 0;
  std::uint64_t RowsSeen = 0, TextSeen = 0, Produced = 0;
  // The building side (the data set, the names line).
  std::vector<std::string> Names;
  bool Decided = false;
  // The queue between them.
  std::deque<TBatch> Full;
  std::vector<TBatch> Spare;
  bool Closing = false, Cancel = false;
  std::exception_ptr Failure;
  std::mutex M;
  std::condition_variable Cv;
  std::thread Builder;
};

// ------------------------------------------------------------------ Office Open XML

// "AB12" -> 28; 0 when the reference has no column letters.
int ColumnOfReference(const char* r, const char* end) {
  long long col = 0;
  for (; r < end && *r >= 'A' && *r <= 'Z'; ++r) {
    col = col * 26 + (*r - 'A' + 1);
    if (col > 1 << 20) return 1 << 20;
  }
  return static_cast<int>(col);
}

struct TSheetRef {
  std::string Name, Target;
};

class TXlsxWorkbook : public TXmlReader {
 public:
  std::vector<TSheetRef> Sheets;
  bool Date1904 = false;

 protected:
  void Start(std::string_view name, const char** a) override {
    if (name == "sheet") {
      const char* n = Attr(a, "name");
      const char* id = Attr(a, "id");
      Sheets.push_back({n ? n : "", id ? id : ""});
    } else if (name == "workbookPr") {
      const char* d = Attr(a, "date1904");
      Date1904 = d && (std::strcmp(d, "1") == 0 || std::strcmp(d, "true") == 0);
    }
  }
  void End(std::string_view) override {}
};

class TXlsxRels : public TXmlReader {
 public:
  std::vector<std::pair<std::string, std::string>> Targets;  // id, target

 protected:
  void Start(std::string_view name, const char** a) override {
    if (name != "Relationship") return;
    const char* id = Attr(a, "Id");
    const char* t = Attr(a, "Target");
    if (id && t) Targets.emplace_back(id, t);
  }
  void End(std::string_view) override {}
};

class TXlsxStrings : public TXmlReader {
 public:
  std::vector<std::string> Strings;

 protected:
  // The text of an <si> is its <t> elements, those of phonetic runs (<rPh>) left out.
  void Start(std::string_view name, const char**) override {
    if (name == "si") {
      Current.clear();
    } else if (name == "rPh") {
      InPhonetic = true;
    } else if (name == "t" && !InPhonetic) {
      WantText = true;
      Text.clear();
    }
  }
  void End(std::string_view name) override {
    if (name == "t" && WantText) {
      Current += Text;
      WantText = false;
    } else if (name == "rPh") {
      InPhonetic = false;
    } else if (name == "si") {
      Strings.push_back(CleanCellText(Current));
    }
  }

 private:
  std::string Current;
  bool InPhonetic = false;
};

class TXlsxStyles : public TXmlReader {
 public:
  std::vector<TFormat> CellFormats;  // by style index

 protected:
  void Start(std::string_view name, const char** a) override {
    if (name == "numFmt") {
      const char* id = Attr(a, "numFmtId");
      const char* code = Attr(a, "formatCode");
      if (id && code) Custom.emplace_back(std::atoi(id), ClassifyFormat(code));
    } else if (name == "cellXfs") {
      InCellXfs = true;
    } else if (name == "xf" && InCellXfs) {
      const char* id = Attr(a, "numFmtId");
      int n = id ? std::atoi(id) : 0;
      TFormat f = BuiltinFormat(n);
      for (const auto& [cid, cf] : Custom)
        if (cid == n) f = cf;
      CellFormats.push_back(f);
    }
  }
  void End(std::string_view name) override {
    if (name == "cellXfs") InCellXfs = false;
  }

 private:
  std::vector<std::pair<int, TFormat>> Custom;
  bool InCellXfs = false;
};

class TXlsxSheet : public TXmlReader {
 public:
  // clang-format off
  TXlsxSheet(TSheetSink& sink, const std::vector<std::string>& strings, const std::vector<TFormat>& formats,
             bool date1904)
      : Sink(sink), Strings(strings), Formats(formats), Date1904(date1904), CellName(Intern("c")),
        ValueName(Intern("v")), TName(Intern("t")), PhoneticName(Intern("rPh")), RowName(Intern("row")),
        RefName(Intern("r")), StyleName(Intern("s")) {}
  // clang-format on

  // The sheet's size when the archive says it, to reserve the grid from its first rows.
  std::uint64_t ExpectedBytes = 0;

 protected:
  // Names compare by address and attribute values are read where the parser holds them:
  // this runs for every cell of the sheet.
  void StartElement(const xmlChar* local, const int count, const xmlChar** a) override {
    if (local == CellName) {
      int col = 0;
      Type = TType::Number;
      Style = 0;
      for (int i = 0; i < count; ++i, a += 5) {
        const auto* from = reinterpret_cast<const char*>(a[3]);
        const auto* to = reinterpret_cast<const char*>(a[4]);
        if (a[0] == RefName)
          col = ColumnOfReference(from, to);
        else if (a[0] == TName)
          Type = CellType(std::string_view(from, static_cast<std::size_t>(to - from)));
        else if (a[0] == StyleName)
          Style = StyleIndex(from, to);
      }
      Col = col > 0 ? col : Col + 1;
      Value.clear();
      InCell = true;
      HaveValue = false;
    } else if (InCell && (local == ValueName || (local == TName && !InPhonetic))) {
      WantText = true;
      Text.clear();
    } else if (local == PhoneticName) {
      InPhonetic = true;
    } else if (local == RowName) {
      Col = 0;
    }
  }
  void EndElement(const xmlChar* local) override {
    if ((local == ValueName || local == TName) && WantText) {
      if (Value.empty())
        Value.swap(Text);
      else
        Value += Text;
      HaveValue = true;
      WantText = false;
    } else if (local == PhoneticName) {
      InPhonetic = false;
    } else if (local == CellName) {
      InCell = false;
      if (HaveValue) Emit();
    } else if (local == RowName) {
      if (!Reserved && Sink.Rows() >= 2000) {
        Reserved = true;
        Sink.Hint(BytesParsed(), ExpectedBytes);
      }
      Sink.EndRow();
    }
  }

 private:
  // The cell's t attribute, read once per cell rather than compared at every step.
  enum class TType { Number, Shared, Text, Boolean, Error, Date };
  static TType CellType(std::string_view v) {
    if (v == "s") return TType::Shared;
    if (v == "str" || v == "inlineStr") return TType::Text;
    if (v == "b") return TType::Boolean;
    if (v == "e") return TType::Error;
    if (v == "d") return TType::Date;
    return TType::Number;
  }
  // The s attribute: a cell format's index; 0 (General) when it does not parse.
  static int StyleIndex(const char* from, const char* to) {
    while (from < to && (*from == ' ' || *from == '\t' || *from == '\n' || *from == '\r')) ++from;
    if (from < to && *from == '+') ++from;
    int n = 0;
    return std::from_chars(from, to, n).ec == std::errc() ? n : 0;
  }

  void Emit() {
    Out.clear();
    if (Type == TType::Shared) {
      unsigned long i = 0;
      auto r = std::from_chars(Value.data(), Value.data() + Value.size(), i);
      if (r.ec != std::errc() || i >= Strings.size())
        Fail("a cell refers to a shared string that does not exist");
      Sink.Cell(Col, Strings[i]);
      return;
    }
    if (Type == TType::Text) {
      Out = CleanCellText(Value);
    } else if (Type == TType::Boolean) {
      Out = TrimBlanks(Value) == "0" || TrimBlanks(Value).empty() ? "0" : "1";
    } else if (Type == TType::Error) {
      return;  // an error value (#DIV/0!, #N/A) has no value: missing
    } else if (Type == TType::Date) {
      if (!IsoDateText(TrimBlanks(Value), Out)) Out = CleanCellText(Value);
    } else {
      std::string_view v = TrimBlanks(Value);
      if (v.empty()) return;
      TFormat f =
          Style >= 0 && Style < static_cast<int>(Formats.size()) ? Formats[Style] : TFormat();
      double x;
      if (f.Show != TShow::Number &&
          std::from_chars(v.data(), v.data() + v.size(), x).ec == std::errc() &&
          SerialText(x, Date1904, f, Out)) {
      } else if (PlainNumber(v)) {
        return Sink.Cell(Col, v);  // the common case, without a copy
      } else {
        Out.clear();
        NumberText(v, Out);
      }
    }
    Sink.Cell(Col, Out);
  }

  TSheetSink& Sink;
  const std::vector<std::string>& Strings;
  const std::vector<TFormat>& Formats;
  bool Date1904;
  const xmlChar *CellName, *ValueName, *TName, *PhoneticName, *RowName, *RefName, *StyleName;
  int Col = 0, Style = 0;
  TType Type = TType::Number;
  std::string Value, Out;
  bool InCell = false, HaveValue = false, InPhonetic = false, Reserved = false;
};

// "worksheets/sheet1.xml" relative to xl/, or "/xl/worksheets/sheet1.xml".
std::string PartPath(const std::string& target) {
  if (!target.empty() && target[0] == '/') return target.substr(1);
  return "xl/" + target;
}

std::vector<TSheetRef> XlsxSheets(TArchive& zip, bool& date1904) {
  TXlsxWorkbook wb;
  wb.ParseEntry(zip, "xl/workbook.xml");
  TXlsxRels rels;
  rels.ParseEntry(zip, "xl/_rels/workbook.xml.rels");
  for (auto& s : wb.Sheets) {
    std::string target;
    for (const auto& [id, t] : rels.Targets)
      if (id == s.Target) target = t;
    s.Target = target.empty() ? std::string() : PartPath(target);
  }
  date1904 = wb.Date1904;
  return wb.Sheets;
}

// ------------------------------------------------------------------ OpenDocument

// Sheet names only: stops at nothing, but keeps no cells.
class TOdsNames : public TXmlReader {
 public:
  std::vector<std::string> Names;

 protected:
  void Start(std::string_view name, const char** a) override {
    if (name == "table") {
      if (Depth++ == 0) {
        const char* n = Attr(a, "name");
        Names.emplace_back(n ? n : "");
      }
    }
  }
  void End(std::string_view name) override {
    if (name == "table") --Depth;
  }
  int Depth = 0;
};

std::uint64_t RepeatCount(const char** a, const char* attr) {
  const char* r = Attr(a, attr);
  if (!r) return 1;
  std::uint64_t n = 0;
  auto res = std::from_chars(r, r + std::strlen(r), n);
  return res.ec == std::errc() && n > 0 ? n : 1;
}

class TOdsSheet : public TXmlReader {
 public:
  TOdsSheet(TSheetSink& sink, std::size_t index) : Sink(sink), Index(index) {}

 protected:
  void Start(std::string_view name, const char** a) override {
    if (name == "table") {
      if (Depth++ == 0) ++Seen;
      return;
    }
    if (Depth != 1 || Seen != Index + 1) return;
    if (Annotation > 0) {
      if (name == "annotation") ++Annotation;
      return;
    }
    if (name == "table-row") {
      RowRepeat = RepeatCount(a, "number-rows-repeated");
      Col = 0;
    } else if (name == "table-cell" || name == "covered-table-cell") {
      ColRepeat = RepeatCount(a, "number-columns-repeated");
      Out.clear();
      Paragraphs = 0;
      InCell = true;
      // A typed value comes from its attribute; text, and a value whose attribute is
      // missing or does not parse, from the paragraphs shown in the cell.
      const char* type = Attr(a, "value-type");
      const std::string_view t = type ? type : "";
      const char* v = nullptr;
      if (t == "float" || t == "percentage" || t == "currency") {
        if ((v = Attr(a, "value"))) NumberText(TrimBlanks(v), Out);
      } else if (t == "date") {
        if ((v = Attr(a, "date-value")) && !IsoDateText(TrimBlanks(v), Out)) Out.clear();
      } else if (t == "time") {
        if ((v = Attr(a, "time-value")) && !DurationText(TrimBlanks(v), Out)) Out.clear();
      } else if (t == "boolean") {
        if ((v = Attr(a, "boolean-value"))) Out = std::strcmp(v, "true") == 0 ? "1" : "0";
      }
      TypedValue = !Out.empty();
    } else if (InCell && name == "annotation") {
      Annotation = 1;
    } else if (InCell && !TypedValue) {
      if (name == "p") {
        if (Paragraphs++ > 0) Out += ' ';
        WantText = true;
      } else if (name == "s") {
        FlushText();
        Out.append(std::min<std::uint64_t>(RepeatCount(a, "c"), 1000), ' ');
      } else if (name == "tab" || name == "line-break") {
        FlushText();
        Out += ' ';
      }
    }
  }
  void End(std::string_view name) override {
    if (name == "table") {
      if (--Depth == 0 && Seen == Index + 1) Stop();
      return;
    }
    if (Depth != 1 || Seen != Index + 1) return;
    if (Annotation > 0) {
      if (name == "annotation") --Annotation;
      return;
    }
    if (name == "p" && InCell) {
      FlushText();
      WantText = false;
    } else if (name == "table-cell" || name == "covered-table-cell") {
      FlushText();
      WantText = false;
      InCell = false;
      const std::string text = TypedValue ? Out : CleanCellText(Out);
      if (text.empty()) {
        // Empty cells repeat to the sheet's edge: only counted.
        Col = std::min<std::uint64_t>(Col + ColRepeat, std::uint64_t(1) << 40);
      } else {
        for (std::uint64_t k = 0; k < ColRepeat; ++k) {
          if (++Col > static_cast<std::uint64_t>(MaxColumns)) {
            Sink.Truncated = true;
            break;
          }
          Sink.Cell(static_cast<int>(Col), text);
        }
      }
    } else if (name == "table-row") {
      Sink.EndRow(RowRepeat);
    }
  }

 private:
  void FlushText() {
    if (WantText) Out += Text;
    Text.clear();
  }

  TSheetSink& Sink;
  std::size_t Index;
  std::size_t Seen = 0;
  int Depth = 0, Annotation = 0, Paragraphs = 0;
  std::uint64_t RowRepeat = 1, ColRepeat = 1, Col = 0;
  std::string Out;
  bool InCell = false, TypedValue = false;
};

bool IsEncryptedOds(TArchive& zip) {
  std::string manifest;
  zip.Read("META-INF/manifest.xml", [&](const char* p, std::size_t n) { manifest.append(p, n); });
  return manifest.find("encryption-data") != std::string::npos;
}

// ------------------------------------------------------------------ reading

enum class TKind { Xlsx, Ods };

struct TOpened {
  std::unique_ptr<TArchive> Zip;
  TKind Kind = TKind::Xlsx;
};

// The bytes' first eight, when they are those of a compound file (how Office stores an
// encrypted workbook, and the old .xls format).
bool IsCompoundFile(std::string_view head) {
  return head.size() >= 8 && std::memcmp(head.data(), "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) == 0;
}

TOpened Open(const std::string* path, std::string_view bytes, std::uint64_t archiveSize,
             std::string_view head) {
  if (IsCompoundFile(head))
    Fail(
        "the workbook is encrypted (password-protected) or in the old binary .xls format; save it "
        "as .xlsx");
  if (archiveSize == 0) Fail("the file is empty");
  TOpened o;
  o.Zip = std::make_unique<TArchive>(path, bytes, head);
  o.Zip->Limit = std::min<std::uint64_t>(MaxEntryBytes, archiveSize * MaxInflationRatio);
  if (o.Zip->Has("xl/workbook.xml")) {
    o.Kind = TKind::Xlsx;
  } else if (o.Zip->Has("content.xml")) {
    o.Kind = TKind::Ods;
    if (IsEncryptedOds(*o.Zip)) Fail("the workbook is encrypted (password-protected)");
  } else {
    Fail("no spreadsheet in the archive (neither xl/workbook.xml nor content.xml)");
  }
  return o;
}

std::vector<std::string> SheetNames(TOpened& o) {
  std::vector<std::string> names;
  if (o.Kind == TKind::Xlsx) {
    bool d1904;
    for (const auto& s : XlsxSheets(*o.Zip, d1904)) names.push_back(s.Name);
  } else {
    TOdsNames n;
    n.ParseEntry(*o.Zip, "content.xml");
    names = std::move(n.Names);
  }
  return names;
}

std::size_t PickSheet(const std::vector<std::string>& names, std::string_view sheet) {
  if (names.empty()) Fail("the workbook has no sheets");
  if (sheet.empty()) return 0;
  for (std::size_t i = 0; i < names.size(); ++i)
    if (names[i] == sheet) return i;
  unsigned long n = 0;
  auto r = std::from_chars(sheet.data(), sheet.data() + sheet.size(), n);
  if (r.ec == std::errc() && r.ptr == sheet.data() + sheet.size() && n >= 1 && n <= names.size())
    return n - 1;
  std::string list;
  for (const auto& s : names) list += (list.empty() ? "" : ", ") + s;
  Fail("no sheet '" + std::string(sheet) + "' (the workbook has " + std::to_string(names.size()) +
       (names.size() == 1 ? " sheet: " : " sheets: ") + list + ")");
}

void ReadSheet(TOpened& o, TDataList& list, TFileResult& result, std::string_view sheet,
               const TProgress& progress) {
  TSheetSink sink(list, result);
  sink.Limit = o.Zip->Limit;
  if (o.Kind == TKind::Xlsx) {
    bool date1904 = false;
    std::vector<TSheetRef> sheets = XlsxSheets(*o.Zip, date1904);
    std::vector<std::string> names;
    for (const auto& s : sheets) names.push_back(s.Name);
    const TSheetRef& ref = sheets[PickSheet(names, sheet)];
    if (ref.Target.empty() || !o.Zip->Has(ref.Target.c_str()))
      Fail("sheet '" + ref.Name + "' is missing from the archive");
    TXlsxStrings strings;
    strings.ParseEntry(*o.Zip, "xl/sharedStrings.xml");
    TXlsxStyles styles;
    styles.ParseEntry(*o.Zip, "xl/styles.xml");
    TXlsxSheet reader(sink, strings.Strings, styles.CellFormats, date1904);
    reader.ExpectedBytes = o.Zip->DeclaredSize(ref.Target.c_str());
    sink.Expect(reader.ExpectedBytes);
    const double size = static_cast<double>(reader.ExpectedBytes);
    if (progress && size > 0)
      reader.OnInput = [&](std::uint64_t done) {
        if (!progress(std::min(0.99, static_cast<double>(done) / size))) throw TStopped{};
      };
    reader.ParseEntry(*o.Zip, ref.Target.c_str());
  } else {
    TOdsNames n;
    n.ParseEntry(*o.Zip, "content.xml");
    std::size_t index = PickSheet(n.Names, sheet);
    TOdsSheet reader(sink, index);
    const double size = static_cast<double>(o.Zip->DeclaredSize("content.xml"));
    sink.Expect(o.Zip->DeclaredSize("content.xml"));
    if (progress && size > 0)
      reader.OnInput = [&](std::uint64_t done) {
        if (!progress(std::min(0.99, static_cast<double>(done) / size))) throw TStopped{};
      };
    reader.ParseEntry(*o.Zip, "content.xml");
  }
  sink.Finish();
  if (progress) progress(1.0);
  result.Ok = true;
}

// Runs `body`, turning its failures into the result's message.
template <class F>
TFileResult Guarded(const std::string& where, F&& body) {
  TFileResult result;
  try {
    body(result);
  } catch (const TWorkbookError& e) {
    result = TFileResult();
    result.Error = FileReadErrorText;
    result.Detail = where.empty() ? e.Reason : where + ": " + e.Reason;
  } catch (const TStopped&) {
    result = TFileResult();
    result.Error = FileStoppedText;
  } catch (const std::bad_alloc&) {
    result = TFileResult();
    result.Error = FileReadErrorText;
    result.Detail = where.empty() ? "out of memory" : where + ": out of memory";
  }
  return result;
}

// The size of a regular file and its first bytes; fails as the text reader does.
bool FileHead(const std::string& path, TFileResult& result, std::uint64_t& size,
              std::string& head) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) {
    result.Error = FileSizeErrorText;
    result.Detail = path + ": " + std::strerror(errno);
    return false;
  }
  if (!S_ISREG(st.st_mode)) {
    result.Error = FileReadErrorText;
    result.Detail = path + ": not a regular file";
    return false;
  }
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    result.Error = FileOpenErrorText;
    result.Detail = path + ": " + std::strerror(errno);
    return false;
  }
  char buf[8];
  size_t n = std::fread(buf, 1, sizeof buf, f);
  std::fclose(f);
  head.assign(buf, n);
  size = static_cast<std::uint64_t>(st.st_size);
  return true;
}

}  // namespace

bool IsWorkbookPath(std::string_view path) {
  size_t dot = path.rfind('.');
  if (dot == std::string_view::npos || path.find('/', dot) != std::string_view::npos) return false;
  std::string ext(path.substr(dot));
  for (char& ch : ext) ch = static_cast<char>(ch >= 'A' && ch <= 'Z' ? ch - 'A' + 'a' : ch);
  return ext == ".xlsx" || ext == ".xlsm" || ext == ".ods";
}

std::string WorkbookSaveName(std::string_view path) {
  size_t dot = path.rfind('.');
  size_t slash = path.rfind('/');
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
    dot = path.size();
  return std::string(path.substr(0, dot)) + "." + DefaultDataExtension;
}

TFileResult WorkbookSheets(const std::string& path, std::vector<std::string>& names) {
  TFileResult result;
  std::uint64_t size = 0;
  std::string head;
  if (!FileHead(path, result, size, head)) return result;
  return Guarded(path, [&](TFileResult& r) {
    TOpened o = Open(&path, {}, size, head);
    names = SheetNames(o);
    r.Ok = true;
  });
}

TFileResult WorkbookSheetsFromBytes(std::string_view bytes, std::vector<std::string>& names) {
  return Guarded({}, [&](TFileResult& r) {
    TOpened o = Open(nullptr, bytes, bytes.size(), bytes.substr(0, 8));
    names = SheetNames(o);
    r.Ok = true;
  });
}

TFileResult ReadWorkbookFile(const std::string& path, TDataList& list, std::string_view sheet,
                             const TProgress& progress) {
  TFileResult result;
  std::uint64_t size = 0;
  std::string head;
  if (!FileHead(path, result, size, head)) return result;
  return Guarded(path, [&](TFileResult& r) {
    TOpened o = Open(&path, {}, size, head);
    ReadSheet(o, list, r, sheet, progress);
  });
}

TFileResult ReadWorkbookBytes(std::string_view bytes, TDataList& list, std::string_view sheet,
                              const TProgress& progress) {
  return Guarded({}, [&](TFileResult& r) {
    TOpened o = Open(nullptr, bytes, bytes.size(), bytes.substr(0, 8));
    ReadSheet(o, list, r, sheet, progress);
  });
}

}  // namespace sorvel
