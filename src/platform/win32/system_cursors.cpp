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

// Whether SetSystemCursor takes the cursor it is given, as Windows does (it
// destroys it), or only answers TRUE and leaves it to us, as Wine does.
enum class Taken { Unknown, Yes, No };
Taken g_systemTakesCursors = Taken::Unknown;

bool StillACursor(HCURSOR cursor) {
  ICONINFO info{};
  if (!GetIconInfo(cursor, &info)) return false;
  if (info.hbmMask) DeleteObject(info.hbmMask);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  return true;
}

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
// copy. A copy the system refused, or kept no hold of, is still ours to
// destroy: every hide would leak seventeen otherwise.
void ReplaceSystemCursors(HCURSOR blank) {
  for (const DWORD id : kSystemCursorIds) {
    const HCURSOR copy = CopyCursor(blank);
    if (!copy) continue;
    if (!SetSystemCursor(copy, id)) {
      DestroyCursor(copy);
      continue;
    }
    if (g_systemTakesCursors == Taken::Unknown) g_systemTakesCursors = StillACursor(copy) ? Taken::No : Taken::Yes;
    if (g_systemTakesCursors == Taken::No) DestroyCursor(copy);
  }
}

void RestoreSystemCursors() noexcept { SystemParametersInfoW(SPI_SETCURSORS, 0, nullptr, 0); }

}  // namespace pellucor::win32
