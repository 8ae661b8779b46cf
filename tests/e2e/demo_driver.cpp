// DemoDriver.exe: works the real program once as a user would, for the demo: start, "実行",
// the confirmation answered はい, the success message closed with OK. Saves a screenshot of each
// step and prints what it does. Never shipped.
//   DemoDriver.exe --program=PATH --screenshots=DIR [--one-press=NAME]
// With --one-press it only presses "実行", saves the dialog that answers as NAME, closes it and
// the program: for pictures of the program's other messages.
// Exit code: the program's, or 1 when a step did not come.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>

#include "tests/ui/ui_driver.h"

namespace {

using namespace tavora::ui;

// The shipped 32-bit program may run under an emulator, where a start takes a minute or more.
constexpr std::chrono::milliseconds kPatience = std::chrono::minutes(4);

HWND WaitForVisible(DWORD pid, const wchar_t* className) {
  HWND window = nullptr;
  WaitUntil([&] { return (window = VisibleWindow(pid, className)) != nullptr; }, kPatience);
  return window;
}

struct FontDeleter {
  void operator()(HFONT font) const noexcept { DeleteObject(font); }
};
struct ScreenDcReleaser {
  void operator()(HDC dc) const noexcept { ReleaseDC(nullptr, dc); }
};

bool Step(const char* what, bool ok) {
  std::printf("demo: %s%s\n", what, ok ? "" : " -- did not happen");
  std::fflush(stdout);
  return ok;
}

// Prints how wide the sentence is drawn here, to compare with Windows, where MS UI Gothic at
// 19 pixels makes it about 282 x 19 in the 325-pixel client area: the label's own bounds, and the
// extent of its text in the face that this prefix gives for MS UI Gothic.
void PrintLabelExtent(HWND main) {
  HWND label = nullptr;
  for (HWND child : Children(main)) {
    if (HasClass(child, L"Static")) label = child;
  }
  if (label == nullptr) return;
  const std::wstring text = Widen(Text(label));
  const RECT bounds = BoundsInParent(label);
  const RECT client = ClientRect(main);

  // The font before the screen DC, so that the DC lets go of it before the font is deleted.
  const std::unique_ptr<std::remove_pointer_t<HFONT>, FontDeleter> font(
      CreateFontW(-19, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"MS UI Gothic"));
  const std::unique_ptr<std::remove_pointer_t<HDC>, ScreenDcReleaser> dc(GetDC(nullptr));
  if (!font || !dc) return;
  const HGDIOBJ previous = SelectObject(dc.get(), font.get());
  SIZE extent{};
  GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &extent);
  SelectObject(dc.get(), previous);

  std::printf(
      "demo: the sentence: label at left %ld, %ld x %ld in a %ld-pixel client area; "
      "GetTextExtentPoint32W in MS UI Gothic at 19 px: %ld x %ld "
      "(Windows: about 282 x 19)\n",
      bounds.left, Width(bounds), Height(bounds), Width(client), extent.cx, extent.cy);
  std::fflush(stdout);
}

void PressInstall(HWND main) {
  HWND button = nullptr;
  for (HWND child : Children(main)) {
    if (HasClass(child, L"Button")) button = child;
  }
  BringToFront(main);
  const POINT centre = CentreOf(button);
  WaitUntil([&] { return WindowFromPoint(centre) == button; });
  // Wine takes the window under the pointer from the last move: move first, then click.
  SetCursorPos(centre.x, centre.y);
  Sleep(300);
  Click(centre);
}

int OnePress(const std::wstring& name) {
  Process program(QuoteArgument(TheSettings().program), false);
  HWND main = WaitForVisible(program.Id(), L"TfMain");
  if (!Step("the main window is open", main != nullptr)) return 1;
  PressInstall(main);
  HWND dialog = WaitForVisible(program.Id(), L"TMessageForm");
  if (!Step("clicked 実行: a message answers", dialog != nullptr)) return 1;
  SaveScreenshot(dialog, name);
  BringToFront(dialog);
  Type({"Enter"});
  WaitUntil([&] { return !IsWindowVisible(dialog); }, kPatience);
  PostMessageW(main, WM_CLOSE, 0, 0);
  const auto code = program.WaitForExit(kPatience);
  return code ? static_cast<int>(*code) : 1;
}

int Run() {
  Process program(QuoteArgument(TheSettings().program), false);
  HWND main = WaitForVisible(program.Id(), L"TfMain");
  if (!Step("the main window is open", main != nullptr)) return 1;
  SaveScreenshot(main, L"1-main-window");
  PrintLabelExtent(main);

  PressInstall(main);
  HWND confirm = WaitForVisible(program.Id(), L"TMessageForm");
  if (!Step("clicked 実行: the confirmation asks", confirm != nullptr)) return 1;
  SaveScreenshot(confirm, L"2-confirmation");

  BringToFront(confirm);
  Type({"Y"});
  HWND done = nullptr;
  WaitUntil(
      [&] {
        done = VisibleWindow(program.Id(), L"TMessageForm");
        return done != nullptr && done != confirm;
      },
      kPatience);
  if (!Step("answered はい: the repair ran", done != nullptr && done != confirm)) return 1;
  SaveScreenshot(done, L"3-success");

  BringToFront(done);
  Type({"Enter"});
  const auto code = program.WaitForExit(kPatience);
  if (!Step("closed the message with OK: the program ended", code.has_value())) return 1;
  std::printf("demo: exit code %lu\n", static_cast<unsigned long>(*code));
  return static_cast<int>(*code);
}

}  // namespace

int main(int argc, char** argv) {
  Settings& settings = TheSettings();
  std::wstring onePress;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument.starts_with("--program=")) settings.program = WindowsPath(argument.substr(10));
    if (argument.starts_with("--screenshots=")) {
      settings.screenshots = WindowsPath(argument.substr(14));
    }
    if (argument.starts_with("--one-press=")) {
      const auto name = argument.substr(12);
      onePress.assign(name.begin(), name.end());
    }
  }
  if (settings.program.empty() || settings.screenshots.empty()) {
    std::fprintf(stderr, "usage: DemoDriver.exe --program=PATH --screenshots=DIR\n");
    return 2;
  }
  return onePress.empty() ? Run() : OnePress(onePress);
}
