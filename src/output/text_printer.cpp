#include "output/text_printer.h"

#include <algorithm>
#include <cctype>

namespace sorvel {

namespace {

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// Replaces a code that makes up the whole text, or else its first occurrence.
std::string ReplaceCode(const std::string& text, const std::string& code,
                        const std::string& value) {
  const std::string up = Upper(text);
  if (up == code) return value;
  const auto pos = up.find(code);
  if (pos == std::string::npos) return text;
  return text.substr(0, pos) + value + text.substr(pos + code.size());
}

}  // namespace

std::string TMPrinter::SubstituteCodes(const std::string& text, int page, const std::string& date) {
  std::string s = ReplaceCode(text, "&P", std::to_string(page));
  return ReplaceCode(s, "&D", date);
}

void TMPrinter::InitMPrinter(TPageDevice& device) {
  device_ = &device;
  Header.Active = false;
  Footer.Active = false;
  page_ = 1;
  Margins = {0, 0, device.PageWidth(), device.PageHeight()};
  x_ = 0;
  y_ = 0;
}

int TMPrinter::ToPixelsX(int thousandths) const {
  return static_cast<int>(static_cast<long long>(thousandths) * device_->DpiX() / 1000) -
         device_->OffsetX();
}

int TMPrinter::ToPixelsY(int thousandths) const {
  return static_cast<int>(static_cast<long long>(thousandths) * device_->DpiY() / 1000) -
         device_->OffsetY();
}

void TMPrinter::SetMargins(int left, int right, int top, int bottom) {
  if (!device_) return;
  const int w = device_->PageWidth();
  const int h = device_->PageHeight();
  const int l = ToPixelsX(left);
  const int r = ToPixelsX(right);
  const int t = ToPixelsY(top);
  const int b = ToPixelsY(bottom);
  Margins.Left = (l > 0 && l < w) ? l : 0;
  Margins.Right = (w - Margins.Left - r <= 0 || r <= 0) ? w : w - r;
  Margins.Top = (t > 0 && t < h) ? t : 0;
  Margins.Bottom = (h - b > Margins.Top && b > 0) ? h - b : h;
}

void TMPrinter::SetHeaderFooter(const std::string& s1, const std::string& s2, const std::string& s3,
                                int loc, bool firstPage, int hfType, const TPrintFont& font) {
  if (!device_ || (hfType != 1 && hfType != 2)) return;
  const int pos = ToPixelsY(loc);
  THFRec& rec = hfType == 1 ? Header : Footer;
  if (hfType == 1)
    rec.VLoc = std::max(pos, 0);
  else
    rec.VLoc = pos < 1 ? device_->PageHeight() : device_->PageHeight() - pos;
  rec.T1 = s1;
  rec.T2 = s2;
  rec.T3 = s3;
  rec.FirstPage = firstPage;
  rec.HFFont = font;
  rec.Active = true;
  // Only the record just defined: printing both would draw an earlier header twice.
  if (firstPage && page_ == 1) {
    PrintHF(rec, hfType == 2);
    x_ = Margins.Left;
    y_ = Margins.Top;
  }
}

void TMPrinter::ClearHeaderFooter(int hfType) {
  if (hfType == 1) Header.Active = false;
  if (hfType == 2) Footer.Active = false;
}

void TMPrinter::PrintHF(const THFRec& rec, bool footer) {
  const TPrintFont saved = device_->Font();
  device_->SetFont(rec.HFFont);
  const std::string date = device_->DateText();
  int y = rec.VLoc;
  if (footer) y -= 2 * device_->CharHeight();
  const std::string t1 = SubstituteCodes(rec.T1, page_, date);
  const std::string t2 = SubstituteCodes(rec.T2, page_, date);
  const std::string t3 = SubstituteCodes(rec.T3, page_, date);
  if (!t1.empty()) device_->DrawText(Margins.Left, y, t1);
  if (!t2.empty()) {
    const int width = device_->TextWidth(t2);
    device_->DrawText(Margins.Left + (Margins.Right - Margins.Left - width) / 2, y, t2);
  }
  if (!t3.empty()) device_->DrawText(Margins.Right - device_->TextWidth(t3), y, t3);
  device_->SetFont(saved);
}

void TMPrinter::PrintOutHeaderFooter() {
  if (!device_ || (!Header.Active && !Footer.Active)) return;
  if (Header.Active) PrintHF(Header, false);
  if (Footer.Active) PrintHF(Footer, true);
  x_ = Margins.Left;
  y_ = Margins.Top;
}

void TMPrinter::SetFont(const TPrintFont& font) {
  if (device_) device_->SetFont(font);
}

void TMPrinter::NewLine() {
  if (!device_) return;
  const int h = device_->CharHeight();
  if (y_ + h > Margins.Bottom - h) {
    NewPage();
  } else {
    x_ = Margins.Left;
    y_ += h;
  }
}

void TMPrinter::NewPage() {
  if (!device_) return;
  device_->NewPage();
  ++page_;
  x_ = Margins.Left;
  y_ = Margins.Top;
  PrintOutHeaderFooter();
}

void TMPrinter::PrintPart(const std::string& part) {
  if (part.empty()) return;
  x_ = std::max(x_, Margins.Left);
  y_ = std::max(y_, Margins.Top);
  device_->DrawText(x_, y_, part);
  x_ += device_->TextWidth(part);
}

void TMPrinter::PrintString(const std::string& text) {
  if (!device_) return;
  std::string pending;
  for (char c : text) {
    switch (c) {
      case '\t': pending += TabSpace; break;
      case '\n': break;
      case '\f':
        PrintPart(pending);
        pending.clear();
        NewPage();
        break;
      case '\r':
        PrintPart(pending);
        pending.clear();
        NewLine();
        break;
      default: pending += c;
    }
  }
  PrintPart(pending);
}

void TMPrinter::PrintLine(const std::string& text) { PrintString(text + '\r'); }

int TMPrinter::CharactersPerLine() {
  if (!device_) return 0;
  const int w = device_->AverageCharWidth();
  return w > 0 ? (Margins.Right - Margins.Left) / w : 0;
}

int TMPrinter::LinesPerPage() {
  if (!device_) return 0;
  return (Margins.Bottom - Margins.Top) / (device_->CharHeight() + 2);
}

int TMPrinter::LinesLeftOnPage() {
  if (!device_) return 0;
  return (Margins.Bottom - y_) / (device_->CharHeight() + 2);
}

TPrintRect TMPrinter::InchesToPixels(const TPrintRect& rect) const {
  if (!device_) return rect;
  return {ToPixelsX(rect.Left), ToPixelsY(rect.Top), ToPixelsX(rect.Right), ToPixelsY(rect.Bottom)};
}

}  // namespace sorvel
