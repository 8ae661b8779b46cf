#pragma once
// What the tests and ui_probe.dll share. Windows keep their fonts inside their own process, and
// Wine does not pass WM_GETFONT between processes, so the probe is hooked into the thread of the
// window under test, reads the font there and hands its LOGFONTW back through shared memory.
#include <windows.h>

namespace tavora::ui {

// Posted to a window of the thread under test: wParam is the control whose font is wanted,
// lParam the process id of the test that waits for the reply.
inline constexpr wchar_t kFontRequestMessage[] = L"TavoraUiTests.FontRequest";
inline constexpr char kFontHookName[] = "FontRequestHook";

struct FontReply {
  BOOL hasFont;  // FALSE when the control uses the system font (WM_GETFONT gave null)
  LOGFONTW font;
};

// Names of the file mapping that carries the reply and of the event that announces it.
inline void FontReplyNames(DWORD testProcessId, wchar_t (&mapping)[64], wchar_t (&done)[64]) {
  wsprintfW(mapping, L"Local\\TavoraUiTests.FontReply.%lu", testProcessId);
  wsprintfW(done, L"Local\\TavoraUiTests.FontDone.%lu", testProcessId);
}

}  // namespace tavora::ui
