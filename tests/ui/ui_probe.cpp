// ui_probe.dll: loaded into the program under test by a WH_GETMESSAGE hook; answers the requests
// of ui_probe.h from inside that process.
#include "tests/ui/ui_probe.h"

#include <windows.h>

#include <cstring>

namespace {

using tavora::ui::Pointer;
using tavora::ui::ProbeReply;

Pointer ShownPointer() {
  const HCURSOR shown = GetCursor();
  if (shown != nullptr && shown == LoadCursorW(nullptr, IDC_ARROW)) return Pointer::Arrow;
  if (shown != nullptr && shown == LoadCursorW(nullptr, IDC_WAIT)) return Pointer::Wait;
  return Pointer::Other;
}

void Answer(HWND control, DWORD testProcessId) {
  ProbeReply reply{};
  if (const auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0))) {
    reply.hasFont = GetObjectW(font, sizeof reply.font, &reply.font) == sizeof reply.font;
  }
  reply.pointer = ShownPointer();
  wchar_t mappingName[64];
  wchar_t doneName[64];
  tavora::ui::ProbeReplyNames(testProcessId, mappingName, doneName);
  if (HANDLE mapping = OpenFileMappingW(FILE_MAP_WRITE, FALSE, mappingName)) {
    if (void* view = MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof reply)) {
      std::memcpy(view, &reply, sizeof reply);
      UnmapViewOfFile(view);
    }
    CloseHandle(mapping);
  }
  if (HANDLE done = OpenEventW(EVENT_MODIFY_STATE, FALSE, doneName)) {
    SetEvent(done);
    CloseHandle(done);
  }
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK
    ProbeRequestHook(int code, WPARAM removal, LPARAM message) {
  static const UINT request = RegisterWindowMessageW(tavora::ui::kProbeRequestMessage);
  auto* msg = reinterpret_cast<MSG*>(message);
  if (code == HC_ACTION && removal == PM_REMOVE && request != 0 && msg->message == request) {
    Answer(reinterpret_cast<HWND>(msg->wParam), static_cast<DWORD>(msg->lParam));
    msg->message = WM_NULL;  // the program never sees the request
  }
  return CallNextHookEx(nullptr, code, removal, message);
}
