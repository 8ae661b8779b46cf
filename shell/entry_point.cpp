// TavoraRepair.exe: start-up, the event loop and the end of the program.
#include <windows.h>

#include "shell/Main.h"
#include "shell/application.h"
#include "shell/error_box.h"
#include "shell/terminate_handler.h"

namespace {

void RunEventLoop() {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

// The RAII order is the start-up order; leaving the scope undoes it backwards: the main window
// with its components (closing an open connection), COM, the application window, OLE.
void RunProgram(HINSTANCE instance) {
  const tavora::OleSession ole;
  const tavora::ApplicationWindow application(instance);
  const tavora::ComSession com;
  tavora::TfMain fMain(instance);
  // The version check runs before the window is ever shown; its quit request lets the window
  // appear only for as long as the loop needs to reach the quit message.
  tavora::RunHandler([&fMain] { fMain.FormCreate(fMain.Handle()); });
  // Created: from here on it is the application's main window, the owner of every dialog.
  const tavora::MainWindowRegistration mainWindow(fMain.Handle());
  fMain.ShowCentred();
  RunEventLoop();
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  tavora::InstallLastResort();
  tavora::RunHandler([instance] { RunProgram(instance); });
  return 0;  // on every path but the last resort
}
