// DialogHarness.exe: opens one message dialog of the program for the UI tests; never shipped.
//
//   DialogHarness.exe KIND BUTTONS FOCUSNAME MESSAGE [--wait-pointer] [--owner]
//                     [--inactive-owner] [--error-box] [--terminate] [--next BUTTONS FOCUSNAME]...
//
//   KIND        0 Warning, 1 Error, 2 Information, 3 Confirmation, 4 Custom
//   BUTTONS     the button set as a decimal number, bit n for the button of value n
//               (4 = {OK}, 3 = {Yes, No})
//   FOCUSNAME   the focus name, possibly empty ("")
//   MESSAGE     the message; the escapes \r, \n, \t and \\ stand for CR, LF, tab and backslash
//   --wait-pointer  sets the application-wide wait pointer before the dialog opens; after it has
//                   closed, prints "pointer=wait" or "pointer=default" on stdout
//   --owner     first shows a plain top-level window (class "THarnessOwner", caption
//               "DialogHarness") as the application's main window, active when the dialog opens
//   --inactive-owner  the same main window, shown without ever being activated, as when another
//               program is in front: no window of this thread is active when the dialog opens.
//               With either, after the dialog has closed, prints "owner=enabled" or
//               "owner=disabled", then " active" or " inactive", on stdout
//   --error-box shows the default error box with MESSAGE instead of a dialog
//   --terminate installs the program's last resort and calls std::terminate instead of opening
//               a dialog, to show how the program ends when a failure escapes everything
//   --next      after the dialog has closed, opens another of the same kind and message with these
//               buttons and focus name; repeated, one after the other in one process, so that a
//               table of cases costs one process start
//
// The exit code is the last dialog's ModalResult; 100 for a command line it does not understand.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "core/exception.h"
#include "shell/application.h"
#include "shell/error_box.h"
#include "shell/message_dialog.h"
#include "shell/terminate_handler.h"
#include "shell/win32_handles.h"

namespace {

constexpr int kUsageExitCode = 100;

struct Arguments {
  tavora::DialogKind kind = tavora::DialogKind::Information;
  tavora::DialogButtons buttons = 0;
  std::u16string focusName;
  std::u16string message;
  bool waitPointer = false;
  bool owner = false;
  bool inactiveOwner = false;
  bool errorBox = false;
  bool terminate = false;
  struct Next {
    tavora::DialogButtons buttons;
    std::u16string focusName;
  };
  std::vector<Next> next;
};

std::u16string Unescape(std::wstring_view text) {
  std::u16string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != L'\\' || i + 1 == text.size()) {
      out += static_cast<char16_t>(text[i]);
      continue;
    }
    switch (text[++i]) {
      case L'r':
        out += u'\r';
        break;
      case L'n':
        out += u'\n';
        break;
      case L't':
        out += u'\t';
        break;
      case L'\\':
        out += u'\\';
        break;
      default:
        out += u'\\';
        out += static_cast<char16_t>(text[i]);
    }
  }
  return out;
}

bool ParseNumber(const wchar_t* text, unsigned long maximum, unsigned long& value) {
  wchar_t* end = nullptr;
  value = std::wcstoul(text, &end, 10);
  return end != text && *end == L'\0' && value <= maximum;
}

bool ParseArguments(int argc, wchar_t** argv, Arguments& arguments) {
  if (argc < 5) return false;
  unsigned long kind = 0;
  unsigned long buttons = 0;
  if (!ParseNumber(argv[1], 4, kind) || !ParseNumber(argv[2], 0xFFFF, buttons)) return false;
  arguments.kind = static_cast<tavora::DialogKind>(kind);
  arguments.buttons = static_cast<tavora::DialogButtons>(buttons);
  arguments.focusName = tavora::FromWide(argv[3]);
  arguments.message = Unescape(argv[4]);
  for (int i = 5; i < argc; ++i) {
    const std::wstring_view option = argv[i];
    if (option == L"--wait-pointer") {
      arguments.waitPointer = true;
    } else if (option == L"--owner") {
      arguments.owner = true;
    } else if (option == L"--inactive-owner") {
      arguments.owner = true;
      arguments.inactiveOwner = true;
    } else if (option == L"--error-box") {
      arguments.errorBox = true;
    } else if (option == L"--terminate") {
      arguments.terminate = true;
    } else if (option == L"--next" && i + 2 < argc) {
      if (!ParseNumber(argv[i + 1], 0xFFFF, buttons)) return false;
      arguments.next.push_back(
          {static_cast<tavora::DialogButtons>(buttons), tavora::FromWide(argv[i + 2])});
      i += 2;
    } else {
      return false;
    }
  }
  return true;
}

// A plain main-like window, shown and, unless asked otherwise, active, so that the dialog has a
// visible owner to disable.
tavora::UniqueWindow ShowOwnerWindow(HINSTANCE instance, bool activate) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  windowClass.lpszClassName = L"THarnessOwner";
  tavora::RegisterWindowClass(windowClass);
  tavora::UniqueWindow window(tavora::CheckedWindow(
      CreateWindowExW(WS_EX_APPWINDOW, L"THarnessOwner", L"DialogHarness", WS_CAPTION | WS_SYSMENU,
                      40, 40, 360, 240, nullptr, nullptr, instance, nullptr),
      u"CreateWindowExW THarnessOwner"));
  if (activate) {
    ShowWindow(window.get(), SW_SHOWNORMAL);
    SetForegroundWindow(window.get());
  } else {
    ShowWindow(window.get(), SW_SHOWNOACTIVATE);
  }
  return window;
}

int RunDialog(const Arguments& arguments) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  const tavora::OleSession ole;
  const tavora::ApplicationWindow application(instance);
  const tavora::ComSession com;
  tavora::UniqueWindow owner;
  if (arguments.owner) owner = ShowOwnerWindow(instance, !arguments.inactiveOwner);
  const tavora::MainWindowRegistration mainWindow(owner.get());
  if (arguments.waitPointer) tavora::SetAppPointer(tavora::PointerShape::Wait);
  tavora::ModalResult result = 0;
  if (arguments.errorBox) {
    tavora::ShowErrorBox(arguments.message);
  } else {
    result = tavora::ShowMessageDialog(arguments.message, arguments.kind, arguments.buttons,
                                       arguments.focusName);
    for (const auto& next : arguments.next) {
      result = tavora::ShowMessageDialog(arguments.message, arguments.kind, next.buttons,
                                         next.focusName);
    }
  }
  if (owner) {
    std::fputs(IsWindowEnabled(owner.get()) ? "owner=enabled" : "owner=disabled", stdout);
    std::fputs(GetActiveWindow() == owner.get() ? " active\n" : " inactive\n", stdout);
    std::fflush(stdout);
  }
  if (arguments.waitPointer) {
    const bool wait = tavora::TheAppPointer().Shape() == tavora::PointerShape::Wait;
    std::fputs(wait ? "pointer=wait\n" : "pointer=default\n", stdout);
    std::fflush(stdout);
  }
  return result;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  Arguments arguments;
  if (!ParseArguments(argc, argv, arguments)) {
    std::fputs(
        "usage: DialogHarness KIND BUTTONS FOCUSNAME MESSAGE [--wait-pointer] [--owner] "
        "[--inactive-owner] [--error-box] "
        "[--terminate] [--next BUTTONS FOCUSNAME]...\n",
        stderr);
    return kUsageExitCode;
  }
  if (arguments.terminate) {
    tavora::InstallLastResort();
    std::terminate();
  }
  try {
    return RunDialog(arguments);
  } catch (const tavora::Exception& e) {
    std::fprintf(stderr, "DialogHarness: %s\n", e.what());
    return kUsageExitCode + 1;
  }
}
