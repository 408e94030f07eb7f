// The window's system menu and the Options dialog, laid out by the
// IDD_OPTIONS template. The dialog shows and reads; what it refuses, and
// what the choices become, the portable code decides (the judge).

#include <windows.h>
// After windows.h, whose types they use.
#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <initializer_list>
#include <string>

#include "platform/win32/system_library.h"
#include "platform/win32/text.h"
#include "platform/win32/win32_platform.h"
#include "resource.h"

namespace pellucor::win32 {
namespace {

// What the dialog procedure works on, from WM_INITDIALOG to the end.
struct OptionsDialogState {
  Win32Platform* platform = nullptr;
  OptionsFields* fields = nullptr;  // the caller's; written only at an accepted OK
  std::wstring boxCaption;
  const OptionsJudge* judge = nullptr;
};

std::wstring ItemText(HWND dialog, int id) { return WindowText(GetDlgItem(dialog, id)); }

bool Ticked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

void Tick(HWND dialog, int id, bool on) { CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED); }

// A hot-key control holds the key in the low byte and HOTKEYF_ flags in the
// high byte; it knows no Windows key.
void SetChord(HWND dialog, int id, const KeyChord& chord) {
  const BYTE flags = static_cast<BYTE>((chord.shift ? HOTKEYF_SHIFT : 0) | (chord.ctrl ? HOTKEYF_CONTROL : 0) |
                                       (chord.alt ? HOTKEYF_ALT : 0));
  SendDlgItemMessageW(dialog, id, HKM_SETHOTKEY, MAKEWORD(static_cast<BYTE>(chord.key), flags), 0);
}

KeyChord ChordOf(HWND dialog, int id) {
  const auto held = static_cast<WORD>(SendDlgItemMessageW(dialog, id, HKM_GETHOTKEY, 0, 0));
  KeyChord chord;
  chord.key = LOBYTE(held);
  chord.shift = (HIBYTE(held) & HOTKEYF_SHIFT) != 0;
  chord.ctrl = (HIBYTE(held) & HOTKEYF_CONTROL) != 0;
  chord.alt = (HIBYTE(held) & HOTKEYF_ALT) != 0;
  return chord;
}

void Fill(HWND dialog, const OptionsFields& fields) {
  Tick(dialog, IDC_HIDE_TYPING, fields.hideWhileTyping);
  SetDlgItemTextW(dialog, IDC_PIXELS, Widen(fields.ignoredPixels).c_str());
  Tick(dialog, IDC_WHEEL, fields.wheelKeepsHidden);
  Tick(dialog, IDC_START_HIDING, fields.startHiding);
  SetDlgItemTextW(dialog, IDC_PROGRAMS, Widen(fields.programs).c_str());
  CheckRadioButton(dialog, IDC_LIST_NEVER, IDC_LIST_ONLY, fields.hideOnlyInListed ? IDC_LIST_ONLY : IDC_LIST_NEVER);
  Tick(dialog, IDC_FULL_SCREEN, fields.neverHideInFullScreen);
  SetChord(dialog, IDC_STOP_KEY, fields.stopKey);
  SetChord(dialog, IDC_HIDE_KEY, fields.hideKey);
  // What a policy sets is shown greyed, and the note says why.
  const ManagedFields& managed = fields.managed;
  const auto grey = [dialog](std::initializer_list<int> ids, bool managedHere) {
    for (const int id : ids) EnableWindow(GetDlgItem(dialog, id), managedHere ? FALSE : TRUE);
  };
  grey({IDC_HIDE_TYPING}, managed.hideWhileTyping);
  grey({IDC_PIXELS_LABEL, IDC_PIXELS, IDC_PIXELS_UNIT}, managed.ignoredPixels);
  grey({IDC_WHEEL}, managed.wheelKeepsHidden);
  grey({IDC_START_HIDING}, managed.startHiding);
  grey({IDC_LIST_NEVER, IDC_LIST_ONLY, IDC_PROGRAMS_LABEL, IDC_PROGRAMS, IDC_PROGRAMS_HELP, IDC_BROWSE},
       managed.programs);
  grey({IDC_FULL_SCREEN}, managed.neverHideInFullScreen);
  grey({IDC_STOP_KEY_LABEL, IDC_STOP_KEY}, managed.stopKey);
  grey({IDC_HIDE_KEY_LABEL, IDC_HIDE_KEY, IDC_HIDE_KEY_CLEAR, IDC_HIDE_KEY_NOTE}, managed.hideKey);
  ShowWindow(GetDlgItem(dialog, IDC_MANAGED_NOTE), managed.any() ? SW_SHOWNA : SW_HIDE);
}

OptionsFields Read(HWND dialog, const ManagedFields& managed) {
  OptionsFields fields;
  fields.hideWhileTyping = Ticked(dialog, IDC_HIDE_TYPING);
  fields.ignoredPixels = Narrow(ItemText(dialog, IDC_PIXELS));
  fields.wheelKeepsHidden = Ticked(dialog, IDC_WHEEL);
  fields.startHiding = Ticked(dialog, IDC_START_HIDING);
  fields.programs = Narrow(ItemText(dialog, IDC_PROGRAMS));
  fields.hideOnlyInListed = Ticked(dialog, IDC_LIST_ONLY);
  fields.neverHideInFullScreen = Ticked(dialog, IDC_FULL_SCREEN);
  fields.stopKey = ChordOf(dialog, IDC_STOP_KEY);
  fields.hideKey = ChordOf(dialog, IDC_HIDE_KEY);
  fields.managed = managed;
  return fields;
}

// "Browse...": the file name of a chosen program, on a line of its own at
// the list's end. The Open box comes from comdlg32 on first use.
void AddChosenProgram(HWND dialog, const Texts& texts) {
  using OpenBox = BOOL(WINAPI*)(OPENFILENAMEW*);
  const auto open = SystemFunction<OpenBox>(L"comdlg32.dll", "GetOpenFileNameW");
  if (!open) return;
  std::wstring chosen(32768, L'\0');
  OPENFILENAMEW box{};
  box.lStructSize = sizeof box;
  box.hwndOwner = dialog;
  // Each type's name, then its pattern; an empty string ends the list.
  const std::wstring filter = Widen(texts.textFor(IDS_BROWSE_PROGRAMS)) + std::wstring(L"\0*.exe\0", 7) +
                              Widen(texts.textFor(IDS_BROWSE_ALL_FILES)) + std::wstring(L"\0*.*\0\0", 6);
  box.lpstrFilter = filter.c_str();
  box.lpstrFile = chosen.data();
  box.nMaxFile = static_cast<DWORD>(chosen.size());
  box.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_DONTADDTORECENT;
  if (!open(&box)) return;
  chosen.resize(std::char_traits<wchar_t>::length(chosen.c_str()));
  const std::size_t slash = chosen.find_last_of(L"\\/");
  const std::wstring name = slash == std::wstring::npos ? chosen : chosen.substr(slash + 1);
  std::wstring list = ItemText(dialog, IDC_PROGRAMS);
  if (!list.empty() && list.back() != L'\n') list += L"\r\n";
  list += name;
  const HWND programs = GetDlgItem(dialog, IDC_PROGRAMS);
  SetWindowTextW(programs, list.c_str());
  SendMessageW(programs, EM_SETSEL, list.size(), list.size());
  SendMessageW(programs, EM_SCROLLCARET, 0, 0);
}

// Refused: the user reads why, and is back in the field with its text.
void ShowRefusal(HWND dialog, const Refusal& refusal, const std::wstring& caption, bool rightToLeft) {
  MessageBoxW(dialog, Widen(refusal.message).c_str(), caption.c_str(),
              MB_OK | MB_ICONEXCLAMATION | (rightToLeft ? MB_RTLREADING | MB_RIGHT : 0));
  int id = IDC_PROGRAMS;
  switch (refusal.field) {
    case OptionsField::IgnoredPixels:
      id = IDC_PIXELS;
      break;
    case OptionsField::Programs:
      break;
    case OptionsField::StopKey:
      id = IDC_STOP_KEY;
      break;
    case OptionsField::HideKey:
      id = IDC_HIDE_KEY;
      break;
  }
  const HWND field = GetDlgItem(dialog, id);
  SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(field), TRUE);
  if (id == IDC_PIXELS || id == IDC_PROGRAMS) SendMessageW(field, EM_SETSEL, 0, -1);
}

}  // namespace

void Win32Platform::addSystemMenuItems(const std::vector<MenuItem>& items, MenuEvents& events) {
  menuEvents_ = &events;
  const HMENU menu = GetSystemMenu(window_, FALSE);
  if (!menu || items.empty()) return;
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  for (const MenuItem& item : items) {
    // The system keeps the low four bits of a system command for itself.
    if (AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(item.id & 0xFFF0), Widen(item.text).c_str()))
      menuItems_.push_back(item.id & 0xFFF0);
  }
}

bool Win32Platform::onSystemCommand(WPARAM command) {
  const int id = static_cast<int>(command & 0xFFF0);
  if (std::find(menuItems_.begin(), menuItems_.end(), id) == menuItems_.end()) return false;
  deliver(menuEvents_, [id](MenuEvents& e) { e.onMenuCommand(id); });
  return true;
}

INT_PTR CALLBACK Win32Platform::OptionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    reinterpret_cast<OptionsDialogState*>(lParam)->platform->sayOptionsInLanguage(dialog);
    Fill(dialog, *reinterpret_cast<OptionsDialogState*>(lParam)->fields);
    // The first control may be greyed by a policy: the focus goes to the
    // first one the user can use.
    if (IsWindowEnabled(reinterpret_cast<HWND>(wParam))) return TRUE;
    SetFocus(GetNextDlgTabItem(dialog, nullptr, FALSE));
    return FALSE;
  }
  auto* state = reinterpret_cast<OptionsDialogState*>(GetWindowLongPtrW(dialog, DWLP_USER));
  if (!state || message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return FALSE;
  switch (LOWORD(wParam)) {
    case IDOK:
      try {
        OptionsFields fields = Read(dialog, state->fields->managed);
        if (const auto refusal = (*state->judge)(fields)) {
          ShowRefusal(dialog, *refusal, state->boxCaption, state->platform->rightToLeft());
          return TRUE;
        }
        *state->fields = std::move(fields);
      } catch (...) {
        state->platform->holdFailure();  // thrown again once the dialog is gone
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      EndDialog(dialog, IDOK);
      return TRUE;
    case IDCANCEL:
      EndDialog(dialog, IDCANCEL);
      return TRUE;
    case IDC_BROWSE:
      AddChosenProgram(dialog, *state->platform);
      return TRUE;
    case IDC_HIDE_KEY_CLEAR:
      SetChord(dialog, IDC_HIDE_KEY, {});
      return TRUE;
    default:
      return FALSE;
  }
}

bool Win32Platform::runOptionsDialog(OptionsFields& fields, std::string_view boxCaption, const OptionsJudge& judge) {
  OptionsDialogState state{this, &fields, Widen(boxCaption), &judge};
  ULONG_PTR cookie = 0;
  const bool activated = activateBoxesContext(cookie);
  // The hot-key controls' class, from the Common Controls the context names.
  using InitControls = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  if (const auto init = SystemFunction<InitControls>(L"comctl32.dll", "InitCommonControlsEx")) {
    const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_HOTKEY_CLASS};
    init(&classes);
  }
  const BoxOpen open(openBoxes_);
  const std::vector<unsigned char> dialogTemplate = optionsTemplate();
  const INT_PTR result =
      DialogBoxIndirectParamW(instance_, reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.data()), window_,
                              &Win32Platform::OptionsDialogProc, reinterpret_cast<LPARAM>(&state));
  if (activated) DeactivateActCtx(0, cookie);
  rethrowPendingFailure();
  return result == IDOK;
}

}  // namespace pellucor::win32
