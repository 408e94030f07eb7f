#include "platform/win32/system_cursors.h"

#include <array>

namespace pellucor::win32 {
namespace {

constexpr int kBlankSize = 32;

// The standard cursors a program can show; the last four exist only on
// newer systems, where setting them may fail without harm.
constexpr std::array<DWORD, 17> kSystemCursorIds = {
    OCR_NORMAL, OCR_IBEAM,  OCR_WAIT,    OCR_CROSS, OCR_UP,   OCR_SIZENWSE,    OCR_SIZENESW,
    OCR_SIZEWE, OCR_SIZENS, OCR_SIZEALL, OCR_NO,    OCR_HAND, OCR_APPSTARTING,
    32651,  // help
    32631,  // handwriting (pen)
    32671,  // pin
    32672,  // person
};

}  // namespace

// Screen = (screen AND mask) XOR image: all ones and all zeros leave every
// pixel as it was.
UniqueCursor MakeBlankCursor(HINSTANCE instance) {
  constexpr std::size_t kMaskBytes = kBlankSize * kBlankSize / 8;
  std::array<BYTE, kMaskBytes> andMask;
  std::array<BYTE, kMaskBytes> xorMask;
  andMask.fill(0xFF);
  xorMask.fill(0x00);
  return UniqueCursor(CreateCursor(instance, 0, 0, kBlankSize, kBlankSize, andMask.data(), xorMask.data()));
}

// SetSystemCursor destroys the cursor it is given, so each id gets a fresh
// copy. A copy the system refused is still ours to destroy.
void ReplaceSystemCursors(HCURSOR blank) {
  for (const DWORD id : kSystemCursorIds) {
    const HCURSOR copy = CopyCursor(blank);
    if (!copy) continue;
    if (!SetSystemCursor(copy, id)) DestroyCursor(copy);
  }
}

void RestoreSystemCursors() noexcept { SystemParametersInfoW(SPI_SETCURSORS, 0, nullptr, 0); }

}  // namespace pellucor::win32
