// How the form looks: its background, the colours and fonts of its
// controls, their places at the window's DPI, its icons and the pointer over it.

#include <algorithm>
#include <cmath>

#include "platform/win32/form_style.h"
#include "platform/win32/push_button.h"
#include "platform/win32/text.h"
#include "platform/win32/win32_platform.h"
#include "resource.h"

namespace pellucor::win32 {
namespace {

UniqueFont MakeFont(const FontSpec& font, UINT dpi) {
  const int height = -static_cast<int>(std::lround(font.points * static_cast<double>(dpi) / 72.0));
  return UniqueFont(CreateFontW(height, 0, 0, 0, font.weight, FALSE, FALSE, FALSE, static_cast<DWORD>(font.charset),
                                OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                                Widen(font.face).c_str()));
}

}  // namespace

// Measured as drawn, at the screen's pixels an inch (hinting makes small
// text wider than its outline says), in twips rounded up.
int Win32Platform::textWidthTwips(const FontSpec& font, std::string_view text) {
  const HDC dc = GetDC(nullptr);
  const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
  const UniqueFont measured = MakeFont(font, static_cast<UINT>(dpi));
  const HGDIOBJ before = SelectObject(dc, measured.get());
  const std::wstring wide = Widen(text);
  SIZE size{0, 0};
  GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
  SelectObject(dc, before);
  ReleaseDC(nullptr, dc);
  return dpi > 0 ? (size.cx * 1440 + dpi - 1) / dpi : size.cx * 15;
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
  if (hover && HIWORD(lParam) == WM_MOUSEMOVE) deliver(formEvents_, [id](FormEvents& e) { e.onMouseMove(id); });
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

}  // namespace pellucor::win32
