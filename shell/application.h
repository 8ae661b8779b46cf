#pragma once
// The application that every window of the process belongs to: OLE and COM for the
// user-interface thread, the hidden application window, and the application-wide pointer.
#include <windows.h>

#include "core/dialog_rules.h"
#include "shell/win32_handles.h"

namespace tavora {

// OleInitialize for the thread (a single-threaded apartment), undone when it goes out of scope.
class OleSession {
 public:
  OleSession();
  ~OleSession();
  OleSession(const OleSession&) = delete;
  OleSession& operator=(const OleSession&) = delete;

 private:
  bool initialized_;
};

// CoInitialize for the thread, undone when it goes out of scope.
class ComSession {
 public:
  ComSession();
  ~ComSession();
  ComSession(const ComSession&) = delete;
  ComSession& operator=(const ComSession&) = delete;

 private:
  bool initialized_;
};

// The hidden application window (class "TApplication"): a zero-sized tool window with an empty
// title that is never shown, so it never gets a taskbar button. It owns the dialogs that open
// before the main window exists.
class ApplicationWindow {
 public:
  explicit ApplicationWindow(HINSTANCE instance);
  ~ApplicationWindow();
  ApplicationWindow(const ApplicationWindow&) = delete;
  ApplicationWindow& operator=(const ApplicationWindow&) = delete;
  HWND Handle() const { return window_.get(); }

 private:
  UniqueWindow window_;
};

// The hidden application window while one exists, otherwise null.
HWND TheApplicationWindow();

// The application's main window from the end of its creation until it goes; the dialogs and the
// default error box are owned by it.
class MainWindowRegistration {
 public:
  explicit MainWindowRegistration(HWND window);
  ~MainWindowRegistration();
  MainWindowRegistration(const MainWindowRegistration&) = delete;
  MainWindowRegistration& operator=(const MainWindowRegistration&) = delete;
};

// The owner of every dialog and of the default error box: the main window once it exists, before
// that the hidden application window. Never the active window: while another program is in
// front, this thread has none, and a dialog owned by the hidden window would not stay in front of
// the main window.
HWND DialogOwner();

// The application-wide pointer: while it is the wait pointer, every window of the program shows
// it. Setting it shows the new shape at once.
AppPointer& TheAppPointer();
void SetAppPointer(PointerShape shape);
// For WM_SETCURSOR: shows the wait pointer and returns true while it is in force; false lets the
// window show its own class cursor.
bool ShowAppPointer();

// The arrow while a modal dialog is open; afterwards the shape that was in force before, unless
// the pointer was set meanwhile.
class ModalPointer {
 public:
  ModalPointer();
  ~ModalPointer();
  ModalPointer(const ModalPointer&) = delete;
  ModalPointer& operator=(const ModalPointer&) = delete;

 private:
  AppPointer::ModalSave saved_;
};

}  // namespace tavora
