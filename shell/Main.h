#pragma once
// Unit Main: the main window fMain (class TfMain) with its controls, its components conTavora and
// qry, and its event handlers.
#include <windows.h>

#include "core/user_interface.h"
#include "db/odbc_data_source.h"
#include "shell/win32_handles.h"

namespace tavora {

// Control IDs of the main window's controls.
inline constexpr int kLabel2Id = 1;
inline constexpr int kBtnInstallId = 2;

class TfMain final : public UserInterface {
 public:
  // Creates the window, hidden, with its controls and components.
  explicit TfMain(HINSTANCE instance);
  TfMain(const TfMain&) = delete;
  TfMain& operator=(const TfMain&) = delete;

  HWND Handle() const { return window_.get(); }

  void FormCreate(HWND Sender);
  void btnInstallClick(HWND Sender);

  // Shows the window centred in the primary screen's working area and activates it.
  void ShowCentred();

  ModalResult ShowMessageDialog(const std::u16string& message, DialogKind kind,
                                DialogButtons buttons, const std::u16string& focusName) override;
  void SetWaitPointer() override;
  void SetDefaultPointer() override;
  void Terminate() override;
  void CloseMainWindow() override;

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void Attach(HWND window) { window_.reset(window); }

 private:
  void CreateLabel2(HINSTANCE instance);
  void CreateBtnInstall(HINSTANCE instance);

  // The components live exactly as long as the window: declared first, destroyed last, so that
  // the end of the program closes a connection that is still open.
  OdbcConnection conTavora;
  OdbcQuery qry{conTavora};
  UniqueFont formFont_;
  UniqueFont label2Font_;
  UniqueFont btnInstallFont_;
  UniqueWindow window_;  // after the fonts: the controls go before the fonts they use
  HWND Label2 = nullptr;
  HWND btnInstall = nullptr;
};

}  // namespace tavora
