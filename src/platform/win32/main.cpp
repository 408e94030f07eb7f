#include <windows.h>
#include <commctrl.h>

#include <exception>
#include <string>

#include "app/app.h"
#include "platform/win32/text.h"
#include "platform/win32/win32_platform.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // Later DLL loads come from System32 only, never from the program's folder.
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);

  INITCOMMONCONTROLSEX commonControls{};
  commonControls.dwSize = sizeof commonControls;
  commonControls.dwICC = ICC_STANDARD_CLASSES;
  InitCommonControlsEx(&commonControls);

  try {
    pellucor::win32::Win32Platform platform(instance);
    return pellucor::runPellucor(platform);
  } catch (const std::exception& failure) {
    // A failure no handler guards ends the program, as a run-time error would.
    const std::wstring text = pellucor::win32::Widen(failure.what());
    MessageBoxW(nullptr, text.c_str(), nullptr, MB_OK | MB_ICONERROR);
    return 1;
  }
}
