// Time from process start to the main window being visible, for the program (whose start-up
// includes its database check) and for a bare Win32 window program, interleaved in one run
// under the same Wine. Prints medians; never fails on them.
//   WindowBench.exe --program=PATH --bare=PATH [--runs=N]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "tests/ui/ui_driver.h"

namespace {

using namespace tavora::ui;
using Clock = std::chrono::steady_clock;

double MillisecondsToWindow(const std::wstring& path, const wchar_t* className) {
  const auto start = Clock::now();
  Process process(QuoteArgument(path), false);
  HWND window = nullptr;
  WaitUntil([&] { return (window = VisibleWindow(process.Id(), className)) != nullptr; });
  const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  if (window) PostMessageW(window, WM_CLOSE, 0, 0);
  process.WaitForExit();
  return window ? ms : -1;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  std::wstring program, bare;
  int runs = 31;
  for (int i = 1; i < argc; ++i) {
    const std::string_view a = argv[i];
    if (a.starts_with("--program=")) program = WindowsPath(a.substr(10));
    if (a.starts_with("--bare=")) bare = WindowsPath(a.substr(7));
    if (a.starts_with("--runs=")) runs = std::stoi(std::string(a.substr(7)));
  }
  if (program.empty() || bare.empty()) {
    std::fprintf(stderr, "usage: WindowBench.exe --program=PATH --bare=PATH [--runs=N]\n");
    return 2;
  }
  std::vector<double> tp, tb;
  for (int i = -2; i < runs; ++i) {
    const bool programFirst = i % 2 == 0;
    const double a = programFirst ? MillisecondsToWindow(program, L"TfMain") : 0;
    const double b = MillisecondsToWindow(bare, L"BareWindow");
    const double c = programFirst ? a : MillisecondsToWindow(program, L"TfMain");
    if (c < 0 || b < 0) {
      std::fprintf(stderr, "a window did not appear\n");
      return 1;
    }
    if (i >= 0) {
      tp.push_back(c);
      tb.push_back(b);
    }
  }
  const double mp = Median(tp), mb = Median(tb);
  std::printf("%-34s %-16s %8.1f ms | %-16s %8.1f ms | ratio %.2f (no target)\n",
              "start to visible window (Wine)", "TavoraRepair", mp, "bare window", mb, mp / mb);
  return 0;
}
