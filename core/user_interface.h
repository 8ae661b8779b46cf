#pragma once
// What the procedures ask of the user interface; the main window carries it out, tests fake it.
#include <string>

#include "core/dialog_rules.h"

namespace tavora {

class UserInterface {
 public:
  virtual ~UserInterface() = default;
  virtual ModalResult ShowMessageDialog(const std::u16string& message, DialogKind kind,
                                        DialogButtons buttons, const std::u16string& focusName) = 0;
  virtual void SetWaitPointer() = 0;
  virtual void SetDefaultPointer() = 0;
  // Posts the quit request; returns at once.
  virtual void Terminate() = 0;
  // Closing the main window, which makes the quit request.
  virtual void CloseMainWindow() = 0;
};

}  // namespace tavora
