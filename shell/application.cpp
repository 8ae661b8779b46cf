#include "shell/application.h"

#include <ole2.h>

namespace tavora {

namespace {

constexpr wchar_t kApplicationClass[] = L"TApplication";

HWND applicationWindow = nullptr;
HWND mainWindow = nullptr;
AppPointer appPointer;

void RegisterApplicationClass(HINSTANCE instance) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.lpszClassName = kApplicationClass;
  RegisterWindowClass(windowClass);
}

// Lets the window under the pointer, if it is one of ours, show its own cursor again.
bool RestoreClassCursorUnderPointer() {
  POINT point;
  if (!GetCursorPos(&point)) return false;
  HWND window = WindowFromPoint(point);
  if (window == nullptr || GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId()) {
    return false;
  }
  const LRESULT hit = SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y));
  SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window),
               MAKELPARAM(hit, WM_MOUSEMOVE));
  return true;
}

void ShowPointerNow() {
  if (ShowAppPointer()) return;
  if (!RestoreClassCursorUnderPointer()) SetCursor(LoadCursorW(nullptr, IDC_ARROW));
}

}  // namespace

OleSession::OleSession() : initialized_(SUCCEEDED(OleInitialize(nullptr))) {}
OleSession::~OleSession() {
  if (initialized_) OleUninitialize();
}

ComSession::ComSession() : initialized_(SUCCEEDED(CoInitialize(nullptr))) {}
ComSession::~ComSession() {
  if (initialized_) CoUninitialize();
}

ApplicationWindow::ApplicationWindow(HINSTANCE instance) {
  RegisterApplicationClass(instance);
  window_.reset(CheckedWindow(CreateWindowExW(WS_EX_TOOLWINDOW, kApplicationClass, L"", WS_POPUP, 0,
                                              0, 0, 0, nullptr, nullptr, instance, nullptr),
                              u"CreateWindowExW TApplication"));
  applicationWindow = window_.get();
}

ApplicationWindow::~ApplicationWindow() { applicationWindow = nullptr; }

HWND TheApplicationWindow() { return applicationWindow; }

MainWindowRegistration::MainWindowRegistration(HWND window) { mainWindow = window; }
MainWindowRegistration::~MainWindowRegistration() { mainWindow = nullptr; }

HWND DialogOwner() {
  return mainWindow != nullptr && IsWindow(mainWindow) ? mainWindow : applicationWindow;
}

AppPointer& TheAppPointer() { return appPointer; }

void SetAppPointer(PointerShape shape) {
  appPointer.Set(shape);
  ShowPointerNow();
}

bool ShowAppPointer() {
  if (appPointer.Shape() != PointerShape::Wait) return false;
  SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  return true;
}

ModalPointer::ModalPointer() : saved_(appPointer.EnterModal()) { ShowPointerNow(); }

ModalPointer::~ModalPointer() {
  appPointer.LeaveModal(saved_);
  ShowPointerNow();
}

}  // namespace tavora
