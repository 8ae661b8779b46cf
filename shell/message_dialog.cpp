#include "shell/message_dialog.h"

#include <windows.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "core/dialog_layout.h"
#include "shell/application.h"
#include "shell/win32_handles.h"

namespace tavora {

namespace {

constexpr wchar_t kMessageFormClass[] = L"TMessageForm";
constexpr DWORD kFormStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPSIBLINGS;
// The dialog frame also keeps the icon out of the title bar.
constexpr DWORD kFormExStyle = WS_EX_DLGMODALFRAME;

HINSTANCE ProgramInstance() { return GetModuleHandleW(nullptr); }

class TMessageForm;

void RegisterMessageFormClass() {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = ObjectWindowProc<TMessageForm>;
  windowClass.hInstance = ProgramInstance();
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kMessageFormClass;
  RegisterWindowClass(windowClass);
}

// The font of the platform's message boxes.
UniqueFont CreateMessageFont() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    ThrowLastError(u"SystemParametersInfoW");
  }
  HFONT font = CreateFontIndirectW(&metrics.lfMessageFont);
  if (font == nullptr) ThrowLastError(u"CreateFontIndirectW");
  return UniqueFont(font);
}

DialogFontUnits MeasureFontUnits(HDC dc) {
  constexpr wchar_t kAlphabet[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SIZE alphabet{};
  GetTextExtentPoint32W(dc, kAlphabet, 52, &alphabet);
  return {(alphabet.cx / 26 + 1) / 2, metrics.tmHeight};
}

SIZE MeasureMessage(HDC dc, const std::u16string& message) {
  RECT bounds{0, 0, MessageWrapWidth(GetSystemMetrics(SM_CXSCREEN)), 0};
  DrawTextW(dc, Wide(message), -1, &bounds,
            DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
  return {bounds.right - bounds.left, bounds.bottom - bounds.top};
}

int WidestCaption(HDC dc, DialogButtons buttons) {
  int widest = 0;
  for (const auto b : ButtonsOf(buttons)) {
    const std::u16string caption(InfoOf(b).caption);
    RECT bounds{};
    DrawTextW(dc, Wide(caption), -1, &bounds, DT_CALCRECT | DT_SINGLELINE);
    widest = std::max(widest, static_cast<int>(bounds.right - bounds.left));
  }
  return widest;
}

HICON StockIcon(DialogIcon icon) {
  switch (icon) {
    case DialogIcon::Warning:
      return LoadIconW(nullptr, IDI_WARNING);
    case DialogIcon::Error:
      return LoadIconW(nullptr, IDI_ERROR);
    case DialogIcon::Information:
      return LoadIconW(nullptr, IDI_INFORMATION);
    case DialogIcon::Question:
      return LoadIconW(nullptr, IDI_QUESTION);
    case DialogIcon::None:
      break;
  }
  return nullptr;
}

std::optional<DialogKey> DialogKeyOf(WPARAM virtualKey) {
  switch (virtualKey) {
    case VK_RETURN:
      return DialogKey::Enter;
    case VK_ESCAPE:
      return DialogKey::Escape;
    case VK_TAB:
      return DialogKey::Tab;
    case VK_LEFT:
      return DialogKey::Left;
    case VK_RIGHT:
      return DialogKey::Right;
    case VK_UP:
      return DialogKey::Up;
    case VK_DOWN:
      return DialogKey::Down;
    default:
      return std::nullopt;
  }
}

bool IsKeyDown(int virtualKey) { return (GetKeyState(virtualKey) & 0x8000) != 0; }

KeyModifiers CurrentModifiers() {
  return {IsKeyDown(VK_SHIFT), IsKeyDown(VK_CONTROL), IsKeyDown(VK_MENU)};
}

// Disables the program's other visible top-level windows while a modal dialog is open.
class DisabledWindows {
 public:
  explicit DisabledWindows(HWND dialog) {
    std::vector<HWND> all;
    EnumThreadWindows(GetCurrentThreadId(), CollectWindow, reinterpret_cast<LPARAM>(&all));
    for (HWND window : all) {
      if (window != dialog && IsWindowVisible(window) && IsWindowEnabled(window)) {
        disabled_.push_back(window);
        EnableWindow(window, FALSE);
      }
    }
  }
  ~DisabledWindows() {
    for (HWND window : disabled_) {
      if (IsWindow(window)) EnableWindow(window, TRUE);
    }
  }
  DisabledWindows(const DisabledWindows&) = delete;
  DisabledWindows& operator=(const DisabledWindows&) = delete;

 private:
  static BOOL CALLBACK CollectWindow(HWND window, LPARAM list) noexcept {
    try {
      reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
      return TRUE;
    } catch (...) {
      return FALSE;
    }
  }

  std::vector<HWND> disabled_;
};

class TMessageForm {
 public:
  TMessageForm(const std::u16string& message, DialogKind kind, DialogButtons buttons,
               DialogButton focused);
  TMessageForm(const TMessageForm&) = delete;
  TMessageForm& operator=(const TMessageForm&) = delete;

  ModalResult ShowModal();

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void Attach(HWND window) { window_.reset(window); }

 private:
  void CreateFormWindow(const std::u16string& title, const DialogLayout& layout);
  void CreateIcon(HICON icon, const PixelRect& bounds);
  void CreateMessageText(const std::u16string& message, const PixelRect& bounds);
  void CreateButtons(const std::vector<PixelRect>& bounds);
  HWND CreateChild(const wchar_t* className, const wchar_t* text, DWORD style,
                   const PixelRect& bounds, int id);

  void RunModalLoop();
  bool HandleDialogKey(const MSG& message);
  void CarryOut(DialogKeyAction action);
  void Press(DialogButton button);
  void MoveFocusTo(DialogButton button);
  void ShowEmphasisOn(DialogButton focused);
  void HandleCommand(int id, int code);
  bool BelongsToForm(HWND window) const;
  HWND ButtonWindow(DialogButton button) const;

  DialogButtons buttons_;
  DialogButton focused_;
  ModalResult modalResult_ = mrNone;
  UniqueFont font_;
  UniqueWindow window_;  // after the font: the controls go before the font they use
};

TMessageForm::TMessageForm(const std::u16string& message, DialogKind kind, DialogButtons buttons,
                           DialogButton focused)
    : buttons_(buttons), focused_(focused), font_(CreateMessageFont()) {
  const HICON icon = StockIcon(IconOf(kind));
  DialogContent content;
  DialogFontUnits units;
  {
    const ScreenDC dc;
    const SelectedFont selected(dc.Get(), font_.get());
    units = MeasureFontUnits(dc.Get());
    const SIZE text = MeasureMessage(dc.Get(), message);
    content = {text.cx, text.cy, icon != nullptr, static_cast<int>(ButtonsOf(buttons).size()),
               WidestCaption(dc.Get(), buttons)};
  }
  const DialogLayout layout = LayOutDialog(content, units);
  CreateFormWindow(DialogTitle(kind, TheProgramTitle()), layout);
  if (icon != nullptr) CreateIcon(icon, layout.icon);
  CreateMessageText(message, layout.text);
  CreateButtons(layout.buttons);
  // Access keys are underlined from the start, not only once Alt has been pressed.
  SendMessageW(window_.get(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEACCEL), 0);
}

void TMessageForm::CreateFormWindow(const std::u16string& title, const DialogLayout& layout) {
  RegisterMessageFormClass();
  RECT frame{0, 0, layout.clientWidth, layout.clientHeight};
  AdjustWindowRectEx(&frame, kFormStyle, FALSE, kFormExStyle);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const int left = CentredOffset(GetSystemMetrics(SM_CXSCREEN), width);
  const int top = CentredOffset(GetSystemMetrics(SM_CYSCREEN), height);
  // WM_NCCREATE hands the window to this object, which owns it from then on.
  CheckedWindow(CreateWindowExW(kFormExStyle, kMessageFormClass, Wide(title), kFormStyle, left, top,
                                width, height, DialogOwner(), nullptr, ProgramInstance(), this),
                u"CreateWindowExW TMessageForm");
}

HWND TMessageForm::CreateChild(const wchar_t* className, const wchar_t* text, DWORD style,
                               const PixelRect& bounds, int id) {
  HWND child =
      CheckedWindow(CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, bounds.left,
                                    bounds.top, bounds.width, bounds.height, window_.get(),
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                    ProgramInstance(), nullptr),
                    u"CreateWindowExW");
  SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  return child;
}

void TMessageForm::CreateIcon(HICON icon, const PixelRect& bounds) {
  HWND image = CreateChild(L"STATIC", nullptr, SS_ICON, bounds, kDialogIconId);
  SendMessageW(image, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
}

void TMessageForm::CreateMessageText(const std::u16string& message, const PixelRect& bounds) {
  // SS_LEFT wraps words and expands tabs as the measurement did.
  CreateChild(L"STATIC", Wide(message), SS_LEFT | SS_NOPREFIX, bounds, kDialogMessageId);
}

void TMessageForm::CreateButtons(const std::vector<PixelRect>& bounds) {
  const auto order = ButtonsOf(buttons_);
  for (std::size_t i = 0; i < order.size(); ++i) {
    const std::u16string caption(InfoOf(order[i]).caption);
    const DWORD kind = order[i] == focused_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    CreateChild(L"BUTTON", Wide(caption), WS_TABSTOP | BS_NOTIFY | kind, bounds[i],
                ControlIdOf(order[i]));
  }
}

ModalResult TMessageForm::ShowModal() {
  HWND window = window_.get();
  // Activation goes back to the window that was active before, or, when another program was in
  // front, to the owner: the main window, which the user returns to.
  HWND previous = GetActiveWindow();
  if (previous == nullptr || previous == window) previous = GetWindow(window, GW_OWNER);
  const ModalPointer arrow;
  {
    const DisabledWindows others(window);
    ShowWindow(window, SW_SHOWNORMAL);
    SetForegroundWindow(window);
    RunModalLoop();
  }
  // The others are enabled again before the dialog goes, so activation returns to them.
  if (previous != nullptr && IsWindow(previous) && IsWindowVisible(previous)) {
    SetActiveWindow(previous);
  }
  ShowWindow(window, SW_HIDE);
  return modalResult_;
}

void TMessageForm::RunModalLoop() {
  MSG message;
  while (modalResult_ == mrNone) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got <= 0) {
      // A quit request ends the dialog as if its frame were closed; the loop outside still
      // needs to see it.
      if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));
      modalResult_ = mrCancel;
      return;
    }
    if (HandleDialogKey(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

bool TMessageForm::HandleDialogKey(const MSG& message) {
  if (!BelongsToForm(message.hwnd)) return false;
  switch (message.message) {
    case WM_KEYDOWN: {
      const auto key = DialogKeyOf(message.wParam);
      if (!key) return false;
      CarryOut(ActionForKey(buttons_, focused_, *key, CurrentModifiers()));
      return true;
    }
    case WM_CHAR:
    case WM_SYSCHAR: {
      const auto button = AccessKeyButton(buttons_, static_cast<char16_t>(message.wParam));
      if (!button) return false;
      Press(*button);
      return true;
    }
    default:
      return false;
  }
}

void TMessageForm::CarryOut(DialogKeyAction action) {
  switch (action.kind) {
    case DialogKeyAction::Kind::Press:
      Press(action.button);
      break;
    case DialogKeyAction::Kind::Focus:
      MoveFocusTo(action.button);
      break;
    case DialogKeyAction::Kind::None:
      break;
  }
}

void TMessageForm::Press(DialogButton button) { modalResult_ = InfoOf(button).result; }

void TMessageForm::MoveFocusTo(DialogButton button) {
  focused_ = button;
  ShowEmphasisOn(button);
  SetFocus(ButtonWindow(button));
}

void TMessageForm::ShowEmphasisOn(DialogButton focused) {
  for (const auto b : ButtonsOf(buttons_)) {
    const WPARAM style = b == focused ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    SendMessageW(ButtonWindow(b), BM_SETSTYLE, style, TRUE);
  }
}

void TMessageForm::HandleCommand(int id, int code) {
  const auto button = ButtonOfControlId(id);
  if (!button || !Has(buttons_, *button)) return;
  if (code == BN_CLICKED) {
    Press(*button);
  } else if (code == BN_SETFOCUS) {
    focused_ = *button;
    ShowEmphasisOn(*button);
  }
}

bool TMessageForm::BelongsToForm(HWND window) const {
  return window == window_.get() || IsChild(window_.get(), window);
}

HWND TMessageForm::ButtonWindow(DialogButton button) const {
  return GetDlgItem(window_.get(), ControlIdOf(button));
}

LRESULT TMessageForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND window = window_.get();
  switch (message) {
    case WM_ACTIVATE:
      // Coming back to the dialog puts the focus back on its button, not on the frame.
      if (LOWORD(wParam) != WA_INACTIVE) SetFocus(ButtonWindow(focused_));
      return 0;
    case WM_COMMAND:
      HandleCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_CLOSE:
      modalResult_ = mrCancel;
      return 0;
    case WM_CTLCOLORSTATIC:
      // The static fills its background once; lines drawn transparently then keep the parts
      // of glyphs, such as "_", that reach below their line.
      SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_.get());
    case WM_NCDESTROY:
      window_.release();  // gone already; nothing left to destroy
      break;
    case WM_SETCURSOR:
      if (ShowAppPointer()) return TRUE;
      break;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

ModalResult ShowMessageDialog(const std::u16string& message, DialogKind kind, DialogButtons buttons,
                              const std::u16string& focusName) {
  MessageBeep(MB_OK);
  TMessageForm form(message, kind, buttons, InitialFocus(buttons, focusName));
  return form.ShowModal();
}

}  // namespace tavora
