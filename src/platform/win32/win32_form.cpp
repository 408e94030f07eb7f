// The form's window and its child controls: their creation, and the Window
// role the portable form drives them through.

#include <algorithm>

#include "platform/failure.h"
#include "platform/win32/accessible_name.h"
#include "platform/win32/form_style.h"
#include "platform/win32/text.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/window_class.h"

namespace pellucor::win32 {
namespace {

// Child window ids start here so that no control answers to IDOK or IDCANCEL,
// which the dialog manager sends on Enter and Escape.
constexpr int kFirstChildId = 1000;

// Every control starts its own group, so the arrow keys never carry the focus
// to a frame.
constexpr DWORD kChildStyle = WS_CHILD | WS_CLIPSIBLINGS | WS_GROUP;

// The UTF-16 index in `text` of the character that starts at UTF-8 byte
// `offset` (the portable code counts in UTF-8).
int Utf16Index(const std::wstring& text, int offset) {
  if (offset <= 0) return 0;
  const std::string utf8 = Narrow(text);
  if (static_cast<std::size_t>(offset) >= utf8.size()) return static_cast<int>(text.size());
  return static_cast<int>(Widen(std::string_view(utf8).substr(0, static_cast<std::size_t>(offset))).size());
}

bool IsFocusable(ControlKind kind) { return kind != ControlKind::Frame; }

}  // namespace

void Win32Platform::onCommand(HWND child, WORD code) {
  const Control* c = controlOf(child);
  if (!c) return;  // IDOK and IDCANCEL from the dialog manager: no control of ours
  const ControlId id = c->design.id;
  switch (c->design.kind) {
    case ControlKind::CheckBox:
    case ControlKind::PushButton:
      // The second press of a double click arrives as BN_DOUBLECLICKED alone;
      // it is a click like the first.
      if (code == BN_CLICKED || code == BN_DOUBLECLICKED)
        deliver(formEvents_, [id](FormEvents& e) { e.onUserClick(id); });
      if (code == BN_SETFOCUS) focusArrived(id);
      break;
    case ControlKind::TextField:
      if (code == EN_CHANGE && settingText_ == 0) deliver(formEvents_, [id](FormEvents& e) { e.onUserTextChange(id); });
      if (code == EN_SETFOCUS) focusArrived(id);
      break;
    case ControlKind::Frame:
      break;
  }
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
  if (!c.design.accessibleName.empty()) GiveAccessibleName(c.hwnd, Widen(c.design.accessibleName));
  // No Common Controls 6 for the window: its controls draw in the classic
  // style, the only one in which they use the form's font, fore colour and
  // back colour whatever visual style is on.

  // Created in tab order, each below the ones before: the dialog manager
  // tabs from the top of the Z-order down.
  SetWindowPos(c.hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  c.backBrush = MakeBrush(c.design.back);
}

bool Win32Platform::canTakeFocus(const Control& c) const {
  return IsFocusable(c.design.kind) && (GetWindowLongPtrW(c.hwnd, GWL_STYLE) & WS_VISIBLE) && IsWindowEnabled(c.hwnd);
}

void Win32Platform::createForm(const WindowSpec& window, const std::vector<ControlSpec>& controls, FormEvents& events) {
  if (window_) throw Failure(failure_text::kInvalidArgument);  // one form per process
  formEvents_ = &events;
  eventsOn_ = false;
  windowDesign_ = window;

  RegisterWindowClass(instance_, kFormClass, &Win32Platform::FormProc, LoadCursorW(nullptr, IDC_ARROW));

  // A language read right to left mirrors the window: its controls, which
  // inherit the layout, and its frame.
  const DWORD exStyle = kFormExStyle | (rightToLeft() ? WS_EX_LAYOUTRTL : 0);
  // FormProc records the handle in window_ at WM_NCCREATE.
  if (!CreateWindowExW(exStyle, kFormClass, Widen(window.caption).c_str(), kFormStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                       CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance_, this)) {
    window_ = nullptr;
    throw Failure(failure_text::kOutOfMemory);
  }
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

void Win32Platform::setEnabled(ControlId id, bool enabled) {
  // Windows takes the focus away from a control it disables.
  EnableWindow(control(id).hwnd, enabled ? TRUE : FALSE);
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

bool Win32Platform::highContrast() {
  HIGHCONTRASTW state{};
  state.cbSize = sizeof state;
  return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof state, &state, 0) && (state.dwFlags & HCF_HIGHCONTRASTON);
}

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

}  // namespace pellucor::win32
