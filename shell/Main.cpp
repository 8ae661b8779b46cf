#include "shell/Main.h"

#include <commctrl.h>

#include "core/dialog_layout.h"
#include "db/registry_win32.h"
#include "db/version_check.h"
#include "repair/repair_procedure.h"
#include "shell/application.h"
#include "shell/error_box.h"
#include "shell/message_dialog.h"

namespace tavora {

namespace {

constexpr wchar_t kTfMainClass[] = L"TfMain";
constexpr wchar_t kCaption[] = L"復旧ツール";
constexpr wchar_t kLabel2Text[] = L"進級処理画面のエラーを復旧します。";
constexpr wchar_t kBtnInstallText[] = L"実行";
constexpr wchar_t kFontFace[] = L"MS UI Gothic";

// A dialog-style frame with only a close box; the dialog frame also keeps the icon out of the
// title bar. The application-window style gives it the taskbar button.
constexpr DWORD kStyle = WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_APPWINDOW;
constexpr int kClientWidth = 325;
constexpr int kClientHeight = 182;

constexpr PixelRect kBtnInstallBounds{64, 111, 201, 30};
constexpr int kLabel2Left = 35;
constexpr int kLabel2Top = 56;

void RegisterTfMainClass(HINSTANCE instance) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = ObjectWindowProc<TfMain>;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  windowClass.lpszClassName = kTfMainClass;
  RegisterWindowClass(windowClass);
}

// btnInstall is worked with the mouse only: it hands the keyboard focus straight back to the
// window. It never learns that it had the focus, so a press in progress is not cancelled.
LRESULT CALLBACK RefuseFocusProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam,
                                 UINT_PTR id, DWORD_PTR) noexcept {
  switch (message) {
    case WM_SETFOCUS:
      SetFocus(GetParent(button));
      return 0;
    case WM_KILLFOCUS:
      return 0;
    case WM_NCDESTROY:
      RemoveWindowSubclass(button, RefuseFocusProc, id);
      break;
    default:
      break;
  }
  return DefSubclassProc(button, message, wParam, lParam);
}

SIZE TextExtent(HFONT font, const wchar_t* text) {
  const ScreenDC dc;
  const SelectedFont selected(dc.Get(), font);
  SIZE extent{};
  GetTextExtentPoint32W(dc.Get(), text, static_cast<int>(wcslen(text)), &extent);
  return extent;
}

LRESULT WhiteBackground(HDC dc) {
  SetBkColor(dc, RGB(255, 255, 255));
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
}

}  // namespace

TfMain::TfMain(HINSTANCE instance)
    : formFont_(CreateUiFont(kFontFace, -13, FW_NORMAL)),
      label2Font_(CreateUiFont(kFontFace, -19, FW_NORMAL)),
      btnInstallFont_(CreateUiFont(kFontFace, -15, FW_BOLD)) {
  RegisterTfMainClass(instance);
  RECT frame{0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
  // WM_NCCREATE hands the window to this object; it stays hidden until the event loop starts.
  CheckedWindow(
      CreateWindowExW(kExStyle, kTfMainClass, kCaption, kStyle, 0, 0, frame.right - frame.left,
                      frame.bottom - frame.top, nullptr, nullptr, instance, this),
      u"CreateWindowExW TfMain");
  CreateLabel2(instance);
  CreateBtnInstall(instance);
}

void TfMain::CreateLabel2(HINSTANCE instance) {
  const SIZE extent = TextExtent(label2Font_.get(), kLabel2Text);
  Label2 = CheckedWindow(
      CreateWindowExW(0, L"STATIC", kLabel2Text, WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX,
                      kLabel2Left, kLabel2Top, extent.cx, extent.cy, window_.get(),
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kLabel2Id)), instance, nullptr),
      u"CreateWindowExW Label2");
  SendMessageW(Label2, WM_SETFONT, reinterpret_cast<WPARAM>(label2Font_.get()), FALSE);
}

void TfMain::CreateBtnInstall(HINSTANCE instance) {
  btnInstall = CheckedWindow(
      CreateWindowExW(0, L"BUTTON", kBtnInstallText, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
                      kBtnInstallBounds.left, kBtnInstallBounds.top, kBtnInstallBounds.width,
                      kBtnInstallBounds.height, window_.get(),
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kBtnInstallId)), instance,
                      nullptr),
      u"CreateWindowExW btnInstall");
  SendMessageW(btnInstall, WM_SETFONT, reinterpret_cast<WPARAM>(btnInstallFont_.get()), FALSE);
  SetWindowSubclass(btnInstall, RefuseFocusProc, 0, 0);
}

void TfMain::FormCreate(HWND) { CheckSchemaVersion(*this, conTavora, qry); }

void TfMain::btnInstallClick(HWND) {
  Advapi32Registry registry;
  RunRepair(*this, registry, conTavora, qry);
}

void TfMain::ShowCentred() {
  HWND window = window_.get();
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  RECT bounds{};
  GetWindowRect(window, &bounds);
  const int left = work.left + CentredOffset(work.right - work.left, bounds.right - bounds.left);
  const int top = work.top + CentredOffset(work.bottom - work.top, bounds.bottom - bounds.top);
  SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(window, SW_SHOWNORMAL);
  SetForegroundWindow(window);
}

ModalResult TfMain::ShowMessageDialog(const std::u16string& message, DialogKind kind,
                                      DialogButtons buttons, const std::u16string& focusName) {
  return tavora::ShowMessageDialog(message, kind, buttons, focusName);
}

void TfMain::SetWaitPointer() { SetAppPointer(PointerShape::Wait); }

void TfMain::SetDefaultPointer() { SetAppPointer(PointerShape::Default); }

void TfMain::Terminate() { PostQuitMessage(0); }

void TfMain::CloseMainWindow() { SendMessageW(window_.get(), WM_CLOSE, 0, 0); }

LRESULT TfMain::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND window = window_.get();
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wParam) == kBtnInstallId && HIWORD(wParam) == BN_CLICKED) {
        RunHandler([this] { btnInstallClick(btnInstall); });
        return 0;
      }
      break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return WhiteBackground(reinterpret_cast<HDC>(wParam));
    case WM_SETCURSOR:
      if (ShowAppPointer()) return TRUE;
      break;
    case WM_CLOSE:
      // No question: closing is the quit request; the window stays until the end destroys it.
      Terminate();
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(formFont_.get());
    case WM_NCDESTROY:
      window_.release();  // gone already; nothing left to destroy
      break;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace tavora
