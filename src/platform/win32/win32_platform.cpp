#include "platform/win32/win32_platform.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "platform/failure.h"
#include "platform/win32/push_button.h"
#include "platform/win32/self_start.h"
#include "platform/win32/system_cursors.h"
#include "platform/win32/text.h"
#include "resource.h"

namespace pellucor::win32 {
namespace {

// A fixed single border with a minimise box and no maximise box.
constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kFormExStyle = WS_EX_CONTROLPARENT | WS_EX_APPWINDOW;

// Child window ids start here so that no control answers to IDOK or IDCANCEL,
// which the dialog manager sends on Enter and Escape.
constexpr int kFirstChildId = 1000;

// Every control starts its own group, so the arrow keys never carry the focus
// to a frame.
constexpr DWORD kChildStyle = WS_CHILD | WS_CLIPSIBLINGS | WS_GROUP;

constexpr DWORD kMaxTextFileBytes = 1024 * 1024;

int TwipsToPixels(int twips, UINT dpi) { return MulDiv(twips, static_cast<int>(dpi), 1440); }

COLORREF Resolve(Colour colour) {
  if (colour & 0x80000000u) return GetSysColor(static_cast<int>(colour & 0xFFu));
  return static_cast<COLORREF>(colour & 0x00FFFFFFu);
}

UniqueBrush MakeBrush(Colour colour) { return UniqueBrush(CreateSolidBrush(Resolve(colour))); }

UniqueFont MakeFont(const FontSpec& font, UINT dpi) {
  const int height = -static_cast<int>(std::lround(font.points * static_cast<double>(dpi) / 72.0));
  return UniqueFont(CreateFontW(height, 0, 0, 0, font.weight, FALSE, FALSE, FALSE, static_cast<DWORD>(font.charset),
                                OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                                Widen(font.face).c_str()));
}

std::wstring WindowText(HWND hwnd) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

// The UTF-16 index in `text` of the character that starts at UTF-8 byte
// `offset` (the portable code counts in UTF-8).
int Utf16Index(const std::wstring& text, int offset) {
  if (offset <= 0) return 0;
  const std::string utf8 = Narrow(text);
  if (static_cast<std::size_t>(offset) >= utf8.size()) return static_cast<int>(text.size());
  return static_cast<int>(Widen(std::string_view(utf8).substr(0, static_cast<std::size_t>(offset))).size());
}

const char* FileFailureText(DWORD error) {
  switch (error) {
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
      return failure_text::kPathNotFound;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_PARAMETER:
    case ERROR_FILENAME_EXCED_RANGE:
      return failure_text::kBadFileName;
    default:
      return failure_text::kFileNotFound;
  }
}

bool IsFocusable(ControlKind kind) { return kind != ControlKind::Frame; }

}  // namespace

Win32Platform::Win32Platform(HINSTANCE instance) : instance_(instance) {
  QueryPerformanceFrequency(&counterFrequency_);  // fixed at boot, never fails on XP and later
}

Win32Platform::~Win32Platform() {
  eventsOn_ = false;
  // However the program ends up here, the user gets the cursors back and no
  // system callback is left pointing at us.
  if (systemCursorsHidden_) {
    RestoreSystemCursors();
    setCursorsBlankNote(false);
  }
  stopInputThread();
  // The portable procedures may belong to objects already gone: destroying
  // the windows must not call them.
  while (!subclasses_.empty()) {
    const Subclass last = subclasses_.back();
    restoreWindowProc(reinterpret_cast<std::intptr_t>(last.hwnd), reinterpret_cast<WindowProcToken>(last.previous));
  }
  while (!controlWindows_.empty()) destroyControlWindow(reinterpret_cast<std::intptr_t>(controlWindows_.back()));
  // The controls go with the window, before the fonts and brushes they use.
  if (window_) DestroyWindow(window_);
}

// --- Event delivery ----------------------------------------------------------------

void Win32Platform::holdFailure() noexcept {
  if (!pendingFailure_) pendingFailure_ = std::current_exception();
}

void Win32Platform::rethrowPendingFailure() {
  if (pendingFailure_) std::rethrow_exception(std::exchange(pendingFailure_, nullptr));
}

void Win32Platform::focusArrived(ControlId id) {
  if (id == focus_) return;
  const ControlId previous = focus_;
  const bool previousAnnounced = focusAnnounced_;
  focus_ = id;
  focusAnnounced_ = false;
  if (previous != kNoControl && previousAnnounced) deliver([&](FormEvents& e) { e.onFocusLost(previous); });
  // The lost-focus handler may already have moved the focus on (a field that
  // refuses its text takes it back); then this control never really had it.
  if (id != kNoControl && focus_ == id && !focusAnnounced_) {
    focusAnnounced_ = true;
    deliver([&](FormEvents& e) { e.onFocusGained(id); });
  }
}

// --- The window procedure ------------------------------------------------------------

LRESULT CALLBACK Win32Platform::FormProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    auto* self = static_cast<Win32Platform*>(create->lpCreateParams);
    self->window_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Win32Platform*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self || self->window_ != hwnd) return DefWindowProcW(hwnd, message, wParam, lParam);
  return self->handleMessage(message, wParam, lParam);
}

LRESULT Win32Platform::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == ShowRequestMessage() && message != 0) {
    deliver([](FormEvents& e) { e.onShowRequest(); });
    return 0;
  }
  constexpr WPARAM kSessionUnlock = 0x8;          // WTS_SESSION_UNLOCK
  constexpr WPARAM kResumeAutomatic = 0x12;       // PBT_APMRESUMEAUTOMATIC: every wake, with or without a user
  constexpr UINT kSessionChangeMessage = 0x02B1;  // WM_WTSSESSION_CHANGE
  switch (message) {
    case WM_ERASEBKGND:
      return onEraseBackground(reinterpret_cast<HDC>(wParam));
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
      return onControlColour(message, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_DRAWITEM:
      return onDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_COMMAND:
      onCommand(reinterpret_cast<HWND>(lParam), HIWORD(wParam));
      return 0;
    case WM_SETCURSOR:
      return onSetCursor(wParam, lParam);
    case WM_SETFOCUS:
      onFocusToWindow();
      return 0;
    case DM_GETDEFID:
      return defaultPushButtonId();
    case WM_SIZE:
      deliver([](FormEvents& e) { e.onResize(); });
      return 0;
    case WM_TIMER:
      deliver([wParam](FormEvents& e) { e.onTimer(static_cast<int>(wParam)); });
      return 0;
    case kMsgMouseInput:
      onMouseInputMessage();
      return 0;
    case kMsgStopKey:
      deliver([](FormEvents& e) { e.onStopKey(); });
      return 0;
    case kSessionChangeMessage:
      if (wParam == kSessionUnlock) deliver([](FormEvents& e) { e.onSessionResumed(); });
      return 0;
    case WM_POWERBROADCAST:
      if (wParam == kResumeAutomatic) deliver([](FormEvents& e) { e.onSessionResumed(); });
      return TRUE;
    case WM_DESTROY:
      watchSession(false);
      return 0;
    case WM_CLOSE:
      // Never refused and never left to DefWindowProc: the form ends the
      // process itself through endProcess.
      deliver([](FormEvents& e) { e.onCloseRequest(); });
      return 0;
    case WM_ENDSESSION:
      // Logging off closes the window like any other close request.
      if (wParam) deliver([](FormEvents& e) { e.onCloseRequest(); });
      return 0;
    case WM_GETDPISCALEDSIZE: {
      const SIZE size = windowSizeFor(static_cast<UINT>(wParam));
      *reinterpret_cast<SIZE*>(lParam) = size;
      return TRUE;
    }
    case WM_DPICHANGED:
      onDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_NCDESTROY: {
      input_.reportTo(nullptr, 0);
      const LRESULT result = DefWindowProcW(window_, message, wParam, lParam);
      window_ = nullptr;  // the controls went with it
      for (Control& c : controls_) c.hwnd = nullptr;
      return result;
    }
    case WM_SYSCOLORCHANGE:
      rebuildBrushes();
      RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
      return 0;
    default:
      return DefWindowProcW(window_, message, wParam, lParam);
  }
}

// The window's colour everywhere, and each frame's own colour inside it: a
// group box draws only its edge and caption.
LRESULT Win32Platform::onEraseBackground(HDC dc) {
  RECT client;
  GetClientRect(window_, &client);
  FillRect(dc, &client, windowBrush_ ? windowBrush_.get() : GetSysColorBrush(COLOR_WINDOW));
  for (const Control& c : controls_) {
    if (c.design.kind != ControlKind::Frame || !c.backBrush || !IsWindowVisible(c.hwnd)) continue;
    RECT frame;
    GetWindowRect(c.hwnd, &frame);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&frame), 2);
    FillRect(dc, &frame, c.backBrush.get());
  }
  return 1;
}

LRESULT Win32Platform::onControlColour(UINT message, HDC dc, HWND child) {
  const Control* c = controlOf(child);
  if (!c || !c->backBrush)
    return DefWindowProcW(window_, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(child));
  SetTextColor(dc, Resolve(c->design.fore));
  SetBkColor(dc, Resolve(c->design.back));
  return reinterpret_cast<LRESULT>(c->backBrush.get());
}

LRESULT Win32Platform::onDrawItem(const DRAWITEMSTRUCT& item) {
  const Control* c = controlOf(item.hwndItem);
  if (!c || c->design.kind != ControlKind::PushButton) return FALSE;
  DrawPushButton(item, c->font.get(), Resolve(c->design.back), Resolve(c->design.fore));
  return TRUE;
}

void Win32Platform::onCommand(HWND child, WORD code) {
  const Control* c = controlOf(child);
  if (!c) return;  // IDOK and IDCANCEL from the dialog manager: no control of ours
  const ControlId id = c->design.id;
  switch (c->design.kind) {
    case ControlKind::CheckBox:
    case ControlKind::PushButton:
      // The second press of a double click arrives as BN_DOUBLECLICKED alone;
      // it is a click like the first.
      if (code == BN_CLICKED || code == BN_DOUBLECLICKED) deliver([id](FormEvents& e) { e.onUserClick(id); });
      if (code == BN_SETFOCUS) focusArrived(id);
      break;
    case ControlKind::TextField:
      if (code == EN_CHANGE && settingText_ == 0) deliver([id](FormEvents& e) { e.onUserTextChange(id); });
      if (code == EN_SETFOCUS) focusArrived(id);
      break;
    case ControlKind::Frame:
      break;
  }
}

// The window learns of the pointer through WM_SETCURSOR: it comes for the
// window itself (and through the frames, which are transparent to the
// pointer) and for every child, before the child picks its own cursor.
LRESULT Win32Platform::onSetCursor(WPARAM wParam, LPARAM lParam) {
  const auto over = reinterpret_cast<HWND>(wParam);
  bool hover = false;
  ControlId id = kWindow;
  if (LOWORD(lParam) == HTCLIENT) {
    if (over == window_) {
      POINT point;
      GetCursorPos(&point);
      ScreenToClient(window_, &point);
      id = frameAt(point);
      hover = true;
    } else if (const Control* c = controlOf(over); c && c->design.kind == ControlKind::PushButton) {
      id = c->design.id;
      hover = true;
    }
  }
  if (hover && HIWORD(lParam) == WM_MOUSEMOVE) deliver([id](FormEvents& e) { e.onMouseMove(id); });
  if (hover && pointer_ == MousePointer::Custom && customCursor_) {
    SetCursor(customCursor_);
    return TRUE;
  }
  return DefWindowProcW(window_, WM_SETCURSOR, wParam, lParam);
}

void Win32Platform::onDpiChanged(UINT dpi, const RECT& suggested) {
  dpi_ = dpi;
  const SIZE size = windowSizeFor(dpi);
  SetWindowPos(window_, nullptr, suggested.left, suggested.top, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  applyFonts();
  placeControls();
  if (iconsSet_) loadWindowIcons();
  RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// The window itself got the focus (activated, restored, setFocus(kWindow)):
// pass it on to the control that had it, as a dialog does.
void Win32Platform::onFocusToWindow() {
  if (Control* c = find(focus_); c && canTakeFocus(*c)) SetFocus(c->hwnd);
}

// Enter presses the push button that has the focus.
LRESULT Win32Platform::defaultPushButtonId() {
  const Control* c = controlOf(GetFocus());
  if (!c || c->design.kind != ControlKind::PushButton) return 0;
  return MAKELRESULT(GetDlgCtrlID(c->hwnd), DC_HASDEFID);
}

// --- Controls ------------------------------------------------------------------------------

Win32Platform::Control* Win32Platform::find(ControlId id) {
  for (Control& c : controls_) {
    if (c.design.id == id) return &c;
  }
  return nullptr;
}

Win32Platform::Control& Win32Platform::control(ControlId id) {
  if (Control* c = find(id)) return *c;
  throw Failure(failure_text::kInvalidArgument);
}

Win32Platform::Control* Win32Platform::controlOf(HWND hwnd) {
  if (!hwnd) return nullptr;
  for (Control& c : controls_) {
    if (c.hwnd == hwnd) return &c;
  }
  return nullptr;
}

// A control inside a frame sits at the frame's position plus its own.
RECT Win32Platform::placement(const Control& c) const {
  int left = TwipsToPixels(c.design.rect.left, dpi_);
  int top = TwipsToPixels(c.design.rect.top, dpi_);
  ControlId container = c.design.container;
  for (std::size_t depth = 0; container != kWindow && depth < controls_.size(); ++depth) {
    const auto it = std::find_if(controls_.begin(), controls_.end(),
                                 [container](const Control& k) { return k.design.id == container; });
    if (it == controls_.end()) break;
    left += TwipsToPixels(it->design.rect.left, dpi_);
    top += TwipsToPixels(it->design.rect.top, dpi_);
    container = it->design.container;
  }
  return {left, top, left + TwipsToPixels(c.design.rect.width, dpi_), top + TwipsToPixels(c.design.rect.height, dpi_)};
}

SIZE Win32Platform::windowSizeFor(UINT dpi) const {
  RECT rect{0, 0, TwipsToPixels(windowDesign_.clientWidthTwips, dpi),
            TwipsToPixels(windowDesign_.clientHeightTwips, dpi)};
  AdjustWindowRectExForDpi(&rect, kFormStyle, FALSE, kFormExStyle, dpi);
  return {rect.right - rect.left, rect.bottom - rect.top};
}

void Win32Platform::createControl(Control& c) {
  const wchar_t* windowClass = L"Button";
  DWORD style = kChildStyle;
  DWORD exStyle = 0;
  switch (c.design.kind) {
    case ControlKind::Frame:
      style |= BS_GROUPBOX;
      break;
    case ControlKind::TextField:
      windowClass = L"Edit";
      style |= WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL;
      exStyle = WS_EX_CLIENTEDGE;
      break;
    case ControlKind::CheckBox:
      // Not an automatic check box: the form toggles the value itself.
      style |= WS_TABSTOP | BS_CHECKBOX | BS_NOTIFY;
      break;
    case ControlKind::PushButton:
      style |= WS_TABSTOP | BS_OWNERDRAW | BS_NOTIFY;
      break;
  }
  if (c.design.visible) style |= WS_VISIBLE;
  const RECT rect = placement(c);
  const auto childId = static_cast<INT_PTR>(kFirstChildId + (&c - controls_.data()));
  c.hwnd = CreateWindowExW(exStyle, windowClass, Widen(c.design.caption).c_str(), style, rect.left, rect.top,
                           rect.right - rect.left, rect.bottom - rect.top, window_, reinterpret_cast<HMENU>(childId),
                           instance_, nullptr);
  if (!c.hwnd) throw Failure(failure_text::kOutOfMemory);
  // No Common Controls 6 for the window: its controls draw in the classic
  // style, the only one in which they use the form's font, fore colour and
  // back colour whatever visual style is on.

  // Created in tab order, each below the ones before: the dialog manager
  // tabs from the top of the Z-order down.
  SetWindowPos(c.hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  c.backBrush = MakeBrush(c.design.back);
}

void Win32Platform::applyFonts() {
  for (Control& c : controls_) {
    // A control without a face of its own inherits the window's font.
    UniqueFont font = c.design.font.face.empty() ? MakeFont(windowDesign_.font, dpi_) : MakeFont(c.design.font, dpi_);
    SendMessageW(c.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    c.font = std::move(font);  // the old font is deleted only once the control has let go of it
  }
}

void Win32Platform::placeControls() {
  for (const Control& c : controls_) {
    const RECT rect = placement(c);
    SetWindowPos(c.hwnd, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void Win32Platform::rebuildBrushes() {
  windowBrush_ = MakeBrush(windowDesign_.back);
  for (Control& c : controls_) c.backBrush = MakeBrush(c.design.back);
}

// Repaints a control together with the part of the window under it, which
// draws a frame's inside.
void Win32Platform::repaint(const Control& c) {
  RECT rect;
  GetWindowRect(c.hwnd, &rect);
  MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&rect), 2);
  RedrawWindow(window_, &rect, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void Win32Platform::loadWindowIcons() {
  const auto load = [this](int widthMetric, int heightMetric) {
    return UniqueIcon(static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_PELLUCOR), IMAGE_ICON,
                                                    GetSystemMetricsForDpi(widthMetric, dpi_),
                                                    GetSystemMetricsForDpi(heightMetric, dpi_), LR_DEFAULTCOLOR)));
  };
  UniqueIcon big = load(SM_CXICON, SM_CYICON);
  UniqueIcon small = load(SM_CXSMICON, SM_CYSMICON);
  SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.get()));
  SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.get()));
  // The window no longer uses the old icons once the new ones are set.
  bigIcon_ = std::move(big);
  smallIcon_ = std::move(small);
}

void Win32Platform::centreOnPrimaryWorkArea() {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (!GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor)) return;
  RECT rect;
  GetWindowRect(window_, &rect);
  const RECT& area = monitor.rcWork;
  const int left = area.left + ((area.right - area.left) - (rect.right - rect.left)) / 2;
  const int top = area.top + ((area.bottom - area.top) - (rect.bottom - rect.top)) / 2;
  SetWindowPos(window_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The innermost visible frame under a point of the client area, else the window.
ControlId Win32Platform::frameAt(POINT client) const {
  ControlId found = kWindow;
  long foundArea = 0;
  for (const Control& c : controls_) {
    if (c.design.kind != ControlKind::Frame || !IsWindowVisible(c.hwnd)) continue;
    RECT rect;
    GetWindowRect(c.hwnd, &rect);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&rect), 2);
    const long area = static_cast<long>(rect.right - rect.left) * (rect.bottom - rect.top);
    if (PtInRect(&rect, client) && (found == kWindow || area < foundArea)) {
      found = c.design.id;
      foundArea = area;
    }
  }
  return found;
}

bool Win32Platform::canTakeFocus(const Control& c) const {
  return IsFocusable(c.design.kind) && (GetWindowLongPtrW(c.hwnd, GWL_STYLE) & WS_VISIBLE) && IsWindowEnabled(c.hwnd);
}

// --- The window and its controls ---------------------------------------------------------------

void Win32Platform::createForm(const WindowSpec& window, const std::vector<ControlSpec>& controls, FormEvents& events) {
  if (window_) throw Failure(failure_text::kInvalidArgument);  // one form per process
  events_ = &events;
  eventsOn_ = false;
  windowDesign_ = window;

  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &Win32Platform::FormProc;
  windowClass.hInstance = instance_;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.lpszClassName = kFormClass;
  RegisterClassExW(&windowClass);  // fails harmlessly if registered already

  // FormProc records the handle in window_ at WM_NCCREATE.
  if (!CreateWindowExW(kFormExStyle, kFormClass, Widen(window.caption).c_str(), kFormStyle, CW_USEDEFAULT,
                       CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance_, this)) {
    window_ = nullptr;
    throw Failure(failure_text::kOutOfMemory);
  }
  // Another start may be a process of lower integrity (a plain start while
  // this copy runs elevated); its request still comes through.
  ChangeWindowMessageFilterEx(window_, ShowRequestMessage(), MSGFLT_ALLOW, nullptr);
  input_.reportTo(window_, kMsgMouseInput);
  watchSession(true);
  dpi_ = GetDpiForWindow(window_);
  const SIZE size = windowSizeFor(dpi_);
  SetWindowPos(window_, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  windowBrush_ = MakeBrush(window.back);

  controls_.clear();
  controls_.reserve(controls.size());
  for (const ControlSpec& design : controls) controls_.push_back(Control{design, nullptr, {}, {}});

  // Focusable controls first, in ascending tab index, then the frames at the
  // bottom so that what is drawn inside a frame stays above it.
  std::vector<Control*> order;
  for (Control& c : controls_) order.push_back(&c);
  std::stable_sort(order.begin(), order.end(), [](const Control* a, const Control* b) {
    const bool aFrame = a->design.kind == ControlKind::Frame;
    const bool bFrame = b->design.kind == ControlKind::Frame;
    if (aFrame != bFrame) return bFrame;
    return a->design.tabIndex < b->design.tabIndex;
  });
  for (Control* c : order) createControl(*c);
  applyFonts();
  eventsOn_ = true;
}

void Win32Platform::showForm(WindowState state) {
  centreOnPrimaryWorkArea();
  hiddenState_ = state;
  if (state == WindowState::Minimised) {
    ShowWindow(window_, SW_SHOWMINIMIZED);
  } else {
    ShowWindow(window_, SW_SHOWNORMAL);
    SetForegroundWindow(window_);
    const Control* first = nullptr;
    for (const Control& c : controls_) {
      if (canTakeFocus(c) && (!first || c.design.tabIndex < first->design.tabIndex)) first = &c;
    }
    if (first) SetFocus(first->hwnd);
  }
  rethrowPendingFailure();
}

void Win32Platform::setText(ControlId id, std::string_view text) {
  const std::wstring wide = Widen(text);
  if (id == kWindow) {
    SetWindowTextW(window_, wide.c_str());
    return;
  }
  Control& c = control(id);
  ++settingText_;
  SetWindowTextW(c.hwnd, wide.c_str());
  --settingText_;
  if (c.design.kind == ControlKind::Frame || c.design.kind == ControlKind::PushButton) repaint(c);
}

std::string Win32Platform::text(ControlId id) { return Narrow(WindowText(id == kWindow ? window_ : control(id).hwnd)); }

void Win32Platform::setCheck(ControlId id, int value) {
  const WPARAM state = value == 1 ? BST_CHECKED : value == 2 ? BST_INDETERMINATE : BST_UNCHECKED;
  SendMessageW(control(id).hwnd, BM_SETCHECK, state, 0);
}

void Win32Platform::setVisible(ControlId id, bool visible) {
  if (id == kWindow) {
    const bool shown = IsWindowVisible(window_) != FALSE;
    if (!visible && shown) {
      hiddenState_ = IsIconic(window_) ? WindowState::Minimised : WindowState::Normal;
      ShowWindow(window_, SW_HIDE);
    } else if (visible && !shown) {
      // Back in the state asked for while hidden, which may differ from the
      // state the window was hidden in.
      const bool iconic = IsIconic(window_) != FALSE;
      if (hiddenState_ == WindowState::Normal) {
        ShowWindow(window_, iconic ? SW_RESTORE : SW_SHOW);
      } else {
        ShowWindow(window_, iconic ? SW_SHOW : SW_SHOWMINIMIZED);
      }
    }
    rethrowPendingFailure();
    return;
  }
  Control& c = control(id);
  if (!visible && focus_ == id) focusArrived(kNoControl);
  ShowWindow(c.hwnd, visible ? SW_SHOWNA : SW_HIDE);
  rethrowPendingFailure();
}

bool Win32Platform::visible(ControlId id) {
  if (id == kWindow) return IsWindowVisible(window_) != FALSE;
  return (GetWindowLongPtrW(control(id).hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
}

void Win32Platform::setBackColour(ControlId id, Colour colour) {
  if (id == kWindow) {
    windowDesign_.back = colour;
    windowBrush_ = MakeBrush(colour);
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    return;
  }
  Control& c = control(id);
  c.design.back = colour;
  c.backBrush = MakeBrush(colour);
  repaint(c);
}

void Win32Platform::setForeColour(ControlId id, Colour colour) {
  if (id == kWindow) return;  // the window draws no text of its own
  Control& c = control(id);
  c.design.fore = colour;
  repaint(c);
}

bool Win32Platform::setFocus(ControlId id) {
  if (!IsWindowVisible(window_) || !IsWindowEnabled(window_)) return false;
  HWND target = window_;
  if (id != kWindow) {
    const Control& c = control(id);
    if (!canTakeFocus(c)) return false;
    target = c.hwnd;
  }
  SetForegroundWindow(window_);
  SetFocus(target);
  rethrowPendingFailure();
  return true;
}

bool Win32Platform::isForeground() { return window_ && GetForegroundWindow() == window_; }

// Until the user brings the window forward, however long that takes.
void Win32Platform::flashUntilActivated() {
  FLASHWINFO flash{};
  flash.cbSize = sizeof flash;
  flash.hwnd = window_;
  flash.dwFlags = FLASHW_TRAY | FLASHW_TIMERNOFG;
  FlashWindowEx(&flash);
}

void Win32Platform::selectText(ControlId id, int start, int length) {
  const Control& c = control(id);
  const std::wstring current = WindowText(c.hwnd);
  const int from = Utf16Index(current, start);
  const int to = Utf16Index(current, start + std::max(length, 0));
  SendMessageW(c.hwnd, EM_SETSEL, static_cast<WPARAM>(from), static_cast<LPARAM>(to));
}

void Win32Platform::setWindowState(WindowState state) {
  if (!IsWindowVisible(window_)) {
    hiddenState_ = state;  // a hidden window is not shown by this
    return;
  }
  const bool iconic = IsIconic(window_) != FALSE;
  if (state == WindowState::Minimised && !iconic) ShowWindow(window_, SW_MINIMIZE);
  if (state == WindowState::Normal && iconic) ShowWindow(window_, SW_RESTORE);
  rethrowPendingFailure();
}

WindowState Win32Platform::windowState() {
  if (!IsWindowVisible(window_)) return hiddenState_;
  return IsIconic(window_) ? WindowState::Minimised : WindowState::Normal;
}

void Win32Platform::setWindowIcon() {
  iconsSet_ = true;
  loadWindowIcons();
}

std::intptr_t Win32Platform::windowHandle() { return reinterpret_cast<std::intptr_t>(window_); }

std::vector<std::pair<ControlId, ControlKind>> Win32Platform::controlsOf(std::intptr_t handle) {
  std::vector<std::pair<ControlId, ControlKind>> out;
  const auto own = reinterpret_cast<std::intptr_t>(window_);
  // The skin engine is handed the handle as a 32-bit integer; window handles
  // are meaningful in their low 32 bits.
  if (!window_ || (handle != own && static_cast<std::uint32_t>(handle) != static_cast<std::uint32_t>(own))) return out;
  for (const Control& c : controls_) out.emplace_back(c.design.id, c.design.kind);
  return out;
}

CursorHandle Win32Platform::loadCursorFile(const std::string& path) {
  const std::wstring wide = Widen(path);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (path.empty() || attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
    throw Failure(failure_text::kFileNotFound);
  UniqueCursor cursor(
      static_cast<HCURSOR>(LoadImageW(nullptr, wide.c_str(), IMAGE_CURSOR, 0, 0, LR_LOADFROMFILE | LR_DEFAULTSIZE)));
  if (!cursor) throw Failure(failure_text::kInvalidPicture);
  const auto handle = reinterpret_cast<CursorHandle>(cursor.get());
  cursors_.push_back(std::move(cursor));
  return handle;
}

void Win32Platform::setMousePointer(MousePointer pointer, CursorHandle custom) {
  pointer_ = pointer;
  customCursor_ = reinterpret_cast<HCURSOR>(custom);
}

// --- Message pump and timers -----------------------------------------------------------------

void Win32Platform::dispatch(MSG& message) {
  if (window_ && IsDialogMessageW(window_, &message)) return;  // Tab, Shift+Tab, Enter
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

void Win32Platform::processPendingMessages() {
  rethrowPendingFailure();
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Leave it for the loop that owns the thread.
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    dispatch(message);
    rethrowPendingFailure();
  }
}

int Win32Platform::runMessageLoop() {
  rethrowPendingFailure();
  MSG message;
  for (;;) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(message.wParam);
    if (got == -1) return 1;
    dispatch(message);
    rethrowPendingFailure();
  }
}

void Win32Platform::setTimer(int timerId, unsigned ms) {
  SetTimer(window_, static_cast<UINT_PTR>(timerId), ms, nullptr);
}

void Win32Platform::killTimer(int timerId) { KillTimer(window_, static_cast<UINT_PTR>(timerId)); }

void Win32Platform::endProcess(int exitCode) {
  // Nothing more reaches the form: destroying the window must not run its
  // focus handling.
  eventsOn_ = false;
  if (window_) DestroyWindow(window_);
  if (systemCursorsHidden_) {
    RestoreSystemCursors();  // ExitProcess runs no destructor of ours
    setCursorsBlankNote(false);
  }
  ExitProcess(static_cast<UINT>(exitCode));
}

// --- Message boxes -------------------------------------------------------------------------------

// Boxes show today's buttons: Common Controls 6 is active around them alone,
// and loads with the first box rather than at every start.
int Win32Platform::messageBox(std::string_view text, std::string_view caption, unsigned style) {
  if (!boxesContext_) {
    ACTCTXW context{};
    context.cbSize = sizeof context;
    context.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
    context.hModule = instance_;
    context.lpResourceName = MAKEINTRESOURCEW(IDR_BOXES_MANIFEST);
    const HANDLE created = CreateActCtxW(&context);
    if (created != INVALID_HANDLE_VALUE) boxesContext_.reset(created);
  }
  ULONG_PTR cookie = 0;
  const bool activated = boxesContext_ && ActivateActCtx(boxesContext_.get(), &cookie);
  const int result = MessageBoxW(window_, Widen(text).c_str(), Widen(caption).c_str(), static_cast<UINT>(style));
  if (activated) DeactivateActCtx(0, cookie);
  rethrowPendingFailure();
  return result;
}

// --- Files and processes ---------------------------------------------------------------------

std::string Win32Platform::modulePath() { return Narrow(ModuleFileName()); }

std::string Win32Platform::programFolder() {
  const std::wstring path = ModuleFileName();
  const std::size_t slash = path.find_last_of(L'\\');
  std::wstring folder = slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
  if (folder.size() == 2 && folder[1] == L':') folder += L'\\';  // "C:\", a drive's root
  return Narrow(folder);
}

// Seconds since 1970-01-01 UTC.
std::int64_t Win32Platform::fileDateTime(const std::string& path) {
  if (path.empty() || path.find('\0') != std::string::npos) throw Failure(failure_text::kBadFileName);
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &data))
    throw Failure(FileFailureText(GetLastError()));
  ULARGE_INTEGER written;
  written.LowPart = data.ftLastWriteTime.dwLowDateTime;
  written.HighPart = data.ftLastWriteTime.dwHighDateTime;
  constexpr std::int64_t kUnixEpochInFileTimeSeconds = 11644473600;
  return static_cast<std::int64_t>(written.QuadPart / 10000000) - kUnixEpochInFileTimeSeconds;
}

std::vector<std::string> Win32Platform::listFiles(const std::string& pattern) {
  std::vector<std::string> names;
  if (pattern.empty() || pattern.find('\0') != std::string::npos) return names;
  WIN32_FIND_DATAW found;
  const HANDLE first =
      FindFirstFileExW(Widen(pattern).c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
  if (first == INVALID_HANDLE_VALUE) return names;
  const UniqueFind search(first);
  constexpr DWORD kLeftOut = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  do {
    if (!(found.dwFileAttributes & kLeftOut)) names.push_back(Narrow(found.cFileName));
  } while (FindNextFileW(search.get(), &found));
  return names;
}

std::string Win32Platform::readTextFile(const std::string& path) {
  const HANDLE opened = path.empty() ? INVALID_HANDLE_VALUE
                                     : CreateFileW(Widen(path).c_str(), GENERIC_READ,
                                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (opened == INVALID_HANDLE_VALUE) throw Failure(failure_text::kFileNotFound);
  const UniqueHandle file(opened);
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > kMaxTextFileBytes)
    throw Failure(failure_text::kFileNotFound);
  std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
  DWORD total = 0;
  while (total < bytes.size()) {
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes.data() + total, static_cast<DWORD>(bytes.size()) - total, &read, nullptr))
      throw Failure(failure_text::kFileNotFound);
    if (read == 0) break;  // the file shrank meanwhile
    total += read;
  }
  bytes.resize(total);
  return bytes;
}

// The system's one, even where a user has a private Windows folder.
std::string Win32Platform::windowsFolder() {
  wchar_t folder[MAX_PATH] = {};
  const UINT length = GetSystemWindowsDirectoryW(folder, MAX_PATH);
  return length > 0 && length < MAX_PATH ? Narrow(std::wstring_view(folder, length)) : std::string("C:\\Windows");
}

void Win32Platform::startProcess(const std::string& commandLine, ShowMode mode) {
  std::wstring command = Widen(commandLine);  // CreateProcessW may write into it
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  switch (mode) {
    case ShowMode::MinimisedFocus:
      startup.wShowWindow = SW_SHOWMINIMIZED;
      break;
  }
  PROCESS_INFORMATION process{};
  if (command.empty() ||
      !CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    throw Failure(failure_text::kFileNotFound);
  // Nobody waits for it.
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

// --- Clock and random ------------------------------------------------------------------------

double Win32Platform::secondsSinceMidnight() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return now.wHour * 3600.0 + now.wMinute * 60.0 + now.wSecond + now.wMilliseconds / 1000.0;
}

void Win32Platform::seedRandom(double seed) {
  const auto bits = std::bit_cast<std::uint64_t>(seed);
  random_.seed(static_cast<std::uint32_t>(bits ^ (bits >> 32)));
}

// 53 random bits scaled into [0, 1): never 1.
double Win32Platform::nextRandom() {
  const double high = static_cast<double>(random_() >> 5);  // 27 bits
  const double low = static_cast<double>(random_() >> 6);   // 26 bits
  return (high * 67108864.0 + low) / 9007199254740992.0;
}

// --- Cursor ------------------------------------------------------------------------------------

int Win32Platform::showCursor(bool show) { return ShowCursor(show ? TRUE : FALSE); }

std::optional<Point> Win32Platform::cursorPos() {
  POINT point{};
  if (!GetCursorPos(&point)) return std::nullopt;
  return Point{point.x, point.y};
}

void Win32Platform::hideSystemCursors() {
  if (!blankCursor_) blankCursor_ = MakeBlankCursor(instance_);
  if (!blankCursor_) return;
  systemCursorsHidden_ = true;
  ReplaceSystemCursors(blankCursor_.get());
}

void Win32Platform::restoreSystemCursors() {
  RestoreSystemCursors();
  systemCursorsHidden_ = false;
}

// --- Waiting -------------------------------------------------------------------------------------

// Whole seconds and the remainder apart, so that a counter running for
// months loses no precision.
double Win32Platform::monotonicSeconds() {
  LARGE_INTEGER now{};
  QueryPerformanceCounter(&now);
  const LONGLONG frequency = counterFrequency_.QuadPart > 0 ? counterFrequency_.QuadPart : 1;
  return static_cast<double>(now.QuadPart / frequency) +
         static_cast<double>(now.QuadPart % frequency) / static_cast<double>(frequency);
}

// MWMO_INPUTAVAILABLE: input already in the queue but seen by an earlier
// peek still ends the wait. Sent messages, and with them the low-level
// keyboard hook, are handled inside the call.
void Win32Platform::waitForMessages(double timeoutSeconds) {
  MsgWaitForMultipleObjectsEx(0, nullptr, WaitMilliseconds(timeoutSeconds), QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

DWORD WaitMilliseconds(double seconds) {
  if (seconds == kForever) return INFINITE;
  constexpr double kLongestMs = static_cast<double>(INFINITE - 1);
  const double ms = std::ceil(seconds * 1000.0);
  return !(ms > 0.0) ? 0 : ms >= kLongestMs ? INFINITE - 1 : static_cast<DWORD>(ms);
}

}  // namespace pellucor::win32
