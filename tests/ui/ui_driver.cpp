#include "tests/ui/ui_driver.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>

#include "tests/ui/ui_probe.h"

namespace tavora::ui {

namespace {

[[noreturn]] void Fail(const std::string& what) {
  throw std::runtime_error(what + " failed, error " + std::to_string(GetLastError()));
}

std::wstring DirectoryOfThisProgram() {
  std::wstring path(MAX_PATH, L'\0');
  const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  path.resize(length);
  return path.substr(0, path.find_last_of(L"\\/") + 1);
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM list) noexcept {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

struct HookRemover {
  void operator()(HHOOK hook) const noexcept { UnhookWindowsHookEx(hook); }
};
using UniqueHook = std::unique_ptr<std::remove_pointer_t<HHOOK>, HookRemover>;

struct ViewUnmapper {
  void operator()(void* view) const noexcept { UnmapViewOfFile(view); }
};
using UniqueView = std::unique_ptr<void, ViewUnmapper>;

struct GdiDeleter {
  void operator()(HGDIOBJ object) const noexcept { DeleteObject(object); }
};
struct DcDeleter {
  void operator()(HDC dc) const noexcept { DeleteDC(dc); }
};

class ScreenDc {
 public:
  ScreenDc() : dc_(GetDC(nullptr)) {
    if (dc_ == nullptr) Fail("GetDC");
  }
  ~ScreenDc() { ReleaseDC(nullptr, dc_); }
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;
  HDC Get() const { return dc_; }

 private:
  HDC dc_;
};

struct KeyStroke {
  WORD key = 0;
  std::vector<WORD> modifiers;
};

KeyStroke ParseKey(std::string_view text) {
  static constexpr std::pair<std::string_view, WORD> kModifiers[] = {
      {"Ctrl+", VK_CONTROL}, {"Alt+", VK_MENU}, {"Shift+", VK_SHIFT}};
  static constexpr std::pair<std::string_view, WORD> kKeys[] = {{"Enter", VK_RETURN},
                                                                {"Esc", VK_ESCAPE},
                                                                {"Space", VK_SPACE},
                                                                {"Tab", VK_TAB},
                                                                {"F4", VK_F4}};
  const std::string whole(text);
  KeyStroke stroke;
  for (bool more = true; more;) {
    more = false;
    for (const auto& [prefix, modifier] : kModifiers) {
      if (text.starts_with(prefix)) {
        stroke.modifiers.push_back(modifier);
        text.remove_prefix(prefix.size());
        more = true;
      }
    }
  }
  for (const auto& [name, key] : kKeys) {
    if (text == name) stroke.key = key;
  }
  if (text.size() == 1 && std::isalpha(static_cast<unsigned char>(text[0]))) {
    // Virtual keys are the upper-case letters; Shift makes the letter typed upper-case.
    if (std::isupper(static_cast<unsigned char>(text[0]))) stroke.modifiers.push_back(VK_SHIFT);
    stroke.key = static_cast<WORD>(std::toupper(static_cast<unsigned char>(text[0])));
  }
  if (stroke.key == 0) throw std::invalid_argument("unknown key " + whole);
  return stroke;
}

INPUT KeyInput(WORD key, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}

}  // namespace

Settings& TheSettings() {
  static Settings settings;
  return settings;
}

std::wstring Widen(std::string_view text) {
  const int length =
      MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

std::wstring WindowsPath(std::string_view path) {
  std::wstring wide = Widen(path);
  if (!wide.empty() && wide.front() == L'/') {
    std::replace(wide.begin(), wide.end(), L'/', L'\\');
    wide.insert(0, L"Z:");
  }
  return wide;
}

std::wstring QuoteArgument(std::wstring_view argument) {
  std::wstring quoted = L"\"";
  std::size_t backslashes = 0;
  for (const wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    // Backslashes count only in front of a quote, where each one is doubled.
    quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(2 * backslashes, L'\\');
  quoted += L'"';
  return quoted;
}

std::string Narrow(std::wstring_view text) {
  const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), narrow.data(), length,
                      nullptr, nullptr);
  return narrow;
}

Process::Process(const std::wstring& commandLine, bool captureOutput) {
  ParkPointer();
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  std::wstring desktop = TheSettings().desktop;
  if (!desktop.empty()) startup.lpDesktop = desktop.data();
  UniqueHandle outputWrite;
  if (captureOutput) {
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    HANDLE read = nullptr;
    HANDLE write = nullptr;
    if (!CreatePipe(&read, &write, &inheritable, 0)) Fail("CreatePipe");
    output_.reset(read);
    outputWrite.reset(write);
    SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    startup.dwFlags |= STARTF_USESTDHANDLES;
    startup.hStdOutput = write;
    startup.hStdError = write;
  }
  PROCESS_INFORMATION info{};
  const auto start = [&] {
    std::wstring mutableLine = commandLine;
    return CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr,
                          captureOutput ? TRUE : FALSE, 0, nullptr, nullptr, &startup, &info);
  };
  // Now and then (about once in a thousand starts) Wine fails to make the process at all, with
  // ERROR_INTERNAL_ERROR, before any of the program has run; so one more attempt hides nothing.
  BOOL started = start();
  if (!started && GetLastError() == ERROR_INTERNAL_ERROR) {
    std::this_thread::sleep_for(500ms);
    started = start();
  }
  if (!started) Fail("CreateProcessW " + Narrow(commandLine));
  process_.reset(info.hProcess);
  const UniqueHandle thread(info.hThread);
  id_ = info.dwProcessId;
}

Process::~Process() {
  if (process_ && Running()) {
    TerminateProcess(process_.get(), 255);
    WaitForSingleObject(process_.get(), 5000);
  }
}

bool Process::Running() const { return WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }

std::optional<DWORD> Process::WaitForExit(std::chrono::milliseconds timeout) {
  if (WaitForSingleObject(process_.get(), static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) {
    return std::nullopt;
  }
  DWORD code = 0;
  if (!GetExitCodeProcess(process_.get(), &code)) Fail("GetExitCodeProcess");
  return code;
}

std::string Process::Output() {
  std::string text;
  if (!output_) return text;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(output_.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) {
    text.append(buffer, read);
  }
  return text;
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(50ms);
  }
  return true;
}

std::vector<HWND> TopLevelWindows(DWORD processId) {
  std::vector<HWND> all;
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&all));
  std::erase_if(all, [processId](HWND window) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    return owner != processId;
  });
  return all;
}

HWND VisibleWindow(DWORD processId, std::wstring_view className) {
  for (HWND window : TopLevelWindows(processId)) {
    if (IsWindowVisible(window) && HasClass(window, className)) return window;
  }
  return nullptr;
}

std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    children.push_back(child);
  }
  return children;
}

std::wstring ClassName(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return name;
}

std::string Text(HWND window) {
  // WM_GETTEXT reaches into the other process; GetWindowTextW would not ask its controls.
  const auto length = static_cast<std::size_t>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0));
  std::wstring text(length + 1, L'\0');
  const auto copied = static_cast<std::size_t>(
      SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
  text.resize(std::min(copied, length));
  return Narrow(text);
}

bool HasClass(HWND window, std::wstring_view className) {
  const std::wstring name = ClassName(window);
  return CompareStringOrdinal(name.data(), static_cast<int>(name.size()), className.data(),
                              static_cast<int>(className.size()), TRUE) == CSTR_EQUAL;
}

DWORD Style(HWND window) { return static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)); }
DWORD ExStyle(HWND window) { return static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)); }

RECT ClientRect(HWND window) {
  RECT rect{};
  GetClientRect(window, &rect);
  return rect;
}

RECT BoundsInParent(HWND child) {
  RECT rect{};
  GetWindowRect(child, &rect);
  MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

namespace {

GUITHREADINFO GuiThreadInfoOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return {};
  return info;
}

}  // namespace

HWND FocusOf(HWND window) { return GuiThreadInfoOf(window).hwndFocus; }

HWND ActiveWindowOf(HWND window) { return GuiThreadInfoOf(window).hwndActive; }

namespace {

// Asks ui_probe.dll, hooked into the window's thread, what only that thread can see.
ProbeReply Probe(HWND window) {
  static const HMODULE probe = LoadLibraryW((DirectoryOfThisProgram() + L"ui_probe.dll").c_str());
  if (probe == nullptr) Fail("LoadLibraryW ui_probe.dll");
  const auto hook =
      reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(probe, kProbeHookName)));
  if (hook == nullptr) Fail("GetProcAddress ProbeRequestHook");

  wchar_t mappingName[64];
  wchar_t doneName[64];
  ProbeReplyNames(GetCurrentProcessId(), mappingName, doneName);
  const UniqueHandle mapping(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                                sizeof(ProbeReply), mappingName));
  const UniqueHandle done(CreateEventW(nullptr, FALSE, FALSE, doneName));
  if (!mapping || !done) Fail("CreateFileMappingW/CreateEventW");
  const UniqueHook installed(
      SetWindowsHookExW(WH_GETMESSAGE, hook, probe, GetWindowThreadProcessId(window, nullptr)));
  if (!installed) Fail("SetWindowsHookExW");
  if (!PostMessageW(window, RegisterWindowMessageW(kProbeRequestMessage),
                    reinterpret_cast<WPARAM>(window), GetCurrentProcessId())) {
    Fail("PostMessageW probe request");
  }
  if (WaitForSingleObject(done.get(), 10000) != WAIT_OBJECT_0) Fail("waiting for the probe");
  const UniqueView view(MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, sizeof(ProbeReply)));
  if (!view) Fail("MapViewOfFile");
  return *static_cast<const ProbeReply*>(view.get());
}

}  // namespace

std::optional<LOGFONTW> FontOf(HWND control) {
  const ProbeReply reply = Probe(control);
  if (!reply.hasFont) return std::nullopt;
  return reply.font;
}

Pointer PointerOf(HWND window) { return Probe(window).pointer; }

bool BringToFront(HWND window) {
  return WaitUntil(
      [window] {
        if (GetForegroundWindow() == window) return true;
        SetForegroundWindow(window);
        return false;
      },
      10s);
}

void Type(std::initializer_list<std::string_view> keys) {
  Type(std::vector<std::string_view>(keys));
}

void Type(const std::vector<std::string_view>& keys) {
  for (const auto text : keys) {
    const KeyStroke stroke = ParseKey(text);
    std::vector<INPUT> inputs;
    for (const WORD modifier : stroke.modifiers) inputs.push_back(KeyInput(modifier, false));
    inputs.push_back(KeyInput(stroke.key, false));
    inputs.push_back(KeyInput(stroke.key, true));
    for (auto m = stroke.modifiers.rbegin(); m != stroke.modifiers.rend(); ++m) {
      inputs.push_back(KeyInput(*m, true));
    }
    const auto count = static_cast<UINT>(inputs.size());
    if (SendInput(count, inputs.data(), sizeof(INPUT)) != count) Fail("SendInput");
  }
}

void ParkPointer() { SetCursorPos(0, 0); }

void Click(POINT screenPoint) {
  // Moving and clicking in one call, so that no other input comes between them.
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  INPUT inputs[3]{};
  for (INPUT& input : inputs) input.type = INPUT_MOUSE;
  inputs[0].mi.dx = MulDiv(screenPoint.x, 65535, width - 1);
  inputs[0].mi.dy = MulDiv(screenPoint.y, 65535, height - 1);
  inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  if (SendInput(3, inputs, sizeof(INPUT)) != 3) Fail("SendInput");
}

POINT CentreOf(HWND window) {
  RECT bounds{};
  GetWindowRect(window, &bounds);
  return {(bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2};
}

COLORREF ScreenPixel(POINT point) {
  const ScreenDc screen;
  return GetPixel(screen.Get(), point.x, point.y);
}

void SaveScreenshot(HWND window, std::wstring_view name) {
  BringToFront(window);
  // The window paints itself when its thread is idle, and Wine hands the drawing to the X server
  // a moment later; this is a picture, not a check, so a short pause is enough.
  std::this_thread::sleep_for(500ms);

  RECT bounds{};
  GetWindowRect(window, &bounds);
  const int width = Width(bounds);
  const int height = Height(bounds);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // bottom-up, as BMP files store rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  const ScreenDc screen;
  void* bits = nullptr;
  const std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiDeleter> bitmap(
      CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  const std::unique_ptr<std::remove_pointer_t<HDC>, DcDeleter> memory(
      CreateCompatibleDC(screen.Get()));
  if (!bitmap || !memory) Fail("CreateDIBSection");
  const HGDIOBJ previous = SelectObject(memory.get(), bitmap.get());
  BitBlt(memory.get(), 0, 0, width, height, screen.Get(), bounds.left, bounds.top, SRCCOPY);
  SelectObject(memory.get(), previous);
  GdiFlush();

  const auto stride = static_cast<std::uint32_t>((width * 3 + 3) & ~3);
  const std::uint32_t imageSize = stride * static_cast<std::uint32_t>(height);
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof info.bmiHeader;
  file.bfSize = file.bfOffBits + imageSize;
  info.bmiHeader.biSizeImage = imageSize;

  CreateDirectoryW(TheSettings().screenshots.c_str(), nullptr);
  const std::wstring path = TheSettings().screenshots + L"\\" + std::wstring(name) + L".bmp";
  std::ofstream out(std::filesystem::path(path), std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
  out.write(static_cast<const char*>(bits), imageSize);
  if (!out) throw std::runtime_error("writing " + Narrow(path) + " failed");
}

}  // namespace tavora::ui
