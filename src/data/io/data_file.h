// Data files: delimited text with an optional names line, "Title:", "USL:", "Target:" and
// "LSL:" description lines and "*" comment lines.
//
// Reading accepts UTF-8 (with or without a byte-order mark) and UTF-16 with a byte-order
// mark (both decoded to UTF-8), takes bytes that are not valid UTF-8 as Windows-1252, and
// accepts CR LF, LF or CR line ends. Comma-separated lines take RFC 4180 quotes (every
// line of a ".csv" file, other files' lines that hold quotes; data/csv.h). Writing produces
// UTF-8 without a byte-order mark, tab-separated (comma-separated for a ".csv" name), CR LF
// line ends, and never destroys the old file: it writes a temporary file beside it and
// renames it over the target.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "data/data_list.h"

namespace sorvel {

// Progress of a long loop: called with the fraction done (0..1); returning false stops it.
using TProgress = std::function<bool(double fraction)>;

inline constexpr const char* FileSizeErrorText = "File Error";
inline constexpr const char* FileOpenErrorText = "File Error!";
inline constexpr const char* FileReadErrorText = "Error Reading File";
inline constexpr const char* FileStoppedText = "Loading Stopped";
inline constexpr const char* FileWriteErrorText = "Error Writing File";
inline constexpr const char* ColumnsTruncatedText =
    "The Maximum Number of Columns was Exceeded. Columns Truncated.";
// A column name that a names line cannot give back (a number such as "2019", or a single
// column's name with blanks or commas) is saved as the default name.
inline constexpr const char* NamesNotSavedText =
    "Some Column Names Cannot be Saved in a Data File. Default Names were Written.";

inline constexpr const char* OpenDialogFilter =
    "Data Files (*.dat, *.sorvel, *.sorvels, *.csv, *.xlsx, *.xlsm, *.ods)|"
    "*.dat;*.sorvel;*.sorvels;*.csv;*.xlsx;*.xlsm;*.ods|"
    "Sorvelstats Data Files (*.sorvel)|*.sorvel|Zidozadud Data Files (*.sorvels)|*.sorvels|"
    "Data Files (*.dat)|*.dat|Text Files (*.txt)|*.txt|Comma Separated Values (*.csv)|*.csv|"
    "Excel Workbooks (*.xlsx, *.xlsm)|*.xlsx;*.xlsm|OpenDocument Spreadsheets (*.ods)|*.ods|All "
    "Files (*.*)|*.*";
inline constexpr const char* SaveDialogFilter =
    "Data Files (*.sorvel, *.sorvels, *.dat)|*.sorvel;*.sorvels;*.dat|Sorvelstats Data Files "
    "(*.sorvel)|*.sorvel|Zidozadud Data Files (*.sorvels)|*.sorvels|Data Files (*.dat)|*.dat|"
    "Text Files (*.txt)|*.txt|Comma Separated Values (*.csv)|*.csv|All Files (*.*)|*.*";
inline constexpr const char* DefaultDataExtension = "sorvel";

struct TFileResult {
  bool Ok = false;
  std::string Error;   // the message the window shows when !Ok
  std::string Detail;  // the system's reason (file name, errno text), for the command line
  std::vector<std::string> Warnings;  // shown once after loading (columns truncated)
  std::int64_t DataLines = 0;         // data lines read
  bool NamesRead = false, DescriptionsRead = false;
};

// The file's size in bytes; -1 when it cannot be taken.
std::int64_t GetFileLength(const std::string& path);

// The longest line the reader takes; a longer one fails the read with "Error Reading File".
inline constexpr std::size_t MaxLineBytes = std::size_t(256) << 20;

// Reads a data file into `list`, which should be a fresh data set, and parses it
// (UpdateData). On failure (Error set) `list` holds whatever was read and must be dropped.
// Only a regular file is read; anything else fails with "Error Reading File".
TFileResult ReadDataFile(const std::string& path, TDataList& list, const TProgress& progress = {},
                         std::size_t maxLineBytes = MaxLineBytes);
// The same from bytes in memory.
TFileResult ReadDataBytes(std::string_view bytes, TDataList& list, const TProgress& progress = {},
                          std::size_t maxLineBytes = MaxLineBytes);

// The editor's Open: reads the file into a fresh data set and puts it in place of the
// current one only when the whole file was read; then the editor's file name is `path`,
// the data set is unmodified and the change counters advance. On failure the current data
// set, its file name and its modified mark stay as they were. A workbook (.xlsx, .ods) is
// read by the workbook reader: `sheet` names its sheet (or number), empty for the first;
// other files have no sheets, so a `sheet` fails them.
TFileResult FileToDataGrid(const std::string& path, const TProgress& progress = {},
                           const std::string& sheet = {});

struct TSaveOptions {
  bool VarNames = true;
  bool Descriptions = true;
  bool Selection = false;
  int Left = 1, Top = 1, Right = 0, Bottom = 0;  // the block when Selection (grid cells)
  // Comma-separated values (RFC 4180 quoting) instead of tabs; a ".csv" file name sets it.
  bool Csv = false;
};

// The text the writer produces for `list` (UTF-8, CR LF). Where the plain layout would
// read back differently (a first case that would pass for a names line, a first cell
// that would pass for a comment or description line, a one-column line that would split,
// a column name that a names line cannot carry), it writes a names line, a leading blank
// or a default name so that the file reads back as the same cases.
std::string DataFileText(const TDataList& list, const TSaveOptions& options);
// Writes `list` to `path` safely (temporary file, flush, rename). On failure Error is
// "Error Writing File" and the old file is untouched. Names saved as defaults give the
// warning NamesNotSavedText.
TFileResult WriteDataFile(const std::string& path, const TDataList& list,
                          const TSaveOptions& options);

// The editor's SaveFile: writes the current data set; on success clears the modified mark,
// remembers the names choice (whole grid only) and announces column changes; on failure
// the data set stays modified. The editor's file name becomes `path` either way, except
// for a workbook's name: workbooks are read-only, so that save fails and changes nothing.
TFileResult SaveFile(const std::string& path, const TSaveOptions& options);

// The question "File Not Saved.  Save?" before the data set is replaced. `ask` returns the
// answer; `saveAs` runs Save As and returns true only when the file was really written.
// True when the caller may go on (nothing to save, No, or Yes and saved).
enum class TSaveAnswer { Yes, No, Cancel };
inline constexpr const char* FileNotSavedText = "File Not Saved.  Save?";
bool MayDiscardData(const std::function<TSaveAnswer()>& ask, const std::function<bool()>& saveAs);

}  // namespace sorvel
