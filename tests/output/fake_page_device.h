// A page device for tests: fixed character metrics, every draw recorded with its page.
#pragma once

#include <string>
#include <vector>

#include "output/text_printer.h"

namespace sorvel {

// A page of 8 x 10 inches at 100 dpi with a 0.1 / 0.2 inch unprintable offset;
// every character is Size pixels wide and 2 x Size pixels high.
class TFakeDevice : public TPageDevice {
 public:
  struct TDraw {
    int Page;
    int X;
    int Y;
    std::string Text;
    TPrintFont Font;
  };
  int DpiX() const override { return 100; }
  int DpiY() const override { return 100; }
  int OffsetX() const override { return 10; }
  int OffsetY() const override { return 20; }
  int PageWidth() const override { return 800; }
  int PageHeight() const override { return 1000; }
  void SetFont(const TPrintFont& font) override { font_ = font; }
  TPrintFont Font() const override { return font_; }
  int TextWidth(const std::string& text) override {
    return static_cast<int>(text.size()) * font_.Size;
  }
  int CharHeight() override { return 2 * font_.Size; }
  int AverageCharWidth() override { return font_.Size; }
  void DrawText(int x, int y, const std::string& text) override {
    Draws.push_back({Page, x, y, text, font_});
  }
  void NewPage() override { ++Page; }
  std::string DateText() const override { return "12/9/26"; }

  std::vector<TDraw> OnPage(int page) const {
    std::vector<TDraw> out;
    for (const auto& d : Draws)
      if (d.Page == page) out.push_back(d);
    return out;
  }

  std::vector<TDraw> Draws;
  int Page = 1;

 private:
  TPrintFont font_{"Courier New", 10};
};

}  // namespace sorvel
