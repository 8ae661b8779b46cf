#pragma once
// Owning wrappers for the handles the shell creates, and the meeting point of char16_t text with
// the wchar_t of the Windows API (both are UTF-16 there).
#include <windows.h>

#include <memory>
#include <string>
#include <string_view>
#include <type_traits>

namespace tavora {

struct WindowDestroyer {
  void operator()(HWND window) const { DestroyWindow(window); }
};
using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer>;

struct GdiObjectDeleter {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;

// A device context of the screen, for measuring text before a window exists.
class ScreenDC {
 public:
  ScreenDC() : dc_(GetDC(nullptr)) {}
  ~ScreenDC() { ReleaseDC(nullptr, dc_); }
  ScreenDC(const ScreenDC&) = delete;
  ScreenDC& operator=(const ScreenDC&) = delete;
  HDC Get() const { return dc_; }

 private:
  HDC dc_;
};

// Selects a font into a device context for one scope.
class SelectedFont {
 public:
  SelectedFont(HDC dc, HFONT font) : dc_(dc), previous_(SelectObject(dc, font)) {}
  ~SelectedFont() { SelectObject(dc_, previous_); }
  SelectedFont(const SelectedFont&) = delete;
  SelectedFont& operator=(const SelectedFont&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

inline const wchar_t* Wide(const std::u16string& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}
inline const wchar_t* Wide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }
inline std::u16string FromWide(std::wstring_view text) {
  return {reinterpret_cast<const char16_t*>(text.data()), text.size()};
}

// A font by face name, height in pixels (negative: character height) and weight.
UniqueFont CreateUiFont(const wchar_t* face, int height, int weight);

// The path of the program file.
std::u16string ModulePath();
// The program's title, lower-cased as Windows does (CharLowerBuffW).
std::u16string TheProgramTitle();

// Fails with the last Windows error, naming what could not be done.
[[noreturn]] void ThrowLastError(std::u16string_view what);
// The window, or a failure when it could not be created.
HWND CheckedWindow(HWND window, std::u16string_view what);
// Registers a window class; registering it again is no failure.
void RegisterWindowClass(const WNDCLASSEXW& windowClass);

}  // namespace tavora

namespace tavora {

// The window procedure of a class whose windows are objects of type Window: the object passed as
// the creation parameter adopts the window in WM_NCCREATE (Window::Attach) and handles its
// messages (Window::HandleMessage) until WM_NCDESTROY.
template <typename Window>
LRESULT CALLBACK ObjectWindowProc(HWND window, UINT message, WPARAM wParam,
                                  LPARAM lParam) noexcept {
  if (message == WM_NCCREATE) {
    auto* creating = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    creating->Attach(window);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creating));
  }
  auto* object = reinterpret_cast<Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (object == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  return object->HandleMessage(message, wParam, lParam);
}

}  // namespace tavora
