// TavoraRepair.exe as the user meets it: its main window, its keys and how it ends.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "tests/ui/ui_driver.h"

namespace tavora::ui {
namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);

// The text of a message dialog: its static control that is not the icon.
std::string DialogMessage(HWND dialog) {
  for (HWND child : Children(dialog)) {
    if (HasClass(child, L"Static") && (Style(child) & SS_TYPEMASK) != SS_ICON) return Text(child);
  }
  return {};
}

// The control of the class with the text, or null.
HWND ChildWithText(HWND parent, std::wstring_view className, std::string_view text) {
  for (HWND child : Children(parent)) {
    if (HasClass(child, className) && Text(child) == text) return child;
  }
  return nullptr;
}

// Starts the program for each test and waits for its main window. The program checks the
// database before it shows the window; without the database fixture it shows its connection
// failure instead, and then the test is skipped.
class MainWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    program_.emplace(QuoteArgument(TheSettings().program), false);
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
      main_ = VisibleWindow(program_->Id(), L"TfMain");
      dialog = VisibleWindow(program_->Id(), L"TMessageForm");
      return main_ != nullptr || dialog != nullptr;
    })) << "TavoraRepair.exe showed neither its main window nor a dialog";
    if (dialog != nullptr) {
      const std::string message = DialogMessage(dialog);
      PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
      EXPECT_EQ(program_->WaitForExit(), 0u) << "after its start-up dialog";
      if (std::getenv("ODBCINI") != nullptr) {
        FAIL() << "with the database fixture in place, the program refused to start: " << message;
      }
      GTEST_SKIP() << "no database fixture (ODBCINI is not set): the program reports \"" << message
                   << "\" instead of showing its main window";
    }
    ASSERT_TRUE(BringToFront(main_)) << "the main window did not become the foreground window";
  }

  // Ends the program: the close box, as the user would.
  void TearDown() override {
    if (program_ && program_->Running() && main_ != nullptr) {
      PostMessageW(main_, WM_SYSCOMMAND, SC_CLOSE, 0);
      program_->WaitForExit();
    }
  }

  // What is on screen when the program did not end: a dialog, if one is open.
  std::string Showing() const {
    if (HWND dialog = VisibleWindow(program_->Id(), L"TMessageForm")) {
      return "a dialog \"" + Text(dialog) + "\": " + DialogMessage(dialog);
    }
    return "no dialog";
  }

  std::optional<Process> program_;
  HWND main_ = nullptr;
};

TEST_F(MainWindowTest, IsADialogFramedAppWindowOfFixedSizeCentredInTheWorkArea) {
  EXPECT_EQ(Text(main_), "復旧ツール");

  struct Flag {
    const char* name;
    DWORD bits;
    bool exStyle;
    bool expected;
  };
  const Flag flags[] = {
      {"WS_CAPTION", WS_CAPTION, false, true},
      {"WS_SYSMENU (close box)", WS_SYSMENU, false, true},
      {"WS_MINIMIZEBOX", WS_MINIMIZEBOX, false, false},
      {"WS_MAXIMIZEBOX", WS_MAXIMIZEBOX, false, false},
      {"WS_THICKFRAME (resizable)", WS_THICKFRAME, false, false},
      {"WS_EX_DLGMODALFRAME (no title-bar icon)", WS_EX_DLGMODALFRAME, true, true},
      {"WS_EX_APPWINDOW (taskbar button)", WS_EX_APPWINDOW, true, true},
  };
  for (const auto& flag : flags) {
    const DWORD style = flag.exStyle ? ExStyle(main_) : Style(main_);
    EXPECT_EQ((style & flag.bits) == flag.bits, flag.expected) << flag.name;
  }
  EXPECT_EQ(GetWindow(main_, GW_OWNER), nullptr) << "the main window must have no owner";

  const RECT client = ClientRect(main_);
  EXPECT_EQ(Width(client), 325);
  EXPECT_EQ(Height(client), 182);

  RECT work{};
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
  RECT frame{};
  GetWindowRect(main_, &frame);
  EXPECT_NEAR(frame.left - work.left, work.right - frame.right, 1) << "not centred across";
  EXPECT_NEAR(frame.top - work.top, work.bottom - frame.bottom, 1) << "not centred down";

  // Corners of the client area and the gap between the sentence and the button.
  std::vector<POINT> points = {{3, 3}, {321, 3}, {3, 178}, {321, 178}, {162, 92}};
  MapWindowPoints(main_, HWND_DESKTOP, points.data(), static_cast<UINT>(points.size()));
  WaitUntil(
      [&] {
        for (const POINT p : points) {
          if (ScreenPixel(p) != kWhite) return false;
        }
        return true;
      },
      5s);
  for (const POINT p : points) {
    EXPECT_EQ(ScreenPixel(p), kWhite) << "background at screen point " << p.x << "," << p.y;
  }
}

TEST_F(MainWindowTest, HasAHiddenApplicationToolWindow) {
  HWND application = nullptr;
  for (HWND window : TopLevelWindows(program_->Id())) {
    if (HasClass(window, L"TApplication")) application = window;
  }
  ASSERT_NE(application, nullptr) << "no window of class TApplication";
  EXPECT_FALSE(IsWindowVisible(application));
  EXPECT_TRUE(ExStyle(application) & WS_EX_TOOLWINDOW);
  EXPECT_EQ(Text(application), "");
  RECT bounds{};
  GetWindowRect(application, &bounds);
  EXPECT_EQ(Width(bounds), 0);
  EXPECT_EQ(Height(bounds), 0);
}

TEST_F(MainWindowTest, ShowsTheSentenceAndTheButtonWithTheirBoundsAndFonts) {
  struct Shown {
    const char* name;
    HWND window;
    std::optional<POINT> topLeft;  // in the main window's client area
    std::optional<SIZE> size;
    LONG fontHeight;
    LONG fontWeight;
  };
  HWND label2 = ChildWithText(main_, L"Static", "進級処理画面のエラーを復旧します。");
  HWND btnInstall = ChildWithText(main_, L"Button", "実行");
  ASSERT_NE(label2, nullptr) << "no static text with the sentence";
  ASSERT_NE(btnInstall, nullptr) << "no button 実行";
  const Shown shown[] = {
      // The window's own font, for whatever does not set one.
      {"fMain", main_, std::nullopt, std::nullopt, -13, FW_NORMAL},
      // The sentence is sized to its text, so its size depends on the font in use.
      {"Label2", label2, POINT{35, 56}, std::nullopt, -19, FW_NORMAL},
      {"btnInstall", btnInstall, POINT{64, 111}, SIZE{201, 30}, -15, FW_BOLD},
  };
  for (const auto& s : shown) {
    SCOPED_TRACE(s.name);
    EXPECT_TRUE(IsWindowVisible(s.window));
    const RECT bounds = BoundsInParent(s.window);
    if (s.topLeft) {
      EXPECT_EQ(bounds.left, s.topLeft->x);
      EXPECT_EQ(bounds.top, s.topLeft->y);
    }
    if (s.size) {
      EXPECT_EQ(Width(bounds), s.size->cx);
      EXPECT_EQ(Height(bounds), s.size->cy);
    }
    const auto font = FontOf(s.window);
    ASSERT_TRUE(font.has_value()) << "it uses the system font";
    EXPECT_EQ(Narrow(font->lfFaceName), "MS UI Gothic");
    EXPECT_EQ(font->lfHeight, s.fontHeight);
    EXPECT_EQ(font->lfWeight, s.fontWeight);
  }
  SaveScreenshot(main_, L"main_window");
}

// A click on 実行 opens the first dialog of the repair: the confirmation, or an error when the
// data source has no server. Closing it through its frame answers nothing, so no repair runs.
TEST_F(MainWindowTest, ADialogDisablesTheWindowWhileOpenAndGivesItBackAfterwards) {
  HWND button = ChildWithText(main_, L"Button", "実行");
  ASSERT_NE(button, nullptr);
  Click(CentreOf(button));
  HWND dialog = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    dialog = VisibleWindow(program_->Id(), L"TMessageForm");
    return dialog != nullptr;
  })) << "a click on the button opened no dialog";
  SCOPED_TRACE("dialog \"" + Text(dialog) + "\": " + DialogMessage(dialog));
  EXPECT_EQ(GetWindow(dialog, GW_OWNER), main_) << "the main window must own the dialog";
  EXPECT_FALSE(IsWindowEnabled(main_)) << "the main window accepts input under the dialog";

  ASSERT_TRUE(BringToFront(dialog));
  Type({"Alt+F4"});  // closes the dialog, not the program
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(dialog); })) << "the dialog stayed open";
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(main_) && GetForegroundWindow() == main_; }))
      << "the main window is not enabled and active again";
  EXPECT_TRUE(program_->Running());
}

struct KeyCase {
  const char* name;
  std::vector<std::string_view> keys;
  friend void PrintTo(const KeyCase& c, std::ostream* out) { *out << c.name; }
};

class MainWindowKeyTest : public MainWindowTest, public testing::WithParamInterface<KeyCase> {};

// None of these keys may start the repair: if one did, its first dialog would take the Alt+F4
// that follows, and the program would still be running.
TEST_P(MainWindowKeyTest, DoesNothingAndAltF4StillEndsTheProgram) {
  Type(GetParam().keys);
  Type({"Alt+F4"});
  const auto exitCode = program_->WaitForExit();
  ASSERT_TRUE(exitCode.has_value()) << "the program is still running, showing " << Showing();
  EXPECT_EQ(*exitCode, 0u);
}

INSTANTIATE_TEST_SUITE_P(Keys, MainWindowKeyTest,
                         testing::Values(KeyCase{"Enter", {"Enter"}}, KeyCase{"Space", {"Space"}},
                                         KeyCase{"TabThenEnter", {"Tab", "Enter"}},
                                         KeyCase{"TabThenSpace", {"Tab", "Space"}}),
                         CaseName());

enum class Closing { CloseBox, CloseMessage, AltF4 };
struct ClosingCase {
  const char* name;
  Closing how;
  friend void PrintTo(const ClosingCase& c, std::ostream* out) { *out << c.name; }
};

class MainWindowClosingTest : public MainWindowTest,
                              public testing::WithParamInterface<ClosingCase> {};

TEST_P(MainWindowClosingTest, EndsTheProgramAtOnceWithExitCodeZero) {
  switch (GetParam().how) {
    case Closing::CloseBox:
      PostMessageW(main_, WM_SYSCOMMAND, SC_CLOSE, 0);
      break;
    case Closing::CloseMessage:
      PostMessageW(main_, WM_CLOSE, 0, 0);
      break;
    case Closing::AltF4:
      Type({"Alt+F4"});
      break;
  }
  const auto exitCode = program_->WaitForExit();
  ASSERT_TRUE(exitCode.has_value()) << "the program is still running, showing " << Showing();
  EXPECT_EQ(*exitCode, 0u);
}

INSTANTIATE_TEST_SUITE_P(Closing, MainWindowClosingTest,
                         testing::Values(ClosingCase{"CloseBox", Closing::CloseBox},
                                         ClosingCase{"WM_CLOSE", Closing::CloseMessage},
                                         ClosingCase{"AltF4", Closing::AltF4}),
                         CaseName());

// The program's last resort, which the dialog harness installs the same way: a failure that
// escapes everything ends the process at once, with no window, and with a code that no regular
// end of the program gives.
TEST(MainWindowLastResortTest, AFailureThatEscapesEverythingEndsAtOnceWithExitCode3) {
  Process harness(QuoteArgument(TheSettings().harness) + L" 2 4 OK x --terminate", false);
  EXPECT_EQ(harness.WaitForExit(), 3u);
  EXPECT_EQ(VisibleWindow(harness.Id(), L"TMessageForm"), nullptr);
}

}  // namespace
}  // namespace tavora::ui
