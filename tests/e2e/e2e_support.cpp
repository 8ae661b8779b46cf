#include "tests/e2e/e2e_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace tavora::ui {

using tavora::testing::AdminSession;
using tavora::testing::ColumnsOf;
using tavora::testing::Getenv;

void Reg(const std::wstring& arguments) {
  Process reg(L"reg.exe " + arguments, true);
  ASSERT_EQ(reg.WaitForExit(), 0u) << Narrow(arguments) << ": " << reg.Output();
}

void SetServer(const std::wstring& type, const std::wstring& data) {
  Reg(std::wstring(L"add ") + kDataSourceKey + L" /v Servername /t " + type + L" /d " +
      QuoteArgument(data) + L" /f");
}

void FixturePg(const std::string& arguments) {
  // Wine starts a Unix program directly but cannot wait for it: the command leaves its exit
  // status in a file, which this side waits for.
  const std::string marker = Getenv("TAVORA_FIXTURE_DIR") + "/host-command.status";
  std::remove(marker.c_str());
  const std::string command = Getenv("TAVORA_FIXTURE_PG") + " " + arguments;
  std::wstring line =
      L"/bin/sh -c " + QuoteArgument(std::wstring(command.begin(), command.end()) +
                                     L"; echo $? > " + std::wstring(marker.begin(), marker.end()));
  Process host(line, false);
  std::string status;
  ASSERT_TRUE(WaitUntil(
      [&] {
        std::ifstream in(marker);
        return static_cast<bool>(std::getline(in, status));
      },
      120s))
      << command;
  ASSERT_EQ(status, "0") << command;
}

std::wstring DialogMessage(HWND dialog) {
  for (HWND child : Children(dialog)) {
    if (HasClass(child, L"Static") && (Style(child) & SS_TYPEMASK) != SS_ICON) return TextW(child);
  }
  return {};
}

void ExpectUntouched() {
  auto count = [](const char* table) { return ColumnsOf(table).size(); };
  EXPECT_EQ(count("tmp_user_file_select"), 87u);
  EXPECT_EQ(count("tmp_user_file_data"), 44u);
  EXPECT_EQ(count("tmp_user_file_select_out"), 44u);
}

void ExpectRepaired() {
  EXPECT_EQ(ColumnsOf("tmp_user_file_select"), tavora::testing::RepairedSelect());
  EXPECT_EQ(ColumnsOf("tmp_user_file_data"), tavora::testing::RepairedData());
  EXPECT_EQ(ColumnsOf("tmp_user_file_select_out"), tavora::testing::RepairedSelectOut());
  EXPECT_EQ(tavora::testing::OwnerOf("tmp_user_file_select_out"), "tavora_user");
}

void ProgramTest::SetUp() {
  tavora::testing::ResetSchema();
  SetServer(L"REG_SZ", L"127.0.0.1");
}

void ProgramTest::TearDown() {
  if (program_ && program_->Running()) {
    if (HWND main = VisibleWindow(program_->Id(), L"TfMain")) {
      PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
    program_->WaitForExit(patience_);
  }
  SetServer(L"REG_SZ", L"127.0.0.1");
}

void ProgramTest::Start() { program_.emplace(QuoteArgument(TheSettings().program), false); }

HWND ProgramTest::StartAndWaitForMainWindow() {
  Start();
  HWND main = nullptr;
  EXPECT_TRUE(
      WaitUntil([&] { return (main = VisibleWindow(program_->Id(), L"TfMain")); }, patience_));
  return main;
}

HWND ProgramTest::WaitForDialog(const wchar_t* className,
                                std::optional<std::chrono::milliseconds> timeout) {
  HWND dialog = nullptr;
  WaitUntil([&] { return (dialog = VisibleWindow(program_->Id(), className)) != nullptr; },
            timeout.value_or(patience_));
  return dialog;
}

void ProgramTest::Press(HWND main) {
  ASSERT_TRUE(BringToFront(main));
  HWND button = nullptr;
  for (HWND child : Children(main)) {
    if (HasClass(child, L"Button")) button = child;
  }
  ASSERT_NE(button, nullptr);
  // The click must land on the button itself, not on a window still being drawn over it.
  const POINT centre = CentreOf(button);
  ASSERT_TRUE(WaitUntil([&] { return WindowFromPoint(centre) == button; }, patience_));
  // Wine takes the window under the pointer from the last move: move first, then click.
  SetCursorPos(centre.x, centre.y);
  Sleep(300);
  Click(centre);
}

void ProgramTest::Answer(HWND dialog, std::initializer_list<std::string_view> keys) {
  ASSERT_TRUE(BringToFront(dialog));
  Type(keys);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, patience_));
}

void ProgramTest::PressIntoARefusedBatch(HWND main) {
  PressAndAnswer(main, "Y");
  HWND failed = WaitForDialog();
  ASSERT_NE(failed, nullptr);
  const auto message = DialogMessage(failed);
  EXPECT_NE(message.find(L"tmp_user_file_data"), std::wstring::npos) << Narrow(message);
  ExpectOneDialog(L"エラー", kBatchFailedPrefix);
  EXPECT_TRUE(program_->Running());
  EXPECT_EQ(ColumnsOf("tmp_user_file_select").size(), 87u);
}

void ProgramTest::PressAndAnswer(HWND main, std::string_view key) {
  Press(main);
  HWND confirm = WaitForDialog();
  ASSERT_NE(confirm, nullptr) << "no confirmation";
  EXPECT_EQ(DialogMessage(confirm), kConfirm);
  Answer(confirm, {key});
}

void ProgramTest::ExpectSuccessAndEnd() {
  ExpectOneDialog(L"情報", kDone);
  EXPECT_EQ(program_->WaitForExit(patience_), 0u);
  ExpectRepaired();
}

void ProgramTest::ExpectOneDialog(const std::wstring& title, const std::wstring& message,
                                  std::optional<std::chrono::milliseconds> timeout) {
  HWND dialog = WaitForDialog(L"TMessageForm", timeout);
  ASSERT_NE(dialog, nullptr) << "no dialog: expected " << Narrow(message);
  EXPECT_EQ(TextW(dialog), title);
  if (message.ends_with(L"：")) {
    EXPECT_EQ(DialogMessage(dialog).rfind(message, 0), 0u) << Narrow(DialogMessage(dialog));
  } else {
    EXPECT_EQ(DialogMessage(dialog), message);
  }
  int open = 0;
  for (HWND window : TopLevelWindows(program_->Id())) {
    if (IsWindowVisible(window) &&
        (HasClass(window, L"TMessageForm") || HasClass(window, L"#32770"))) {
      ++open;
    }
  }
  EXPECT_EQ(open, 1);
  Answer(dialog, {"Enter"});
}

void ProgramTest::RepairThroughTheProgram() {
  HWND main = StartAndWaitForMainWindow();
  ASSERT_NE(main, nullptr);
  PressAndAnswer(main, "Y");
  ExpectSuccessAndEnd();
}

}  // namespace tavora::ui
