// probe.exe: reads and pokes the windows of the other programs on the same
// desktop (under Wine: in the same prefix) for the end-to-end tests, and prints
// what it finds as key=value text that bash can grep.
//
// Output: single-object commands print one key=value per line, the value
// escaped (\r \n \t \\ \xHH); list commands print one record per line, a
// leading word then space-separated key=value pairs whose text values are in
// double quotes. Exit 0 on success, 1 when the thing asked about is not there
// (or a wait timed out), 2 on bad usage.

#include <windows.h>
// commctrl.h needs windows.h first.
#include <commctrl.h>

#include <cstdlib>
#include <cwchar>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "probe_protocol.h"
#include "probe_text.h"

namespace {

using probe::escaped;
using probe::hwndText;
using probe::quoted;

constexpr int kFound = 0;
constexpr int kMissing = 1;
constexpr int kUsage = 2;
constexpr UINT kSendTimeoutMs = 2000;
constexpr DWORD kPollMs = 100;

void write(HANDLE out, const std::string& text) {
  DWORD written = 0;
  WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}
void print(const std::string& text) { write(GetStdHandle(STD_OUTPUT_HANDLE), text); }
void complain(const std::string& text) { write(GetStdHandle(STD_ERROR_HANDLE), "probe: " + text + "\n"); }

// A set of facts about one window, printed either one per line or as one record.
class Facts {
 public:
  void add(const char* key, const std::string& value) { items_.push_back({key, value, false}); }
  void add(const char* key, long long value) { add(key, std::to_string(value)); }
  void text(const char* key, const std::wstring& value) { items_.push_back({key, escaped(value), true}); }
  void printLines() const {
    std::string out;
    for (const Item& i : items_) out += i.key + "=" + i.value + "\n";
    print(out);
  }
  void printRecord(const char* word) const {
    std::string out = word;
    for (const Item& i : items_) out += " " + i.key + "=" + (i.isText ? "\"" + i.value + "\"" : i.value);
    print(out + "\n");
  }

 private:
  struct Item {
    std::string key;
    std::string value;
    bool isText;
  };
  std::vector<Item> items_;
};

std::wstring classOf(HWND hwnd) {
  wchar_t name[256] = {};
  const int n = GetClassNameW(hwnd, name, 256);
  return std::wstring(name, static_cast<size_t>(n > 0 ? n : 0));
}

// The title as the window manager keeps it: never waits for a busy program.
std::wstring titleOf(HWND hwnd) {
  const int length = GetWindowTextLengthW(hwnd);
  std::wstring title(static_cast<size_t>(length) + 1, L'\0');
  const int n = GetWindowTextW(hwnd, title.data(), length + 1);
  title.resize(static_cast<size_t>(n > 0 ? n : 0));
  return title;
}

// The text as the control itself reports it (a field's contents, a button's
// caption); GetWindowText cannot ask a control of another process.
std::wstring textOf(HWND hwnd) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &length))
    return titleOf(hwnd);
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(hwnd, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                      kSendTimeoutMs, &copied);
  text.resize(std::wcslen(text.c_str()));
  return text;
}

LRESULT sendWithTimeout(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(hwnd, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result);
  return static_cast<LRESULT>(result);
}

std::vector<HWND> topLevelWindows() {
  std::vector<HWND> found;
  EnumWindows(
      [](HWND hwnd, LPARAM list) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

// Every descendant, parents before their children.
std::vector<HWND> descendants(HWND top) {
  std::vector<HWND> found;
  EnumChildWindows(
      top,
      [](HWND hwnd, LPARAM list) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

// A top-level window with exactly this title (and class, when given); a
// visible one wins over a hidden one.
HWND findTop(const std::wstring& title, const wchar_t* className = nullptr) {
  HWND hidden = nullptr;
  for (HWND hwnd : topLevelWindows()) {
    if (titleOf(hwnd) != title) continue;
    if (className && classOf(hwnd) != className) continue;
    if (IsWindowVisible(hwnd)) return hwnd;
    if (!hidden) hidden = hwnd;
  }
  return hidden;
}

std::vector<HWND> topLevelsOfClass(const wchar_t* className) {
  std::vector<HWND> found;
  for (HWND hwnd : topLevelWindows())
    if (classOf(hwnd) == className) found.push_back(hwnd);
  return found;
}

HWND focusOfThread(DWORD threadId) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return GetGUIThreadInfo(threadId, &info) ? info.hwndFocus : nullptr;
}

HWND activeOfThread(DWORD threadId) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return GetGUIThreadInfo(threadId, &info) ? info.hwndActive : nullptr;
}

const char* buttonType(LONG style) {
  switch (style & BS_TYPEMASK) {
    case BS_PUSHBUTTON:
      return "pushbutton";
    case BS_DEFPUSHBUTTON:
      return "defpushbutton";
    case BS_CHECKBOX:
      return "checkbox";
    case BS_AUTOCHECKBOX:
      return "autocheckbox";
    case BS_RADIOBUTTON:
      return "radiobutton";
    case BS_3STATE:
      return "3state";
    case BS_AUTO3STATE:
      return "auto3state";
    case BS_GROUPBOX:
      return "groupbox";
    case BS_USERBUTTON:
      return "userbutton";
    case BS_AUTORADIOBUTTON:
      return "autoradiobutton";
    case BS_OWNERDRAW:
      return "ownerdraw";
    default:
      return "other";
  }
}

bool isCheckable(LONG style) {
  switch (style & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_RADIOBUTTON:
    case BS_3STATE:
    case BS_AUTO3STATE:
    case BS_AUTORADIOBUTTON:
      return true;
    default:
      return false;
  }
}

void addRect(Facts& facts, const RECT& r, const char* prefix = "") {
  const std::string p = prefix;
  facts.add((p + "x").c_str(), r.left);
  facts.add((p + "y").c_str(), r.top);
  facts.add((p + "w").c_str(), r.right - r.left);
  facts.add((p + "h").c_str(), r.bottom - r.top);
}

Facts windowFacts(HWND hwnd) {
  Facts facts;
  DWORD pid = 0;
  const DWORD tid = GetWindowThreadProcessId(hwnd, &pid);
  const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
  const LONG exStyle = GetWindowLongW(hwnd, GWL_EXSTYLE);
  facts.add("hwnd", hwndText(hwnd));
  facts.add("pid", pid);
  facts.add("tid", tid);
  facts.text("class", classOf(hwnd));
  facts.text("title", titleOf(hwnd));
  facts.add("visible", IsWindowVisible(hwnd) ? 1 : 0);
  facts.add("iconic", IsIconic(hwnd) ? 1 : 0);
  facts.add("zoomed", IsZoomed(hwnd) ? 1 : 0);
  facts.add("enabled", IsWindowEnabled(hwnd) ? 1 : 0);
  facts.add("foreground", GetForegroundWindow() == hwnd ? 1 : 0);
  facts.add("active", activeOfThread(tid) == hwnd ? 1 : 0);
  RECT window{};
  GetWindowRect(hwnd, &window);
  addRect(facts, window);
  RECT client{};
  GetClientRect(hwnd, &client);
  POINT origin{0, 0};
  ClientToScreen(hwnd, &origin);
  facts.add("client_x", origin.x);
  facts.add("client_y", origin.y);
  facts.add("client_w", client.right);
  facts.add("client_h", client.bottom);
  facts.add("caption", (style & WS_CAPTION) == WS_CAPTION ? 1 : 0);
  facts.add("sysmenu", (style & WS_SYSMENU) ? 1 : 0);
  facts.add("minimize_box", (style & WS_MINIMIZEBOX) ? 1 : 0);
  facts.add("maximize_box", (style & WS_MAXIMIZEBOX) ? 1 : 0);
  facts.add("sizable", (style & WS_THICKFRAME) ? 1 : 0);
  facts.add("popup", (style & WS_POPUP) ? 1 : 0);
  facts.add("topmost", (exStyle & WS_EX_TOPMOST) ? 1 : 0);
  facts.add("toolwindow", (exStyle & WS_EX_TOOLWINDOW) ? 1 : 0);
  facts.add("appwindow", (exStyle & WS_EX_APPWINDOW) ? 1 : 0);
  facts.add("rtl", (exStyle & WS_EX_LAYOUTRTL) ? 1 : 0);
  facts.add("owner", hwndText(GetWindow(hwnd, GW_OWNER)));
  facts.add("style", probe::hex(static_cast<DWORD>(style)));
  facts.add("exstyle", probe::hex(static_cast<DWORD>(exStyle)));
  return facts;
}

Facts controlFacts(HWND top, HWND control, HWND focus) {
  Facts facts;
  const LONG style = GetWindowLongW(control, GWL_STYLE);
  const std::wstring className = classOf(control);
  facts.add("hwnd", hwndText(control));
  facts.add("parent", hwndText(GetParent(control)));
  facts.add("id", static_cast<long long>(GetWindowLongPtrW(control, GWLP_ID)));
  facts.text("class", className);
  facts.text("text", textOf(control));
  facts.add("visible", IsWindowVisible(control) ? 1 : 0);
  facts.add("shown", (style & WS_VISIBLE) ? 1 : 0);
  facts.add("enabled", IsWindowEnabled(control) ? 1 : 0);
  facts.add("focus", control == focus ? 1 : 0);
  RECT r{};
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, top, reinterpret_cast<POINT*>(&r), 2);  // into the top's client
  addRect(facts, r);
  if (_wcsicmp(className.c_str(), L"Button") == 0) {
    facts.add("type", buttonType(style));
    if (isCheckable(style)) facts.add("checked", static_cast<long long>(sendWithTimeout(control, BM_GETCHECK, 0, 0)));
  } else if (_wcsicmp(className.c_str(), L"Edit") == 0) {
    facts.add("type", "edit");
    facts.add("readonly", (style & ES_READONLY) ? 1 : 0);
    facts.add("multiline", (style & ES_MULTILINE) ? 1 : 0);
  }
  facts.add("tabstop", (style & WS_TABSTOP) ? 1 : 0);
  facts.add("group", (style & WS_GROUP) ? 1 : 0);
  facts.add("style", probe::hex(static_cast<DWORD>(style)));
  facts.add("exstyle", probe::hex(static_cast<DWORD>(GetWindowLongW(control, GWL_EXSTYLE))));
  return facts;
}

// A control by its exact text, or "id:N", or "class:Name" / "class:Name:K"
// (the K-th of that class, from 1, in creation order).
HWND findControl(HWND top, const std::wstring& selector) {
  const std::vector<HWND> all = descendants(top);
  if (selector.rfind(L"id:", 0) == 0) {
    const long long id = std::wcstoll(selector.c_str() + 3, nullptr, 10);
    for (HWND c : all)
      if (static_cast<long long>(GetWindowLongPtrW(c, GWLP_ID)) == id) return c;
    return nullptr;
  }
  if (selector.rfind(L"class:", 0) == 0) {
    std::wstring name = selector.substr(6);
    int wanted = 1;
    const size_t colon = name.find(L':');
    if (colon != std::wstring::npos) {
      wanted = std::wcstol(name.c_str() + colon + 1, nullptr, 10);
      name.resize(colon);
    }
    for (HWND c : all)
      if (_wcsicmp(classOf(c).c_str(), name.c_str()) == 0 && --wanted == 0) return c;
    return nullptr;
  }
  for (HWND c : all)
    if (textOf(c) == selector) return c;
  return nullptr;
}

// Asks probe_hook.dll, hooked into the thread that owns `target`, a question
// about `target` that only its own process can answer.
bool askInside(HWND target, const wchar_t* request, std::string& reply) {
  const std::wstring suffix = std::to_wstring(GetCurrentProcessId());
  HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(probe::Exchange),
                                      (probe::kMappingPrefix + suffix).c_str());
  HANDLE done = CreateEventW(nullptr, TRUE, FALSE, (probe::kEventPrefix + suffix).c_str());
  if (!mapping || !done) {
    complain("cannot create the exchange with the hook");
    return false;
  }
  auto* exchange =
      static_cast<probe::Exchange*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(probe::Exchange)));
  lstrcpynW(exchange->request, request, static_cast<int>(std::size(exchange->request)));
  exchange->reply[0] = L'\0';

  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring dllPath = path;
  dllPath.resize(dllPath.find_last_of(L"\\/") + 1);
  dllPath += L"probe_hook.dll";
  HMODULE dll = LoadLibraryW(dllPath.c_str());
  FARPROC proc = dll ? GetProcAddress(dll, probe::kHookExport) : nullptr;
  bool answered = false;
  if (!proc) {
    complain("cannot load " + probe::utf8(dllPath));
  } else {
    const DWORD thread = GetWindowThreadProcessId(target, nullptr);
    // Through void(*)(): the one function pointer type every compiler lets us
    // convert to another without a warning.
    const auto hookProc = reinterpret_cast<HOOKPROC>(reinterpret_cast<void (*)()>(proc));
    HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, hookProc, dll, thread);
    if (!hook) {
      complain("cannot hook the window's thread");
    } else {
      PostMessageW(target, RegisterWindowMessageW(probe::kQueryMessage), GetCurrentProcessId(), 0);
      answered = WaitForSingleObject(done, 5000) == WAIT_OBJECT_0;
      UnhookWindowsHookEx(hook);
      if (answered)
        reply = probe::utf8(exchange->reply);
      else
        complain("the window's thread did not answer");
    }
  }
  if (dll) FreeLibrary(dll);
  UnmapViewOfFile(exchange);
  CloseHandle(done);
  CloseHandle(mapping);
  return answered;
}

double secondsArg(int argc, wchar_t** argv, int index, double fallback) {
  return argc > index ? std::wcstod(argv[index], nullptr) : fallback;
}

// Polls `found` until it is true or `seconds` pass; checks at least once.
template <typename Check>
bool waitFor(double seconds, Check found) {
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000.0);
  for (;;) {
    if (found()) return true;
    if (GetTickCount64() >= deadline) return false;
    Sleep(kPollMs);
  }
}

int missing(const std::string& what) {
  complain(what);
  return kMissing;
}

std::string name(const wchar_t* text) { return "\"" + probe::utf8(text) + "\""; }

// --- Commands ----------------------------------------------------------------

int cmdWindows(bool onlyVisible) {
  for (HWND hwnd : topLevelWindows())
    if (!onlyVisible || IsWindowVisible(hwnd)) windowFacts(hwnd).printRecord("window");
  return kFound;
}

int cmdWindow(const wchar_t* title) {
  HWND hwnd = findTop(title);
  if (!hwnd) return missing("no window titled " + name(title));
  windowFacts(hwnd).printLines();
  return kFound;
}

int cmdControls(const wchar_t* title) {
  HWND top = findTop(title);
  if (!top) return missing("no window titled " + name(title));
  const DWORD tid = GetWindowThreadProcessId(top, nullptr);
  HWND focus = focusOfThread(tid);
  for (HWND c : descendants(top)) controlFacts(top, c, focus).printRecord("control");
  Facts f;
  f.add("hwnd", hwndText(focus));
  f.text("class", focus ? classOf(focus) : L"");
  f.text("text", focus ? textOf(focus) : L"");
  f.add("active", hwndText(activeOfThread(tid)));
  f.printRecord("focus");
  return kFound;
}

int cmdControl(const wchar_t* title, const wchar_t* selector) {
  HWND top = findTop(title);
  if (!top) return missing("no window titled " + name(title));
  HWND control = findControl(top, selector);
  if (!control) return missing("no control " + name(selector) + " in " + name(title));
  controlFacts(top, control, focusOfThread(GetWindowThreadProcessId(top, nullptr))).printLines();
  return kFound;
}

int cmdWaitWindow(const wchar_t* title, double seconds) {
  HWND found = nullptr;
  if (!waitFor(seconds, [&] {
        found = findTop(title);
        return found && IsWindowVisible(found);
      }))
    return missing("no visible window titled " + name(title) + " after " + std::to_string(seconds) + " s");
  print("hwnd=" + hwndText(found) + "\n");
  return kFound;
}

int cmdWaitGone(const wchar_t* title, double seconds) {
  if (!waitFor(seconds, [&] {
        HWND hwnd = findTop(title);
        return !hwnd || !IsWindowVisible(hwnd);
      }))
    return missing("a window titled " + name(title) + " is still visible");
  return kFound;
}

HWND findDialog(const wchar_t* caption, double seconds) {
  HWND box = nullptr;
  waitFor(seconds, [&] {
    box = findTop(caption, L"#32770");
    return box && IsWindowVisible(box);
  });
  return box;
}

int cmdBox(const wchar_t* caption, double seconds) {
  HWND box = findDialog(caption, seconds);
  if (!box || !IsWindowVisible(box)) return missing("no dialog captioned " + name(caption));
  // A message box's prompt is the static with id 0xFFFF; other dialogs: the
  // first static with text that is not a picture.
  HWND prompt = nullptr;
  std::vector<std::pair<long long, std::wstring>> buttons;
  for (HWND c : descendants(box)) {
    const std::wstring cls = classOf(c);
    const long long id = static_cast<long long>(GetWindowLongPtrW(c, GWLP_ID));
    const LONG style = GetWindowLongW(c, GWL_STYLE);
    if (_wcsicmp(cls.c_str(), L"Static") == 0) {
      if (id == 0xFFFF || (!prompt && (style & SS_TYPEMASK) != SS_ICON && !textOf(c).empty())) prompt = c;
    } else if (_wcsicmp(cls.c_str(), L"Button") == 0 && (style & WS_VISIBLE)) {
      buttons.emplace_back(id, textOf(c));
    }
  }
  DWORD pid = 0;
  GetWindowThreadProcessId(box, &pid);
  print("hwnd=" + hwndText(box) + "\n");
  print("pid=" + std::to_string(pid) + "\n");
  print("caption=" + escaped(titleOf(box)) + "\n");
  print("text=" + escaped(prompt ? textOf(prompt) : L"") + "\n");
  for (const auto& [id, text] : buttons) print("button." + std::to_string(id) + "=" + escaped(text) + "\n");
  std::string icon;
  if (askInside(box, L"boxicon", icon)) print(icon);
  return kFound;
}

int cmdPress(const wchar_t* caption, int id, double seconds) {
  HWND box = findDialog(caption, seconds);
  if (!box) box = findTop(caption);
  if (!box) return missing("no window captioned " + name(caption));
  HWND button = GetDlgItem(box, id);
  // Posted, never sent: the handler may open another modal box and we must
  // not wait inside it.
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
  return kFound;
}

int cmdClose(const wchar_t* title) {
  HWND hwnd = findTop(title);
  if (!hwnd) return missing("no window titled " + name(title));
  PostMessageW(hwnd, WM_CLOSE, 0, 0);
  return kFound;
}

// Posted as the caption's minimise button would send it, so that the
// program's own size handling runs as for a user's click.
int cmdMinimize(const wchar_t* title) {
  HWND hwnd = findTop(title);
  if (!hwnd) return missing("no window titled " + name(title));
  PostMessageW(hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  return kFound;
}

int cmdClick(const wchar_t* title, const wchar_t* selector) {
  HWND top = findTop(title);
  if (!top) return missing("no window titled " + name(title));
  HWND control = findControl(top, selector);
  if (!control) return missing("no control " + name(selector) + " in " + name(title));
  // Posted, for the click handler may run a loop of its own for a long time.
  if (_wcsicmp(classOf(control).c_str(), L"Button") == 0) {
    PostMessageW(control, BM_CLICK, 0, 0);
  } else {
    const auto id = static_cast<int>(GetWindowLongPtrW(control, GWLP_ID));
    PostMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control));
  }
  return kFound;
}

int cmdSetText(const wchar_t* title, const wchar_t* selector, const wchar_t* text) {
  HWND top = findTop(title);
  if (!top) return missing("no window titled " + name(title));
  HWND control = findControl(top, selector);
  if (!control) return missing("no control " + name(selector) + " in " + name(title));
  sendWithTimeout(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
  return kFound;
}

int cmdInside(const wchar_t* request, const wchar_t* title, const wchar_t* selector) {
  HWND top = findTop(title);
  if (!top) return missing("no window titled " + name(title));
  HWND target = top;
  if (selector) {
    target = findControl(top, selector);
    if (!target) return missing("no control " + name(selector) + " in " + name(title));
  }
  std::string reply;
  if (!askInside(target, request, reply)) return kMissing;
  print(reply);
  return kFound;
}

int cmdTray() {
  const std::vector<HWND> trays = topLevelsOfClass(L"__winex11_standalone_tray");
  if (trays.empty()) return missing("no system tray window");
  for (HWND tray : trays) {
    windowFacts(tray).printRecord("tray");
    for (HWND icon : descendants(tray)) {
      Facts f;
      f.add("hwnd", hwndText(icon));
      f.text("class", classOf(icon));
      f.add("visible", IsWindowVisible(icon) ? 1 : 0);
      RECT r{};
      GetWindowRect(icon, &r);  // screen coordinates, what xdotool clicks
      addRect(f, r);
      f.add("cx", (r.left + r.right) / 2);
      f.add("cy", (r.top + r.bottom) / 2);
      f.printRecord("icon");
    }
  }
  return kFound;
}

int cmdTooltips(bool onlyVisible) {
  for (HWND tip : topLevelsOfClass(L"tooltips_class32")) {
    if (onlyVisible && !IsWindowVisible(tip)) continue;
    Facts f = windowFacts(tip);
    f.add("balloon", (GetWindowLongW(tip, GWL_STYLE) & TTS_BALLOON) ? 1 : 0);
    f.text("text", textOf(tip));
    f.printRecord("tooltip");
  }
  return kFound;
}

// A shell that refuses every notification-area request for a while, as
// Explorer does at logon while it is busy: a topmost "Shell_TrayWnd" window,
// which Shell_NotifyIcon finds before the real one, answering WM_COPYDATA
// with FALSE. Prints "refused=N" when it goes.
LRESULT CALLBACK RefusingTrayProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  static long refused = 0;
  if (message == WM_COPYDATA) {
    ++refused;
    return FALSE;
  }
  if (message == WM_APP) return refused;
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

int cmdFakeTray(double seconds) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = &RefusingTrayProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"Shell_TrayWnd";
  if (!RegisterClassW(&windowClass)) return missing("cannot register Shell_TrayWnd");
  HWND tray = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"Shell_TrayWnd", L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                              nullptr, windowClass.hInstance, nullptr);
  if (!tray) return missing("cannot create the window");
  print("ready\n");
  const ULONGLONG until = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000.0);
  for (ULONGLONG now = GetTickCount64(); now < until; now = GetTickCount64()) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(until - now), QS_ALLINPUT);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  }
  const LRESULT refused = SendMessageW(tray, WM_APP, 0, 0);
  DestroyWindow(tray);
  print("refused=" + std::to_string(refused) + "\n");
  return kFound;
}

// A key pressed and let go through SendInput, as an on-screen keyboard or a
// remote-control tool sends it: the low-level hooks see it marked injected.
int cmdSendKey(const wchar_t* key) {
  const auto vk = static_cast<WORD>(std::wcstoul(key, nullptr, 0));
  if (vk == 0) {
    complain("sendkey: VK is a virtual-key code, such as 0x41 for A");
    return kUsage;
  }
  INPUT keys[2] = {};
  for (INPUT& input : keys) {
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
  }
  keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
  const UINT sent = SendInput(2, keys, sizeof(INPUT));
  if (sent != 2) return missing("SendInput sent " + std::to_string(sent) + " of 2 events");
  print("sent=2\n");
  return kFound;
}

// What Windows broadcasts when settings of AREA changed: "Policy" after a
// Group Policy refresh.
int cmdSettingChange(const wchar_t* area) {
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(area), SMTO_ABORTIFHUNG, 5000,
                           &answer))
    return missing("the broadcast did not go out");
  print("sent=1\n");
  return kFound;
}

int cmdWaitExit(DWORD pid, double seconds) {
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
  if (!process) return kFound;  // already gone
  const DWORD wait = WaitForSingleObject(process, static_cast<DWORD>(seconds * 1000.0));
  CloseHandle(process);
  return wait == WAIT_OBJECT_0 ? kFound : missing("process " + std::to_string(pid) + " still runs");
}

// The version resource and the icons of an executable file, without running it.
int cmdFileInfo(const wchar_t* path) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
  Facts f;
  if (size > 0) {
    std::vector<unsigned char> data(size);
    if (GetFileVersionInfoW(path, 0, size, data.data())) {
      VS_FIXEDFILEINFO* fixed = nullptr;
      UINT length = 0;
      if (VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) && fixed) {
        f.add("fixed", std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." +
                           std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
                           std::to_string(HIWORD(fixed->dwFileVersionLS)) + "." +
                           std::to_string(LOWORD(fixed->dwFileVersionLS)));
      }
      for (const wchar_t* key :
           {L"FileVersion", L"ProductVersion", L"ProductName", L"CompanyName", L"FileDescription", L"LegalCopyright"}) {
        wchar_t* value = nullptr;
        const std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + key;
        if (VerQueryValueW(data.data(), query.c_str(), reinterpret_cast<void**>(&value), &length) && value) {
          std::string name;
          for (const wchar_t* c = key; *c; ++c) name += static_cast<char>(*c);
          f.text(name.c_str(), std::wstring(value));
        }
      }
    }
  }
  HMODULE module = LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (!module) return missing("cannot read the file's resources");
  // The icon groups, and the image sizes of the first (the one Explorer shows).
  struct Groups {
    long count = 0;
    std::wstring first;
    bool firstIsId = false;
    WORD firstId = 0;
  } groups;
  EnumResourceNamesW(
      module, RT_GROUP_ICON,
      [](HMODULE, LPCWSTR, LPWSTR name, LONG_PTR param) -> BOOL {
        auto& g = *reinterpret_cast<Groups*>(param);
        if (g.count++ == 0) {
          g.firstIsId = IS_INTRESOURCE(name);
          if (g.firstIsId) {
            g.firstId = static_cast<WORD>(reinterpret_cast<std::uintptr_t>(name));
          } else {
            g.first = name;
          }
        }
        return TRUE;
      },
      reinterpret_cast<LONG_PTR>(&groups));
  std::string sizes;
  if (groups.count > 0) {
    const HRSRC found = FindResourceW(
        module, groups.firstIsId ? MAKEINTRESOURCEW(groups.firstId) : groups.first.c_str(), RT_GROUP_ICON);
    const HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const auto* dir = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    if (dir && SizeofResource(module, found) >= 6) {
      // GRPICONDIR: reserved, type, count; then 14-byte entries starting with width, height (0 = 256).
      const WORD entries = *reinterpret_cast<const WORD*>(dir + 4);
      for (WORD i = 0; i < entries && 6u + 14u * (i + 1u) <= SizeofResource(module, found); ++i) {
        const BYTE width = dir[6 + 14 * i];
        sizes += (sizes.empty() ? "" : ",") + std::to_string(width == 0 ? 256 : width);
      }
    }
  }
  FreeLibrary(module);
  f.add("icons", groups.count);
  f.add("icon_sizes", sizes);
  f.printLines();
  return kFound;
}

int usage() {
  complain(
      "usage: probe COMMAND ...\n"
      "  windows [--visible]                 every top-level window, one record a line\n"
      "  window TITLE                        facts about one top-level window\n"
      "  controls TITLE                      every child window, then the focus\n"
      "  control TITLE SELECTOR              facts about one child\n"
      "  wait-window TITLE [SECONDS]         until a visible window has that title\n"
      "  wait-gone TITLE [SECONDS]           until no visible window has that title\n"
      "  box CAPTION [SECONDS]               the text, buttons and icon of a dialog\n"
      "  press CAPTION ID [SECONDS]          press a dialog's button (1 = OK)\n"
      "  close TITLE                         post WM_CLOSE\n"
      "  minimize TITLE                      post WM_SYSCOMMAND SC_MINIMIZE\n"
      "  click TITLE SELECTOR                press a child button\n"
      "  settext TITLE SELECTOR TEXT         WM_SETTEXT to a child\n"
      "  font TITLE [SELECTOR]               the font of the window or a child\n"
      "  icons TITLE                         the sizes of the window's icons\n"
      "  handles TITLE                       GDI and USER objects of the window's process\n"
      "  tray                                the system tray window and its icons\n"
      "  tooltips [--visible]                tooltip windows (balloons) with their text\n"
      "  tooltip-tools HWND                  title and tools of one tooltip window\n"
      "  wait-exit PID [SECONDS]             until a Windows process ends\n"
      "  fileinfo PATH                       an executable's version resource and icon count\n"
      "  fake-tray SECONDS                   a shell that refuses every tray request for a while\n"
      "  sendkey VK                          press and let go a virtual key through SendInput\n"
      "  settingchange AREA                  broadcast WM_SETTINGCHANGE naming AREA (Policy)\n"
      "SELECTOR: the exact text, id:N, or class:NAME[:K]");
  return kUsage;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return usage();
  const std::wstring command = argv[1];
  const int n = argc - 2;  // arguments after the command
  const bool visibleFlag = n >= 1 && std::wstring(argv[2]) == L"--visible";
  if (command == L"windows") return cmdWindows(visibleFlag);
  if (command == L"tooltips") return cmdTooltips(visibleFlag);
  if (command == L"tray") return cmdTray();
  if (n < 1) return usage();
  if (command == L"window") return cmdWindow(argv[2]);
  if (command == L"controls") return cmdControls(argv[2]);
  if (command == L"close") return cmdClose(argv[2]);
  if (command == L"minimize") return cmdMinimize(argv[2]);
  if (command == L"icons") return cmdInside(L"icons", argv[2], nullptr);
  if (command == L"handles") return cmdInside(L"handles", argv[2], nullptr);
  if (command == L"font") return cmdInside(L"font", argv[2], n >= 2 ? argv[3] : nullptr);
  if (command == L"fileinfo") return cmdFileInfo(argv[2]);
  if (command == L"fake-tray") return cmdFakeTray(std::wcstod(argv[2], nullptr));
  if (command == L"sendkey") return cmdSendKey(argv[2]);
  if (command == L"settingchange") return cmdSettingChange(argv[2]);
  if (command == L"wait-window") return cmdWaitWindow(argv[2], secondsArg(argc, argv, 3, 10));
  if (command == L"wait-gone") return cmdWaitGone(argv[2], secondsArg(argc, argv, 3, 10));
  if (command == L"box") return cmdBox(argv[2], secondsArg(argc, argv, 3, 0));
  if (command == L"wait-exit")
    return cmdWaitExit(static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10)), secondsArg(argc, argv, 3, 10));
  if (command == L"tooltip-tools") {
    HWND tip = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(std::wcstoull(argv[2], nullptr, 0)));
    std::string reply;
    if (!IsWindow(tip) || !askInside(tip, L"tooltip", reply)) return missing("no such tooltip");
    print(reply);
    return kFound;
  }
  if (n < 2) return usage();
  if (command == L"control") return cmdControl(argv[2], argv[3]);
  if (command == L"accname") return cmdInside(L"accname", argv[2], argv[3]);
  if (command == L"click") return cmdClick(argv[2], argv[3]);
  if (command == L"press") return cmdPress(argv[2], std::wcstol(argv[3], nullptr, 10), secondsArg(argc, argv, 4, 0));
  if (n < 3) return usage();
  if (command == L"settext") return cmdSetText(argv[2], argv[3], argv[4]);
  return usage();
}
