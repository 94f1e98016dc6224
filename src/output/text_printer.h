// Line printer for reports: margins in thousandths of an inch, a header and a footer
// (left, centred and right texts with page number and date codes), automatic page
// breaks and tab expansion. The page device behind it is an interface so that the
// page logic runs (and is tested) without a printer.
#pragma once

#include <cstdint>
#include <string>

namespace sorvel {

struct TPrintFont {
  std::string Name = "Courier New";
  int Size = 9;  // points
  bool Bold = false;
  bool Underline = false;
  std::uint32_t Color = 0x000000;  // 0xRRGGBB
  bool operator==(const TPrintFont&) const = default;
};

// One printed page stream, in device pixels. Coordinates passed to DrawText are
// relative to the printable area; y is the top of the text line.
class TPageDevice {
 public:
  virtual ~TPageDevice() = default;
  virtual int DpiX() const = 0;
  virtual int DpiY() const = 0;
  // Unprintable offsets of the printable area from the paper's edge.
  virtual int OffsetX() const = 0;
  virtual int OffsetY() const = 0;
  // Printable width and height.
  virtual int PageWidth() const = 0;
  virtual int PageHeight() const = 0;
  virtual void SetFont(const TPrintFont& font) = 0;
  virtual TPrintFont Font() const = 0;
  // Metrics of the current font.
  virtual int TextWidth(const std::string& text) = 0;
  virtual int CharHeight() = 0;
  virtual int AverageCharWidth() = 0;
  virtual void DrawText(int x, int y, const std::string& text) = 0;
  virtual void NewPage() = 0;
  // The current date in the user's short date format.
  virtual std::string DateText() const = 0;
};

struct TPrintRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  bool operator==(const TPrintRect&) const = default;
};

// A header or footer: left, centred and right text.
struct THFRec {
  std::string T1;
  std::string T2;
  std::string T3;
  int VLoc = 0;  // device pixels
  bool Active = false;
  bool FirstPage = false;  // also printed on page 1
  TPrintFont HFFont;
};

class TMPrinter {
 public:
  TPrintRect Margins;  // printable area in device pixels
  THFRec Header;
  THFRec Footer;
  std::string TabSpace = std::string(8, ' ');

  // Starts a print job on the device: header and footer inactive, page 1, pen at the
  // top-left corner of the printable area.
  void InitMPrinter(TPageDevice& device);
  // Margins in thousandths of an inch.
  void SetMargins(int left, int right, int top, int bottom);
  // hfType 1 = header, 2 = footer; loc in thousandths of an inch. Printed at once when
  // firstPage is set and the job is on page 1.
  void SetHeaderFooter(const std::string& s1, const std::string& s2, const std::string& s3, int loc,
                       bool firstPage, int hfType, const TPrintFont& font);
  void ClearHeaderFooter(int hfType);

  // Text with control characters: tab -> TabSpace, line feeds dropped, form feed (12)
  // starts a new page, carriage return (13) a new line.
  void PrintString(const std::string& text);
  void PrintLine(const std::string& text);  // PrintString(text + CR)
  void NewLine();
  void NewPage();

  // The font text is printed in (the canvas font).
  void SetFont(const TPrintFont& font);

  int CharactersPerLine();
  int LinesPerPage();
  int LinesLeftOnPage();
  // A rectangle in thousandths of an inch -> device pixels.
  TPrintRect InchesToPixels(const TPrintRect& rect) const;
  void PrintOutHeaderFooter();

  int PageNumber() const { return page_; }
  int CurrentX() const { return x_; }
  int CurrentY() const { return y_; }

  // "&P" -> page number, "&D" -> date (case-insensitive): a text that is only the code
  // is replaced as a whole, otherwise the first occurrence of each code in place.
  static std::string SubstituteCodes(const std::string& text, int page, const std::string& date);

 private:
  int ToPixelsX(int thousandths) const;
  int ToPixelsY(int thousandths) const;
  void PrintPart(const std::string& part);
  void PrintHF(const THFRec& rec, bool footer);

  TPageDevice* device_ = nullptr;
  int page_ = 1;
  int x_ = 0;
  int y_ = 0;
};

}  // namespace sorvel
