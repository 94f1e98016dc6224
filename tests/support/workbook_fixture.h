// Workbooks written by the tests themselves: a zip archive (libzip) of literal XML parts,
// laid out as spreadsheet programs write them.
#pragma once

#include <zip.h>

#include <cstdio>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace sorvel::test {

using TEntries = std::vector<std::pair<std::string, std::string>>;

// The bytes of a zip archive holding `entries` (deflated unless `stored`).
inline std::string ZipBytes(const TEntries& entries, bool stored = false) {
  zip_error_t err;
  zip_error_init(&err);
  zip_source_t* src = zip_source_buffer_create(nullptr, 0, 0, &err);
  if (!src) throw std::runtime_error("zip source");
  zip_source_keep(src);
  zip_t* z = zip_open_from_source(src, ZIP_TRUNCATE, &err);
  if (!z) throw std::runtime_error("zip open");
  for (const auto& [name, data] : entries) {
    zip_source_t* s = zip_source_buffer(z, data.data(), data.size(), 0);
    zip_int64_t i = zip_file_add(z, name.c_str(), s, ZIP_FL_ENC_UTF_8);
    if (i < 0) throw std::runtime_error("zip add");
    zip_set_file_compression(z, static_cast<zip_uint64_t>(i),
                             stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 9);
  }
  if (zip_close(z) != 0) throw std::runtime_error("zip close");
  std::string out;
  zip_source_open(src);
  zip_source_seek(src, 0, SEEK_END);
  out.resize(static_cast<size_t>(zip_source_tell(src)));
  zip_source_seek(src, 0, SEEK_SET);
  zip_source_read(src, out.data(), out.size());
  zip_source_close(src);
  zip_source_free(src);
  zip_error_fini(&err);
  return out;
}

// Text as an XML attribute value.
inline std::string Escaped(const std::string& t) {
  std::string out;
  for (char ch : t) {
    if (ch == '&')
      out += "&amp;";
    else if (ch == '<')
      out += "&lt;";
    else if (ch == '"')
      out += "&quot;";
    else
      out += ch;
  }
  return out;
}

inline const char* XmlHead = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";

struct TXlsxSheet {
  std::string Name;
  std::string SheetData;  // the <row> elements
};

// An .xlsx workbook: sheets, shared strings (the <si> elements), cell formats (numFmtId of
// each cellXfs entry; index 0 is General) and custom number formats.
struct TXlsx {
  std::vector<TXlsxSheet> Sheets;
  std::vector<std::string> Strings;
  std::vector<int> CellFormats = {0};
  std::vector<std::pair<int, std::string>> NumFmts;
  bool Date1904 = false;

  TEntries Entries() const {
    const std::string ns = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
    const std::string rns = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    TEntries e;
    std::string types =
        std::string(XmlHead) +
        "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Default Extension=\"xml\" ContentType=\"application/xml\"/></Types>";
    e.emplace_back("[Content_Types].xml", types);
    std::string wb =
        std::string(XmlHead) + "<workbook xmlns=\"" + ns + "\" xmlns:r=\"" + rns + "\">";
    if (Date1904) wb += "<workbookPr date1904=\"1\"/>";
    wb += "<sheets>";
    std::string rels =
        std::string(XmlHead) +
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
    for (size_t i = 0; i < Sheets.size(); ++i) {
      const std::string n = std::to_string(i + 1);
      wb += "<sheet name=\"" + Sheets[i].Name + "\" sheetId=\"" + n + "\" r:id=\"rId" + n + "\"/>";
      // The first sheet's target absolute, the others relative: writers use both.
      rels += "<Relationship Id=\"rId" + n + "\" Type=\"" + rns + "/worksheet\" Target=\"" +
              (i == 0 ? "/xl/worksheets/sheet" : "worksheets/sheet") + n + ".xml\"/>";
      e.emplace_back("xl/worksheets/sheet" + n + ".xml",
                     std::string(XmlHead) + "<worksheet xmlns=\"" + ns + "\"><sheetData>" +
                         Sheets[i].SheetData + "</sheetData></worksheet>");
    }
    wb += "</sheets></workbook>";
    rels += "</Relationships>";
    e.emplace_back("xl/workbook.xml", wb);
    e.emplace_back("xl/_rels/workbook.xml.rels", rels);
    if (!Strings.empty()) {
      std::string ss = std::string(XmlHead) + "<sst xmlns=\"" + ns + "\">";
      for (const auto& s : Strings) ss += "<si>" + s + "</si>";
      e.emplace_back("xl/sharedStrings.xml", ss + "</sst>");
    }
    std::string st = std::string(XmlHead) + "<styleSheet xmlns=\"" + ns + "\"><numFmts>";
    for (const auto& [id, code] : NumFmts)
      st +=
          "<numFmt numFmtId=\"" + std::to_string(id) + "\" formatCode=\"" + Escaped(code) + "\"/>";
    // cellStyleXfs come first in real files; their xf elements are not cell formats.
    st += "</numFmts><cellStyleXfs><xf numFmtId=\"14\"/></cellStyleXfs><cellXfs>";
    for (int f : CellFormats) st += "<xf numFmtId=\"" + std::to_string(f) + "\"/>";
    e.emplace_back("xl/styles.xml", st + "</cellXfs></styleSheet>");
    return e;
  }
  std::string Bytes() const { return ZipBytes(Entries()); }
};

// An .ods workbook from the <table:table> elements of its content.
inline TEntries OdsEntries(const std::string& tables) {
  TEntries e;
  e.emplace_back("mimetype", "application/vnd.oasis.opendocument.spreadsheet");
  e.emplace_back("META-INF/manifest.xml",
                 std::string(XmlHead) +
                     "<manifest:manifest "
                     "xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\">"
                     "<manifest:file-entry manifest:full-path=\"/\" "
                     "manifest:media-type=\"application/vnd.oasis.opendocument.spreadsheet\"/>"
                     "<manifest:file-entry manifest:full-path=\"content.xml\" "
                     "manifest:media-type=\"text/xml\"/>"
                     "</manifest:manifest>");
  e.emplace_back("content.xml",
                 std::string(XmlHead) +
                     "<office:document-content "
                     "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
                     "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
                     "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
                     "xmlns:dc=\"http://purl.org/dc/elements/1.1/\">"
                     "<office:body><office:spreadsheet>" +
                     tables + "</office:spreadsheet></office:body></office:document-content>");
  return e;
}
inline std::string OdsBytes(const std::string& tables) { return ZipBytes(OdsEntries(tables)); }

}  // namespace sorvel::test
