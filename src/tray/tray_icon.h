#pragma once

// A notification-area icon for the window that hosts it: adds and removes
// the icon, sets its picture and tip, shows balloons, and turns the shell's
// mouse messages for the icon into events. Knows nothing of its host beyond
// the ControlHost interface. Lives and is called on the GUI thread.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/clock.h"
#include "platform/message_loop.h"
#include "platform/tray_shell.h"

namespace pellucor {

// A picture object as the host and the control share it.
struct Picture {
  static constexpr int kIcon = 3;
  int type = kIcon;
  IconHandle handle = 0;
};
using PictureRef = std::shared_ptr<const Picture>;

// What a control may ask of the window that hosts it.
class ControlHost {
 public:
  // False in a layout designer, true when the program runs.
  virtual bool UserMode() const = 0;
  // A stored property changed; a designer marks its layout modified.
  virtual void PropertyChanged(std::string_view name) = 0;

 protected:
  ~ControlHost() = default;
};

// The stored properties of one control instance, by name.
struct PropertyBag {
  std::map<std::string, bool> booleans;
  std::map<std::string, PictureRef> pictures;
  std::map<std::string, std::string> texts;
};

// Tray messages come to the control's window as this message.
inline constexpr std::uint32_t kTrayCallbackMessage = 0x0400 + 101;  // WM_USER + 101

class TrayIcon {
 public:
  TrayIcon(TrayShell& shell, MessageLoop& loop, Clock& clock, ControlHost& host);
  ~TrayIcon();
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  // Loads the host's stored properties, as a host does when it creates
  // its window at run time.
  void ReadProperties(const PropertyBag& bag);

  const PictureRef& IconPicture() const { return trayIcon_; }
  void setIconPicture(const PictureRef& picture);
  const std::string& TrayTip() const { return trayTip_; }
  void setTrayTip(std::string_view tip);
  bool InTray() const { return inTray_; }
  void setInTray(bool inTray);

  // Throws Failure(Overflow) before anything is sent when seconds * 1000
  // does not fit 32 bits. Never waits while the icon is missing: the
  // balloon then shows when the icon does.
  void ShowBalloon(std::string_view text, std::string_view title, std::int32_t seconds, bool once);
  // Forgets a balloon still waiting for the icon, which the host no longer
  // wants said; a once-only one counts as not shown.
  void DropPendingBalloon();
  // Ends the wait of a ShowBalloon under way at once; the balloon stays for
  // its time and a timer takes it down.
  void EndBalloonWait();
  // Takes a balloon that shows down now (and ends any wait for it).
  void HideBalloon();

  std::function<void(std::int32_t id)> MouseMove;
  std::function<void(std::int16_t button, std::int32_t id)> MouseDown;
  std::function<void(std::int16_t button, std::int32_t id)> MouseUp;
  std::function<void(std::int16_t button, std::int32_t id)> MouseDblClick;

  std::intptr_t ControlWindow() const { return controlWindow_; }
  std::int32_t IconId() const { return iconId_; }
  bool IconAdded() const { return iconAdded_; }
  // The shell shows the icon: it took the add. While the icon is added but
  // not shown, the control keeps asking.
  bool IconShown() const { return iconShown_; }
  bool Retrying() const { return retrying_; }
  bool BalloonShowing() const { return balloonShowing_; }
  std::int32_t OnceCount() const { return onceCount_; }

 private:
  friend std::intptr_t TrayWindowProc(TrayShell&, std::intptr_t, std::uint32_t, std::uintptr_t, std::intptr_t);

  // True when the shell has the icon.
  bool AddIcon(std::intptr_t window, std::int32_t id, const std::string& tip, const PictureRef& icon);
  void DeleteIcon(std::intptr_t window, std::int32_t id);
  void HandleTrayMessage(std::intptr_t code, std::uintptr_t id);
  void HandleTimer(std::uintptr_t timerId);
  void ReAddIcon();
  // Adds the icon; if the shell refuses, keeps trying until it takes it.
  void AddOrKeepTrying();
  void StartRetrying();
  void StopRetrying();
  void RetryAdd();
  void IconArrived();
  bool SendModify(const NotifyIconData& data);
  void TakeDownBalloon(std::uint32_t timeout);
  NotifyIconData record() const;

  TrayShell& shell_;
  MessageLoop& loop_;  // pumps while a balloon shows
  Clock& clock_;
  ControlHost& host_;
  bool inTray_ = false;
  std::int32_t iconId_ = 0;
  std::string trayTip_;
  std::intptr_t controlWindow_ = 0;
  PictureRef trayIcon_;
  PictureRef surfacePicture_;  // what the control shows in a designer
  bool iconAdded_ = false;
  bool iconShown_ = false;
  bool retrying_ = false;
  double failedSince_ = 0;
  // A balloon asked for while the icon was missing, shown when it arrives.
  std::optional<NotifyIconData> pendingBalloon_;
  bool pendingOnce_ = false;
  std::uint32_t lastBalloonTimeout_ = 0;
  bool balloonShowing_ = false;
  // The host has no more time for the balloon's wait: the balloon stays for
  // its time, or goes now.
  enum class WaitEnd { No, KeepBalloon, TakeDown };
  WaitEnd waitEnd_ = WaitEnd::No;
  bool takeDownDue_ = false;  // a balloon shows that the control still has to take down
  std::int32_t onceCount_ = 0;
  std::uint32_t taskbarCreated_ = 0;
  // The procedure TrayWindowProc replaced. One per instance, so two controls
  // in the tray at once cannot put back each other's.
  WindowProcToken previousWindowProc_ = 0;
  bool terminating_ = false;
};

// Installed on the control's window while its icon is in the tray: hands the
// shell's messages to the control and everything on to the previous procedure.
std::intptr_t TrayWindowProc(TrayShell& shell, std::intptr_t window, std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam);

}  // namespace pellucor
