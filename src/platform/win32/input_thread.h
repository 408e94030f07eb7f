#pragma once

// The thread the low-level keyboard hook and the mouse watch live on. It does
// nothing but take its own messages, so Windows never waits on the busy GUI
// thread (reloading cursor files, talking to a hung Explorer, starting a
// process) for a key or a mouse move of the desktop, and never drops the hook
// for taking too long. It reports to the form's window by posting and never
// waits on anyone; the GUI thread reaches it by sent messages that it answers
// at once.

#include <windows.h>

#include <atomic>
#include <vector>

#include "platform/win32/handles.h"

namespace pellucor::win32 {

class InputThread {
 public:
  InputThread() = default;
  // Ends the thread; the hooks and the watch it holds go with it.
  ~InputThread();
  InputThread(const InputThread&) = delete;
  InputThread& operator=(const InputThread&) = delete;

  // The window reports are posted to (null: none), and the message a mouse
  // report is posted as. Any thread.
  void reportTo(HWND window, UINT mouseInputMessage);
  // Posts `message` to the report window; from the input thread (the hook).
  void post(UINT message) const;

  // GUI thread. Installs `proc` as a low-level keyboard hook on the input
  // thread, starting the thread first if need be; null when it cannot.
  HHOOK hookKeyboard(HOOKPROC proc);
  void unhookKeyboard(HHOOK hook);
  // GUI thread. Raw mouse input for the input thread while on: the first
  // use of the mouse after a report has been handled posts another. False
  // when Windows refused it.
  bool watchMouse(bool on);
  // GUI thread, handling a mouse report: what the input since the last one
  // did (kMouseMoved, kMouseButton, kMouseWheel); the next input posts anew.
  unsigned takeMouseReport() {
    mouseReportPosted_ = false;
    return mouseUses_.exchange(0);
  }

  // GUI thread: ends the thread now and waits until it has ended, however
  // long that takes (the destructor does it too).
  void stop();

 private:
  bool start();
  LRESULT call(UINT message, WPARAM wParam, LPARAM lParam);
  static DWORD WINAPI Main(void* self);
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // On the input thread.
  LRESULT handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  bool registerMouse(HWND window, bool on);
  void onRawInput(HRAWINPUT input);

  UniqueHandle thread_;
  UniqueHandle ready_;     // set once the thread's window exists (or could not be made)
  HWND window_ = nullptr;  // the thread's message-only window; published through ready_
  std::atomic<HWND> reportWindow_{nullptr};
  std::atomic<UINT> mouseInputMessage_{0};
  std::atomic<bool> mouseReportPosted_{false};
  std::atomic<unsigned> mouseUses_{0};
  // The input thread's own: its hooks and whether the mouse is watched.
  std::vector<HHOOK> hooks_;
  bool watching_ = false;
};

}  // namespace pellucor::win32
