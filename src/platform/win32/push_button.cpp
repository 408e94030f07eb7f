#include "platform/win32/push_button.h"

#include <string>

#include "platform/win32/handles.h"
#include "platform/win32/text.h"

namespace pellucor::win32 {

void DrawPushButton(const DRAWITEMSTRUCT& item, HFONT font, COLORREF back, COLORREF fore) {
  HDC dc = item.hDC;
  RECT rect = item.rcItem;
  const bool pressed = (item.itemState & ODS_SELECTED) != 0;
  const bool focused = (item.itemState & ODS_FOCUS) != 0;
  const bool disabled = (item.itemState & ODS_DISABLED) != 0;

  const UniqueBrush backBrush(CreateSolidBrush(back));
  FillRect(dc, &rect, backBrush ? backBrush.get() : GetSysColorBrush(COLOR_BTNFACE));
  DrawEdge(dc, &rect, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST);

  const std::wstring caption = WindowText(item.hwndItem);

  RECT textRect = rect;
  if (pressed) OffsetRect(&textRect, 1, 1);  // the caption sinks with the face
  const HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  const COLORREF oldColour = SetTextColor(dc, disabled ? GetSysColor(COLOR_GRAYTEXT) : fore);
  UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
  if (item.itemState & ODS_NOACCEL) format |= DT_HIDEPREFIX;
  // A mirrored window's button reads right to left, as a standard one does.
  if (GetWindowLongW(item.hwndItem, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) format |= DT_RTLREADING;
  DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &textRect, format);
  SetTextColor(dc, oldColour);
  SetBkMode(dc, oldMode);
  if (oldFont) SelectObject(dc, oldFont);

  if (focused && !(item.itemState & ODS_NOFOCUSRECT)) {
    RECT focusRect = rect;
    InflateRect(&focusRect, -2, -2);
    DrawFocusRect(dc, &focusRect);
  }
}

}  // namespace pellucor::win32
