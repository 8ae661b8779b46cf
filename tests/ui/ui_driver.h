#pragma once
// Drives the programs under test from outside, as a user would: starts them on the test desktop,
// finds their windows, reads what they show and sends them real keyboard input.
#include <windows.h>

#include <chrono>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "tests/ui/ui_probe.h"

namespace tavora::ui {

using namespace std::chrono_literals;

// Generous: the first start of a program under Wine can take several seconds.
inline constexpr std::chrono::milliseconds kWindowTimeout = 30s;
inline constexpr std::chrono::milliseconds kExitTimeout = 15s;

struct Settings {
  std::wstring program;      // TavoraRepair.exe
  std::wstring harness;      // DialogHarness.exe
  std::wstring screenshots;  // folder for the screenshots
  std::wstring desktop;      // desktop on which the programs run; empty: the process's own
};
Settings& TheSettings();

// A path as a Windows program sees it: under Wine, the Unix path /x/y is Z:\x\y.
std::wstring WindowsPath(std::string_view path);
// One argument of a command line, quoted so that CommandLineToArgvW gives it back unchanged.
std::wstring QuoteArgument(std::wstring_view argument);

struct HandleCloser {
  void operator()(HANDLE handle) const noexcept { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

// A started program. Starting it parks the mouse pointer first (see ParkPointer). If it is still
// running when the object goes, it is terminated, so that a failed test leaves nothing behind.
class Process {
 public:
  Process(const std::wstring& commandLine, bool captureOutput);
  ~Process();
  Process(Process&&) noexcept = default;
  Process& operator=(Process&&) noexcept = default;

  DWORD Id() const { return id_; }
  bool Running() const;
  // The exit code, if the process ends within the timeout.
  std::optional<DWORD> WaitForExit(std::chrono::milliseconds timeout = kExitTimeout);
  // What the process wrote to its standard output; call after it has ended.
  std::string Output();

 private:
  UniqueHandle process_;
  UniqueHandle output_;
  DWORD id_ = 0;
};

// Polls until the condition holds; false if the timeout passes first.
bool WaitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds timeout = kWindowTimeout);

// Top-level windows of the process, hidden ones too.
std::vector<HWND> TopLevelWindows(DWORD processId);
// The visible top-level window of the process with this class, or null.
HWND VisibleWindow(DWORD processId, std::wstring_view className);
// Direct children, in Z order.
std::vector<HWND> Children(HWND parent);

std::wstring ClassName(HWND window);
// The window's text in UTF-8, so that failures print it readably.
std::string Text(HWND window);
bool HasClass(HWND window, std::wstring_view className);  // ignoring case, as Windows does
DWORD Style(HWND window);
DWORD ExStyle(HWND window);
RECT ClientRect(HWND window);
// The window's rectangle in the client coordinates of its parent.
RECT BoundsInParent(HWND child);
inline LONG Width(const RECT& r) { return r.right - r.left; }
inline LONG Height(const RECT& r) { return r.bottom - r.top; }

// The window that has the keyboard focus in the thread of this window.
HWND FocusOf(HWND window);
// The active window of the thread that the window belongs to.
HWND ActiveWindowOf(HWND window);
// The font that a control of another process uses; nullopt for the system font.
std::optional<LOGFONTW> FontOf(HWND control);
// The pointer shape that the thread of the window shows.
Pointer PointerOf(HWND window);

// Makes the window the foreground window; false if it does not become one.
bool BringToFront(HWND window);
// Sends real keystrokes to the foreground window, one after the other. A key is written as
// "Enter", "Esc", "Space", "Tab", "F4" or a letter, optionally after "Ctrl+", "Alt+", "Shift+";
// an upper-case letter is typed with Shift.
void Type(std::initializer_list<std::string_view> keys);
void Type(const std::vector<std::string_view>& keys);

// Puts the mouse pointer in the top left corner of the screen, where no window under test opens.
// Wine tells a window that opens under the pointer where the pointer is, and that news can arrive
// after a later move of the pointer and undo it, so that a click lands where the pointer was.
void ParkPointer();
// Moves the mouse to the screen point and clicks the left button there.
void Click(POINT screenPoint);
// The centre of the window on the screen.
POINT CentreOf(HWND window);

// The colour of a screen pixel as shown.
COLORREF ScreenPixel(POINT point);
// Saves the window as it is shown, frame included, to <screenshots>/<name>.bmp.
void SaveScreenshot(HWND window, std::wstring_view name);

std::string Narrow(std::wstring_view text);  // to UTF-8
std::wstring Widen(std::string_view text);   // from UTF-8

// Names the cases of a parameterised test after the name field of their parameter.
struct CaseName {
  template <class ParamInfo>
  std::string operator()(const ParamInfo& info) const {
    return info.param.name;
  }
};

}  // namespace tavora::ui
