// ui_tests.exe --program=PATH --harness=PATH --screenshots=DIR [gtest options]
// Paths may be Unix paths; under Wine they are reached through drive Z:.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <exception>
#include <memory>
#include <optional>
#include <string_view>

#include "tests/ui/ui_driver.h"

namespace {

using namespace tavora::ui;

// A desktop of its own for the programs under test. Wine shows a named desktop as a virtual
// desktop and draws the window frames itself there, as Windows would, so that the screenshots
// show the title bars; the tests also do not meet windows left on the default desktop. When
// the desktop cannot be made, the tests run on the process's own desktop.
class TestDesktop {
 public:
  TestDesktop() {
    // A new desktop for each run: the one of the run before may still be closing.
    wsprintfW(name_, L"TavoraUiTests.%lu", GetCurrentProcessId());
    wchar_t command[128];
    wsprintfW(command, L"explorer.exe /desktop=%s,%dx%d", name_, GetSystemMetrics(SM_CXSCREEN),
              GetSystemMetrics(SM_CYSCREEN));
    try {
      explorer_.emplace(command, false);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "note: no test desktop (%s)\n", e.what());
      return;
    }
    WaitUntil([this] {
      desktop_.reset(OpenDesktopW(name_, 0, FALSE, GENERIC_ALL));
      return desktop_ != nullptr;
    });
    if (desktop_ && SetThreadDesktop(desktop_.get())) {
      GetDesktopWindow();  // waits until explorer has made the desktop's window
      TheSettings().desktop = name_;
    } else {
      std::fprintf(stderr, "note: no test desktop; running on the default one\n");
    }
  }
  // Closes the desktop and ends its explorer, which would otherwise wait for a program that never
  // came (when no test ran) and keep the output pipe of the test open.
  ~TestDesktop() = default;
  TestDesktop(const TestDesktop&) = delete;
  TestDesktop& operator=(const TestDesktop&) = delete;

 private:
  struct DesktopCloser {
    void operator()(HDESK desktop) const noexcept { CloseDesktop(desktop); }
  };
  wchar_t name_[64] = {};
  std::optional<Process> explorer_;  // ended by its destructor, after the desktop is closed
  std::unique_ptr<std::remove_pointer_t<HDESK>, DesktopCloser> desktop_;
};

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  Settings& settings = TheSettings();
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    const auto value = [&](std::string_view option) {
      return argument.starts_with(option) ? WindowsPath(argument.substr(option.size()))
                                          : std::wstring();
    };
    if (auto v = value("--program="); !v.empty()) settings.program = v;
    if (auto v = value("--harness="); !v.empty()) settings.harness = v;
    if (auto v = value("--screenshots="); !v.empty()) settings.screenshots = v;
  }
  if (settings.program.empty() || settings.harness.empty() || settings.screenshots.empty()) {
    std::fprintf(stderr, "usage: ui_tests --program=PATH --harness=PATH --screenshots=DIR\n");
    return 2;
  }
  const TestDesktop desktop;
  return RUN_ALL_TESTS();
}
