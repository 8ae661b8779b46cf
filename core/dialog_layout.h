#pragma once
// Where a message dialog puts its icon, text and buttons, from the sizes the window code
// measures. Pure arithmetic, so that it is tested and fuzzed natively.
#include <vector>

namespace tavora {

// Message text wraps at half the primary screen's width.
constexpr int MessageWrapWidth(int screenWidth) { return screenWidth / 2; }

// Offset that centres an extent in another: half the outer minus half the inner.
constexpr int CentredOffset(int outer, int inner) { return outer / 2 - inner / 2; }

struct PixelRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// The message font's average character width and height: margins, gaps and button sizes are in
// dialog units of that font, so the dialog keeps its proportions with larger message fonts.
struct DialogFontUnits {
  int charWidth = 0;
  int charHeight = 0;
};

struct DialogContent {
  int textWidth = 0;  // the wrapped message as measured
  int textHeight = 0;
  bool hasIcon = false;
  int buttonCount = 0;
  int widestCaption = 0;  // the widest button caption as drawn, "&" removed
};

struct DialogLayout {
  PixelRect icon;  // empty without an icon
  PixelRect text;
  std::vector<PixelRect> buttons;  // left to right
  int clientWidth = 0;
  int clientHeight = 0;
};

inline constexpr int kIconSize = 32;

DialogLayout LayOutDialog(const DialogContent& content, DialogFontUnits units);

}  // namespace tavora
