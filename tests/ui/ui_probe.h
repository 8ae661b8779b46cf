#pragma once
// What the tests and ui_probe.dll share. Some of what a window shows lives only inside its own
// process: Wine passes no WM_GETFONT between processes, and font and cursor handles mean nothing
// in another process. So the probe is hooked into the thread of the window under test, looks
// there and hands the answer back through shared memory.
#include <windows.h>

namespace tavora::ui {

// Posted to a window of the thread under test: wParam is the control whose font is wanted,
// lParam the process id of the test that waits for the reply.
inline constexpr wchar_t kProbeRequestMessage[] = L"TavoraUiTests.ProbeRequest";
inline constexpr char kProbeHookName[] = "ProbeRequestHook";

enum class Pointer : int { Other, Arrow, Wait };

struct ProbeReply {
  BOOL hasFont;  // FALSE when the control uses the system font (WM_GETFONT gave null)
  LOGFONTW font;
  Pointer pointer;  // the pointer shape that the thread shows
};

// Names of the file mapping that carries the reply and of the event that announces it.
inline void ProbeReplyNames(DWORD testProcessId, wchar_t (&mapping)[64], wchar_t (&done)[64]) {
  wsprintfW(mapping, L"Local\\TavoraUiTests.ProbeReply.%lu", testProcessId);
  wsprintfW(done, L"Local\\TavoraUiTests.ProbeDone.%lu", testProcessId);
}

}  // namespace tavora::ui
