// The dialog model with any content: any measured message size, button set, focus name and
// message text. The layout keeps every part inside the dialog, the buttons in one row in order,
// and the text rules never lose or invent characters.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/dialog_layout.h"
#include "core/dialog_rules.h"

using namespace tavora;

namespace {

int Take(const std::uint8_t*& data, std::size_t& size, int limit) {
  int value = 0;
  for (int i = 0; i < 2 && size > 0; ++i, ++data, --size) value = value * 256 + *data;
  return value % limit;
}

bool Inside(const PixelRect& r, const DialogLayout& l) {
  return r.left >= 0 && r.top >= 0 && r.left + r.width <= l.clientWidth &&
         r.top + r.height <= l.clientHeight;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto buttons = static_cast<DialogButtons>(Take(data, size, 1 << kDialogButtonCount));
  DialogContent content;
  content.textWidth = Take(data, size, 4096);
  content.textHeight = Take(data, size, 4096);
  content.hasIcon = Take(data, size, 2) == 1;
  content.buttonCount = static_cast<int>(ButtonsOf(buttons).size());
  content.widestCaption = Take(data, size, 1024);
  const DialogFontUnits units{1 + Take(data, size, 40), 1 + Take(data, size, 80)};
  std::u16string text;
  for (; size >= 2; data += 2, size -= 2) text += static_cast<char16_t>(data[0] | (data[1] << 8));

  const auto layout = LayOutDialog(content, units);
  if (!Inside(layout.text, layout)) __builtin_trap();
  if (content.hasIcon && (!Inside(layout.icon, layout) || layout.icon.left >= layout.text.left)) {
    __builtin_trap();
  }
  if (layout.buttons.size() != static_cast<std::size_t>(content.buttonCount)) __builtin_trap();
  for (std::size_t i = 0; i < layout.buttons.size(); ++i) {
    const auto& b = layout.buttons[i];
    if (!Inside(b, layout) || b.top < layout.text.top + layout.text.height) __builtin_trap();
    if (b.width != layout.buttons[0].width || b.top != layout.buttons[0].top) __builtin_trap();
    if (i > 0 && b.left < layout.buttons[i - 1].left + layout.buttons[i - 1].width) {
      __builtin_trap();
    }
  }

  const auto boxText = ErrorBoxText(text);
  if (boxText.compare(0, text.size(), text) != 0 || boxText.size() > text.size() + 1) {
    __builtin_trap();
  }
  const auto title = ProgramTitle(text);
  if (title.find_first_of(u"\\/:.") != std::u16string::npos || title.size() > text.size()) {
    __builtin_trap();
  }
  if (const auto focus = FocusButton(buttons, text); focus && !Has(buttons, *focus)) {
    __builtin_trap();
  }
  if (buttons != 0 && !Has(buttons, InitialFocus(buttons, text))) __builtin_trap();
  return 0;
}
