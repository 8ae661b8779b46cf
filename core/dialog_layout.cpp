#include "core/dialog_layout.h"

#include <algorithm>

namespace tavora {

namespace {

// Dialog units of the message font: x in quarters of the average character width, y in eighths
// of the character height.
struct DialogUnitScale {
  DialogFontUnits units;
  int X(int du) const { return du * units.charWidth / 4; }
  int Y(int du) const { return du * units.charHeight / 8; }
};

constexpr int kMarginDu = 8;
constexpr int kIconTextGapDu = 10;
constexpr int kTextButtonGapDu = 10;
constexpr int kButtonWidthDu = 50;
constexpr int kButtonHeightDu = 14;
constexpr int kButtonGapDu = 4;
constexpr int kCaptionPaddingDu = 8;

std::vector<PixelRect> LayOutButtonRow(int count, int width, int height, int left, int top,
                                       int gap) {
  std::vector<PixelRect> row;
  for (int i = 0; i < count; ++i) row.push_back({left + i * (width + gap), top, width, height});
  return row;
}

}  // namespace

DialogLayout LayOutDialog(const DialogContent& content, DialogFontUnits units) {
  const DialogUnitScale du{units};
  const int marginX = du.X(kMarginDu);
  const int marginY = du.Y(kMarginDu);
  const int textLeft = marginX + (content.hasIcon ? kIconSize + du.X(kIconTextGapDu) : 0);
  const int areaHeight =
      content.hasIcon ? std::max(kIconSize, content.textHeight) : content.textHeight;

  const int buttonWidth =
      std::max(du.X(kButtonWidthDu), content.widestCaption + du.X(kCaptionPaddingDu));
  const int buttonGap = du.X(kButtonGapDu);
  const int rowWidth = content.buttonCount > 0 ? content.buttonCount * buttonWidth +
                                                     (content.buttonCount - 1) * buttonGap
                                               : 0;

  DialogLayout layout;
  layout.clientWidth = std::max(textLeft + content.textWidth, marginX + rowWidth) + marginX;
  const int rowTop = marginY + areaHeight + du.Y(kTextButtonGapDu);
  const int buttonHeight = du.Y(kButtonHeightDu);
  layout.clientHeight = rowTop + buttonHeight + marginY;
  if (content.hasIcon) layout.icon = {marginX, marginY, kIconSize, kIconSize};
  layout.text = {textLeft, marginY, content.textWidth, content.textHeight};
  layout.buttons = LayOutButtonRow(content.buttonCount, buttonWidth, buttonHeight,
                                   CentredOffset(layout.clientWidth, rowWidth), rowTop, buttonGap);
  return layout;
}

}  // namespace tavora
