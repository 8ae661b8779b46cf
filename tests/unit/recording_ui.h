#pragma once
// A user interface that answers dialogs from a script and writes everything it is asked to do
// into one ordered log.
#include <string>
#include <vector>

#include "core/text.h"
#include "core/user_interface.h"

namespace tavora::testing {

using Log = std::vector<std::string>;

struct World {
  Log log;
  void Add(std::string entry) { log.push_back(std::move(entry)); }
};

class RecordingUi : public UserInterface {
 public:
  explicit RecordingUi(World& w) : world_(w) {}
  std::vector<ModalResult> answers;  // answers of successive dialogs; OK when none is left

  ModalResult ShowMessageDialog(const std::u16string& message, DialogKind kind,
                                DialogButtons buttons, const std::u16string& focusName) override {
    static const char* kKinds[] = {"Warning", "Error", "Information", "Confirmation", "Custom"};
    world_.Add(std::string("dialog ") + kKinds[static_cast<int>(kind)] + " " +
               std::to_string(buttons) + " " + ToUtf8(focusName) + " " + ToUtf8(message));
    if (answers.empty()) return mrOk;
    const auto answer = answers.front();
    answers.erase(answers.begin());
    return answer;
  }
  void SetWaitPointer() override { world_.Add("pointer wait"); }
  void SetDefaultPointer() override { world_.Add("pointer default"); }
  void Terminate() override { world_.Add("terminate"); }
  void CloseMainWindow() override { world_.Add("close main window"); }

 private:
  World& world_;
};

}  // namespace tavora::testing
