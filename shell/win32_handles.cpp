#include "shell/win32_handles.h"

#include <string>

#include "core/dialog_rules.h"
#include "core/exception.h"
#include "core/text.h"

namespace tavora {

UniqueFont CreateUiFont(const wchar_t* face, int height, int weight) {
  HFONT font =
      CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
  if (font == nullptr) ThrowLastError(u"CreateFontW");
  return UniqueFont(font);
}

std::u16string ModulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      return FromWide(path);
    }
    path.resize(path.size() * 2);
  }
}

namespace {

void LowerCaseWithPlatform(std::u16string& text) {
  if (text.empty()) return;
  CharLowerBuffW(reinterpret_cast<wchar_t*>(text.data()), static_cast<DWORD>(text.size()));
}

}  // namespace

std::u16string TheProgramTitle() { return ProgramTitle(ModulePath(), LowerCaseWithPlatform); }

void ThrowLastError(std::u16string_view what) {
  const DWORD error = GetLastError();
  throw Exception(std::u16string(what) + u" failed (Windows error " + ToU16(std::to_string(error)) +
                  u")");
}

HWND CheckedWindow(HWND window, std::u16string_view what) {
  if (window == nullptr) ThrowLastError(what);
  return window;
}

void RegisterWindowClass(const WNDCLASSEXW& windowClass) {
  if (RegisterClassExW(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    ThrowLastError(u"RegisterClassExW");
  }
}

}  // namespace tavora
