// The cursor: this thread's display count, the position, the system
// cursors of the whole desktop, and the form's own pointer.

#include "platform/failure.h"
#include "platform/win32/system_cursors.h"
#include "platform/win32/text.h"
#include "platform/win32/win32_platform.h"

namespace pellucor::win32 {

bool Win32Platform::pointerSonarOn() {
  BOOL on = FALSE;
  return SystemParametersInfoW(SPI_GETMOUSESONAR, 0, &on, 0) && on;
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

}  // namespace pellucor::win32
