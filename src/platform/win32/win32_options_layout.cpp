// The Options dialog in the user's language: its texts from the string
// table, its controls sized to the texts they hold, and, for a language read
// right to left, the whole dialog mirrored.

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32/text.h"
#include "platform/win32/win32_platform.h"
#include "resource.h"

namespace pellucor::win32 {
namespace {

struct ItemText {
  int item;
  int text;
};

constexpr ItemText kItemTexts[] = {
    {IDC_HIDE_TYPING, IDS_OPT_HIDE_TYPING},
    {IDC_PIXELS_LABEL, IDS_OPT_PIXELS_LABEL},
    {IDC_PIXELS_UNIT, IDS_OPT_PIXELS_UNIT},
    {IDC_WHEEL, IDS_OPT_WHEEL},
    {IDC_START_HIDING, IDS_OPT_START_HIDING},
    {IDC_LIST_NEVER, IDS_OPT_LIST_NEVER},
    {IDC_LIST_ONLY, IDS_OPT_LIST_ONLY},
    {IDC_PROGRAMS_LABEL, IDS_OPT_PROGRAMS_LABEL},
    {IDC_PROGRAMS_HELP, IDS_OPT_PROGRAMS_HELP},
    {IDC_BROWSE, IDS_OPT_BROWSE},
    {IDC_FULL_SCREEN, IDS_OPT_FULL_SCREEN},
    {IDC_STOP_KEY_LABEL, IDS_OPT_STOP_KEY},
    {IDC_HIDE_KEY_LABEL, IDS_OPT_HIDE_KEY},
    {IDC_HIDE_KEY_CLEAR, IDS_OPT_CLEAR},
    {IDC_HIDE_KEY_NOTE, IDS_OPT_HIDE_KEY_NOTE},
    {IDC_MANAGED_NOTE, IDS_OPT_MANAGED_NOTE},
    {IDOK, IDS_OPT_OK},
    {IDCANCEL, IDS_OPT_CANCEL},
};

// The dialog's controls in their client rectangles, moved and sized here and
// placed once at the end.
class Layout {
 public:
  explicit Layout(HWND dialog) : dialog_(dialog), dc_(GetDC(dialog)) {
    font_ = SelectObject(dc_, reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)));
    RECT unit{0, 0, 4, 8};
    MapDialogRect(dialog, &unit);
    gap_ = unit.right;  // a dialog's usual gap: 4 dialog units
  }
  ~Layout() {
    SelectObject(dc_, font_);
    ReleaseDC(dialog_, dc_);
  }
  Layout(const Layout&) = delete;
  Layout& operator=(const Layout&) = delete;

  RECT& operator[](int item) {
    for (auto& [id, rect] : rects_) {
      if (id == item) return rect;
    }
    RECT& rect = rects_.emplace_back(item, RECT{}).second;
    GetWindowRect(GetDlgItem(dialog_, item), &rect);
    MapWindowPoints(HWND_DESKTOP, dialog_, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  }
  int gap() const { return gap_; }

  // The width the item's text takes on one line, with a check box's or a
  // push button's own room around it.
  int textWidth(int item) {
    const HWND control = GetDlgItem(dialog_, item);
    RECT box{0, 0, 0, 0};
    DrawTextW(dc_, WindowText(control).c_str(), -1, &box, DT_CALCRECT | DT_SINGLELINE);
    const LONG style = GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK;
    wchar_t kind[8] = {};
    GetClassNameW(control, kind, 8);
    const bool button = std::wstring_view(kind) == L"Button";
    if (button && (style == BS_AUTOCHECKBOX || style == BS_AUTORADIOBUTTON || style == BS_CHECKBOX))
      return box.right + GetSystemMetrics(SM_CXMENUCHECK) + gap_;
    if (button) return box.right + 4 * gap_;
    return box.right + 2;
  }
  // The height the item's text takes wrapped at the item's width.
  int wrappedHeight(int item) {
    RECT box{0, 0, (*this)[item].right - (*this)[item].left, 0};
    DrawTextW(dc_, WindowText(GetDlgItem(dialog_, item)).c_str(), -1, &box, DT_CALCRECT | DT_WORDBREAK);
    return box.bottom;
  }
  void place() {
    for (const auto& [id, rect] : rects_)
      MoveWindow(GetDlgItem(dialog_, id), rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, FALSE);
  }

 private:
  HWND dialog_;
  HDC dc_;
  HGDIOBJ font_;
  int gap_ = 6;
  std::vector<std::pair<int, RECT>> rects_;
};

void AtLeast(RECT& rect, int width) { rect.right = std::max<LONG>(rect.right, rect.left + width); }
void MoveBy(RECT& rect, int dx, int dy) { OffsetRect(&rect, dx, dy); }

}  // namespace

void Win32Platform::sayOptionsInLanguage(HWND dialog) {
  SetWindowTextW(dialog, Widen(textFor(IDS_OPTIONS_CAPTION)).c_str());
  for (const ItemText& it : kItemTexts) SetDlgItemTextW(dialog, it.item, Widen(textFor(it.text)).c_str());

  Layout at(dialog);
  RECT client;
  GetClientRect(dialog, &client);
  const int margin = at[IDC_HIDE_TYPING].left;
  // A row's label and the field after it: the field follows the label.
  const auto follow = [&](int label, std::initializer_list<int> after) {
    AtLeast(at[label], at.textWidth(label));
    int x = at[label].right + at.gap();
    for (const int item : after) {
      MoveBy(at[item], x - at[item].left, 0);
      x = at[item].right + at.gap();
    }
  };
  follow(IDC_PIXELS_LABEL, {IDC_PIXELS, IDC_PIXELS_UNIT});
  AtLeast(at[IDC_PIXELS_UNIT], at.textWidth(IDC_PIXELS_UNIT));
  // The two keys' labels share a column.
  const int keyLabels = std::max(at.textWidth(IDC_STOP_KEY_LABEL), at.textWidth(IDC_HIDE_KEY_LABEL));
  AtLeast(at[IDC_STOP_KEY_LABEL], keyLabels);
  AtLeast(at[IDC_HIDE_KEY_LABEL], keyLabels);
  follow(IDC_STOP_KEY_LABEL, {IDC_STOP_KEY});
  AtLeast(at[IDC_HIDE_KEY_CLEAR], at.textWidth(IDC_HIDE_KEY_CLEAR));
  follow(IDC_HIDE_KEY_LABEL, {IDC_HIDE_KEY, IDC_HIDE_KEY_CLEAR});
  AtLeast(at[IDC_BROWSE], at.textWidth(IDC_BROWSE));

  // The dialog as wide as its widest line, and no wider than the screen's
  // usable part; the long texts wrap at that width.
  int width = client.right - 2 * margin;
  for (const int item : {IDC_HIDE_TYPING, IDC_WHEEL, IDC_START_HIDING, IDC_LIST_NEVER, IDC_LIST_ONLY,
                         IDC_PROGRAMS_LABEL, IDC_FULL_SCREEN})
    width = std::max(width, at.textWidth(item));
  width = std::max<int>(width, at[IDC_PIXELS_UNIT].right - margin);
  width = std::max<int>(width, at[IDC_HIDE_KEY_CLEAR].right - margin);
  MONITORINFO monitor{sizeof monitor, {}, {}, 0};
  GetMonitorInfoW(MonitorFromWindow(dialog, MONITOR_DEFAULTTONEAREST), &monitor);
  width = std::min<int>(width, (monitor.rcWork.right - monitor.rcWork.left) * 9 / 10 - 2 * margin);
  for (const int item : {IDC_HIDE_TYPING, IDC_WHEEL, IDC_START_HIDING, IDC_LIST_NEVER, IDC_LIST_ONLY,
                         IDC_PROGRAMS_LABEL, IDC_PROGRAMS, IDC_PROGRAMS_HELP, IDC_FULL_SCREEN, IDC_HIDE_KEY_NOTE})
    at[item].right = at[item].left + width;

  // Wrapped texts push what is below them down.
  int pushed = 0;
  const int rows[] = {IDC_HIDE_TYPING,
                      IDC_PIXELS_LABEL,
                      IDC_PIXELS,
                      IDC_PIXELS_UNIT,
                      IDC_WHEEL,
                      IDC_START_HIDING,
                      IDC_LIST_NEVER,
                      IDC_LIST_ONLY,
                      IDC_PROGRAMS_LABEL,
                      IDC_PROGRAMS,
                      IDC_PROGRAMS_HELP,
                      IDC_BROWSE,
                      IDC_FULL_SCREEN,
                      IDC_STOP_KEY_LABEL,
                      IDC_STOP_KEY,
                      IDC_HIDE_KEY_LABEL,
                      IDC_HIDE_KEY,
                      IDC_HIDE_KEY_CLEAR,
                      IDC_HIDE_KEY_NOTE,
                      IDC_MANAGED_NOTE,
                      IDOK,
                      IDCANCEL};
  for (const int item : rows) {
    MoveBy(at[item], 0, pushed);
    if (item == IDC_PROGRAMS_HELP || item == IDC_HIDE_KEY_NOTE) {
      const int more = at.wrappedHeight(item) - (at[item].bottom - at[item].top);
      if (more > 0) {
        at[item].bottom += more;
        pushed += more;
      }
    }
  }
  // OK and Cancel at the right, as wide as their words need; the managed
  // note takes the room to their left.
  const int buttons =
      std::max({static_cast<int>(at[IDOK].right - at[IDOK].left), at.textWidth(IDOK), at.textWidth(IDCANCEL)});
  at[IDCANCEL].right = margin + width;
  at[IDCANCEL].left = at[IDCANCEL].right - buttons;
  at[IDOK].right = at[IDCANCEL].left - at.gap();
  at[IDOK].left = at[IDOK].right - buttons;
  at[IDC_MANAGED_NOTE].right = at[IDOK].left - at.gap();
  const int noteMore = at.wrappedHeight(IDC_MANAGED_NOTE) - (at[IDC_MANAGED_NOTE].bottom - at[IDC_MANAGED_NOTE].top);
  if (noteMore > 0) at[IDC_MANAGED_NOTE].bottom += noteMore;
  at.place();

  RECT frame{0, 0, margin * 2 + width, std::max<LONG>(at[IDCANCEL].bottom, at[IDC_MANAGED_NOTE].bottom) + margin};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(dialog, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongW(dialog, GWL_EXSTYLE)));
  const int w = frame.right - frame.left, h = frame.bottom - frame.top;
  // Centred where the template's centring put it.
  RECT now;
  GetWindowRect(dialog, &now);
  int x = (now.left + now.right - w) / 2, y = (now.top + now.bottom - h) / 2;
  x = std::clamp<int>(x, monitor.rcWork.left, std::max<int>(monitor.rcWork.left, monitor.rcWork.right - w));
  y = std::clamp<int>(y, monitor.rcWork.top, std::max<int>(monitor.rcWork.top, monitor.rcWork.bottom - h));
  SetWindowPos(dialog, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

std::vector<unsigned char> Win32Platform::optionsTemplate() const {
  HRSRC found = FindResourceW(instance_, MAKEINTRESOURCEW(IDD_OPTIONS), RT_DIALOG);
  const auto* bytes = found ? static_cast<const unsigned char*>(LockResource(LoadResource(instance_, found))) : nullptr;
  if (!bytes) return {};
  std::vector<unsigned char> copy(bytes, bytes + SizeofResource(instance_, found));
  // DLGTEMPLATEEX: dlgVer, signature, helpID, then exStyle at byte 8.
  if (rightToLeft() && copy.size() > 12) {
    DWORD exStyle;
    std::memcpy(&exStyle, copy.data() + 8, sizeof exStyle);
    exStyle |= WS_EX_LAYOUTRTL;
    std::memcpy(copy.data() + 8, &exStyle, sizeof exStyle);
  }
  return copy;
}

}  // namespace pellucor::win32
