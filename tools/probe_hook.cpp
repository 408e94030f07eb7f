// probe_hook.dll: the half of probe.exe that runs inside the process under
// test. Loaded there by Windows for probe.exe's WH_GETMESSAGE hook; answers
// one query per posted query message and otherwise passes messages through.

#include <windows.h>
// commctrl.h needs windows.h first.
#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <string>

#include "probe_protocol.h"
#include "probe_text.h"

namespace {

using probe::escaped;
using probe::hwndText;

std::string line(const char* key, const std::string& value) { return std::string(key) + "=" + value + "\n"; }

std::string number(long long value) { return std::to_string(value); }

std::string fontFacts(HWND hwnd) {
  const auto font = reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0));
  if (!font) return line("font", "none");
  LOGFONTW lf{};
  if (GetObjectW(font, sizeof lf, &lf) != sizeof lf) return line("font", "unreadable");
  std::string out = line("font", "set");
  out += line("face", escaped(lf.lfFaceName));
  out += line("height", number(lf.lfHeight));
  out += line("weight", number(lf.lfWeight));
  out += line("charset", number(lf.lfCharSet));
  out += line("italic", number(lf.lfItalic ? 1 : 0));
  out += line("underline", number(lf.lfUnderline ? 1 : 0));
  HDC dc = GetDC(hwnd);
  const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  char points[32];
  std::snprintf(points, sizeof points, "%.2f", std::fabs(lf.lfHeight) * 72.0 / dpi);
  out += line("points", lf.lfHeight < 0 ? points : "cell-height");
  out += line("dpi", number(dpi));
  const HGDIOBJ old = SelectObject(dc, font);
  wchar_t face[LF_FACESIZE] = {};
  GetTextFaceW(dc, LF_FACESIZE, face);
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(hwnd, dc);
  out += line("rendered_face", escaped(face));
  out += line("text_height", number(tm.tmHeight));
  out += line("avg_char_width", number(tm.tmAveCharWidth));
  return out;
}

std::string iconSize(const char* key, HICON icon) {
  if (!icon) return line(key, "none");
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return line(key, "unreadable");
  BITMAP bm{};
  const HBITMAP shape = info.hbmColor ? info.hbmColor : info.hbmMask;
  GetObjectW(shape, sizeof bm, &bm);
  const int height = info.hbmColor ? bm.bmHeight : bm.bmHeight / 2;  // a mask holds AND over XOR
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  return line(key, number(bm.bmWidth) + "x" + number(height));
}

std::string iconFacts(HWND hwnd) {
  std::string out;
  out += iconSize("icon_big", reinterpret_cast<HICON>(SendMessageW(hwnd, WM_GETICON, ICON_BIG, 0)));
  out += iconSize("icon_small", reinterpret_cast<HICON>(SendMessageW(hwnd, WM_GETICON, ICON_SMALL, 0)));
  out += iconSize("class_icon", reinterpret_cast<HICON>(GetClassLongPtrW(hwnd, GCLP_HICON)));
  return out;
}

// Which standard icon a message box shows: its icon static holds the shared
// handle that LoadIcon returns for that icon in this process.
std::string boxIconFacts(HWND box) {
  HICON shown = nullptr;
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
      shown = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
      if (IsWindowVisible(child) && shown) break;
    }
  }
  if (!shown) return line("icon", "none");
  struct Known {
    const wchar_t* id;
    const char* name;
  };
  const Known known[] = {
      {IDI_EXCLAMATION, "exclamation"}, {IDI_HAND, "hand"}, {IDI_QUESTION, "question"}, {IDI_ASTERISK, "asterisk"}};
  for (const Known& k : known)
    if (LoadIconW(nullptr, k.id) == shown) return line("icon", k.name);
  return line("icon", "other");
}

std::string tooltipFacts(HWND tip) {
  std::string out;
  wchar_t title[256] = {};
  TTGETTITLE gt{};
  gt.dwSize = sizeof gt;
  gt.cch = 256;
  gt.pszTitle = title;
  SendMessageW(tip, TTM_GETTITLE, 0, reinterpret_cast<LPARAM>(&gt));
  out += line("title", escaped(title));
  out += line("title_icon", number(static_cast<long long>(gt.uTitleBitmap)));
  const auto count = static_cast<int>(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0));
  out += line("tools", number(count));
  for (int i = 0; i < count; ++i) {
    TTTOOLINFOW ti{};
    ti.cbSize = sizeof ti;
    if (!SendMessageW(tip, TTM_ENUMTOOLSW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&ti))) continue;
    wchar_t text[1024] = {};
    TTTOOLINFOW query{};
    query.cbSize = sizeof query;
    query.hwnd = ti.hwnd;
    query.uId = ti.uId;
    query.lpszText = text;
    SendMessageW(tip, TTM_GETTEXTW, 1024, reinterpret_cast<LPARAM>(&query));
    const std::string key = "tool." + number(i) + ".";
    out += key + "hwnd=" + hwndText(ti.hwnd) + "\n";
    out += key + "id=" + number(static_cast<long long>(ti.uId)) + "\n";
    out += key + "text=" + escaped(text) + "\n";
  }
  return out;
}

BOOL CALLBACK CountChild(HWND, LPARAM count) {
  ++*reinterpret_cast<long long*>(count);
  return TRUE;
}

BOOL CALLBACK CountOwnWindow(HWND hwnd, LPARAM count) {
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid != GetCurrentProcessId()) return TRUE;
  ++*reinterpret_cast<long long*>(count);
  EnumChildWindows(hwnd, &CountChild, count);
  return TRUE;
}

// What this process holds of GDI and of the window manager. Windows counts
// both (GetGuiResources); Wine answers 0 there, so its GDI objects are found
// by asking each possible handle index for its object type, and its USER
// objects are given as its windows.
std::string handleFacts() {
  std::string out;
  const DWORD gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  const DWORD user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  if (gdi > 0) {
    out += line("gdi", number(gdi));
    out += line("gdi_counted_by", "GetGuiResources");
  } else {
    long long objects = 0;
    for (std::uintptr_t index = 1; index <= 0xFFFF; ++index) {
      if (GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0) ++objects;
    }
    out += line("gdi", number(objects));
    out += line("gdi_counted_by", "handle-table");
  }
  long long windows = 0;
  EnumWindows(&CountOwnWindow, reinterpret_cast<LPARAM>(&windows));
  out += line("user", number(user > 0 ? user : windows));
  out += line("user_counted_by", user > 0 ? "GetGuiResources" : "windows");
  out += line("windows", number(windows));
  return out;
}

// The name a screen reader reads for the control, asked inside the program
// as an assistive program's hook would (no object crosses processes).
std::string accessibleNameFacts(HWND hwnd) {
  CoInitialize(nullptr);
  IAccessible* object = nullptr;
  if (FAILED(AccessibleObjectFromWindow(hwnd, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&object))))
    return line("error", "no accessible object");
  VARIANT self;
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR text = nullptr;
  const HRESULT got = object->get_accName(self, &text);
  object->Release();
  if (FAILED(got)) return line("error", "no accessible name");
  const std::string out = line("name", escaped(text ? std::wstring(text) : std::wstring()));
  SysFreeString(text);
  return out;
}

std::string answer(const std::wstring& request, HWND hwnd) {
  if (request == L"accname") return accessibleNameFacts(hwnd);
  if (request == L"handles") return handleFacts();
  if (request == L"font") return fontFacts(hwnd);
  if (request == L"icons") return iconFacts(hwnd);
  if (request == L"boxicon") return boxIconFacts(hwnd);
  if (request == L"tooltip") return tooltipFacts(hwnd);
  return line("error", "unknown request " + escaped(request));
}

void serve(HWND hwnd, DWORD probePid) {
  const std::wstring suffix = std::to_wstring(probePid);
  HANDLE mapping = OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, (probe::kMappingPrefix + suffix).c_str());
  HANDLE done = OpenEventW(EVENT_MODIFY_STATE, FALSE, (probe::kEventPrefix + suffix).c_str());
  if (mapping && done) {
    auto* exchange =
        static_cast<probe::Exchange*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(probe::Exchange)));
    if (exchange) {
      const std::wstring reply = probe::wide(answer(exchange->request, hwnd));
      const size_t n = std::min(reply.size(), std::size(exchange->reply) - 1);
      reply.copy(exchange->reply, n);
      exchange->reply[n] = L'\0';
      UnmapViewOfFile(exchange);
      SetEvent(done);
    }
  }
  if (done) CloseHandle(done);
  if (mapping) CloseHandle(mapping);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK ProbeGetMessageHook(int code, WPARAM wParam, LPARAM lParam) {
  static const UINT queryMessage = RegisterWindowMessageW(probe::kQueryMessage);
  if (code == HC_ACTION && wParam == PM_REMOVE) {
    auto* msg = reinterpret_cast<MSG*>(lParam);
    if (msg->message == queryMessage) {
      serve(msg->hwnd, static_cast<DWORD>(msg->wParam));
      msg->message = WM_NULL;  // the window itself never sees the query
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
