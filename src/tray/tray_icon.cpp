#include "tray/tray_icon.h"

#include <limits>

#include "platform/failure.h"

namespace pellucor {
namespace {

constexpr std::size_t kTipChars = 127;
constexpr std::size_t kInfoChars = 255;
constexpr std::size_t kInfoTitleChars = 63;
constexpr const char* kDefaultTip = "Telnet Server";
constexpr std::uint32_t kWmTimer = 0x0113;
// The control window's timers.
constexpr unsigned kRetryTimer = 1;
constexpr unsigned kBalloonTimer = 2;
constexpr unsigned kRetryEarlyMs = 2000;
constexpr unsigned kRetryLateMs = 30000;
constexpr double kRetryEarlySeconds = 120.0;

// The first `count` characters of a UTF-8 text: what fits the record's field
// in front of its NUL.
std::string Cut(std::string_view text, std::size_t count) {
  std::size_t chars = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && chars++ == count) return std::string(text.substr(0, i));
  }
  return std::string(text);
}

enum : std::intptr_t {
  kMouseMove = 0x200,
  kLeftDown = 0x201,
  kLeftUp = 0x202,
  kLeftDoubleClick = 0x203,
  kRightDown = 0x204,
  kRightUp = 0x205,
  kRightDoubleClick = 0x206,
  kBalloonHide = 0x403,
  kBalloonTimeout = 0x404,
  kBalloonUserClick = 0x405,
};

}  // namespace

TrayIcon::TrayIcon(TrayShell& shell, MessageLoop& loop, Clock& clock, ControlHost& host)
    : shell_(shell),
      loop_(loop),
      clock_(clock),
      host_(host),
      controlWindow_(shell.createControlWindow()),
      surfacePicture_(std::make_shared<Picture>(Picture{Picture::kIcon, shell.trayIcon()})),
      taskbarCreated_(shell.registerWindowMessage("TaskbarCreated")) {
  // Explorer runs with the user's normal rights: an elevated copy hears it
  // only if its messages are let through. A plain copy hears it anyway, and
  // letting them through would let in sandboxed programs too.
  if (shell_.runsElevated()) {
    shell_.acceptFromLowerRights(controlWindow_, kTrayCallbackMessage);
    shell_.acceptFromLowerRights(controlWindow_, taskbarCreated_);
  }
}

TrayIcon::~TrayIcon() {
  // The host is going too, so it is not told of this last change.
  terminating_ = true;
  if (inTray_) setInTray(false);
  shell_.destroyControlWindow(controlWindow_);
}

void TrayIcon::ReadProperties(const PropertyBag& bag) {
  const auto boolean = bag.booleans.find("InTray");
  setInTray(boolean != bag.booleans.end() ? boolean->second : false);
  const auto picture = bag.pictures.find("TrayIcon");
  setIconPicture(picture != bag.pictures.end() ? picture->second : surfacePicture_);
  const auto text = bag.texts.find("TrayTip");
  setTrayTip(text != bag.texts.end() ? text->second : std::string(kDefaultTip));
}

NotifyIconData TrayIcon::record() const {
  NotifyIconData data;
  data.window = controlWindow_;
  data.id = static_cast<std::uint32_t>(iconId_);
  return data;
}

void TrayIcon::setInTray(bool inTray) {
  if (inTray == inTray_) return;
  if (inTray) {
    if (host_.UserMode()) {
      // The procedure goes in before the icon, so no tray message can
      // arrive without it.
      previousWindowProc_ = shell_.subclassWindow(controlWindow_, &TrayWindowProc);
      shell_.setWindowUserData(controlWindow_, reinterpret_cast<std::intptr_t>(this));
      iconAdded_ = true;
      AddOrKeepTrying();
    }
  } else if (iconAdded_) {
    StopRetrying();
    shell_.killWindowTimer(controlWindow_, kBalloonTimer);
    pendingBalloon_.reset();
    if (iconShown_) DeleteIcon(controlWindow_, iconId_);
    shell_.restoreWindowProc(controlWindow_, previousWindowProc_);
    iconAdded_ = false;
    iconShown_ = false;
  }
  inTray_ = inTray;
  if (!terminating_) host_.PropertyChanged("InTray");
}

// A refused add may still have reached the shell (at logon it answers late):
// if the icon can be modified, it is there.
bool TrayIcon::AddIcon(std::intptr_t window, std::int32_t id, const std::string& tip, const PictureRef& icon) {
  NotifyIconData data;
  data.window = window;
  data.id = static_cast<std::uint32_t>(id);
  if (icon) {
    data.icon = icon->handle;
    data.flags |= kNifIcon;
    trayIcon_ = icon;
  }
  if (!tip.empty()) {
    data.tip = Cut(tip, kTipChars);
    data.flags |= kNifTip;
    trayTip_ = tip;
  }
  data.callbackMessage = kTrayCallbackMessage;
  data.flags |= kNifMessage;
  return shell_.shellNotifyIcon(kNimAdd, data) || shell_.shellNotifyIcon(kNimModify, data);
}

void TrayIcon::AddOrKeepTrying() {
  if (AddIcon(controlWindow_, iconId_, trayTip_, trayIcon_)) {
    IconArrived();
  } else {
    iconShown_ = false;
    StartRetrying();
  }
}

// Every 2 s for the first two minutes, then every 30 s, for as long as the
// icon is wanted and missing.
void TrayIcon::StartRetrying() {
  if (retrying_) return;
  retrying_ = true;
  failedSince_ = clock_.monotonicSeconds();
  shell_.setWindowTimer(controlWindow_, kRetryTimer, kRetryEarlyMs);
}

void TrayIcon::StopRetrying() {
  if (!retrying_) return;
  retrying_ = false;
  shell_.killWindowTimer(controlWindow_, kRetryTimer);
}

void TrayIcon::RetryAdd() {
  if (!iconAdded_ || iconShown_) return StopRetrying();
  if (AddIcon(controlWindow_, iconId_, trayTip_, trayIcon_)) {
    IconArrived();
    return;
  }
  const bool early = clock_.monotonicSeconds() - failedSince_ < kRetryEarlySeconds;
  shell_.setWindowTimer(controlWindow_, kRetryTimer, early ? kRetryEarlyMs : kRetryLateMs);
}

void TrayIcon::IconArrived() {
  iconShown_ = true;
  StopRetrying();
  if (!pendingBalloon_) return;
  // Shown now, without the wait: the wait belongs to whoever asked, long gone.
  const NotifyIconData balloon = *pendingBalloon_;
  pendingBalloon_.reset();
  if (!SendModify(balloon)) return;
  balloonShowing_ = true;
  if (balloon.timeout == 0) return;
  takeDownDue_ = true;
  shell_.setWindowTimer(controlWindow_, kBalloonTimer, balloon.timeout);
}

// A modification the shell refuses means the icon is gone (Explorer ended):
// it is added again as soon as the shell takes it.
bool TrayIcon::SendModify(const NotifyIconData& data) {
  if (shell_.shellNotifyIcon(kNimModify, data)) return true;
  iconShown_ = false;
  StartRetrying();
  return false;
}

void TrayIcon::TakeDownBalloon(std::uint32_t timeout) {
  NotifyIconData takeDown = record();
  takeDown.flags = kNifInfo;
  takeDown.timeout = timeout;
  shell_.shellNotifyIcon(kNimModify, takeDown);
}

void TrayIcon::HandleTimer(std::uintptr_t timerId) {
  if (timerId == kRetryTimer) {
    RetryAdd();
  } else if (timerId == kBalloonTimer) {
    shell_.killWindowTimer(controlWindow_, kBalloonTimer);
    takeDownDue_ = false;
    if (balloonShowing_ && iconShown_) TakeDownBalloon(lastBalloonTimeout_);
  }
}

void TrayIcon::DeleteIcon(std::intptr_t window, std::int32_t id) {
  NotifyIconData data;
  data.window = window;
  data.id = static_cast<std::uint32_t>(id);
  shell_.shellNotifyIcon(kNimDelete, data);
}

void TrayIcon::setIconPicture(const PictureRef& picture) {
  if (!picture || picture->type != Picture::kIcon) return;
  // While the icon is missing, the next add carries the new picture.
  if (iconAdded_ && iconShown_) {
    NotifyIconData data = record();
    data.flags = kNifIcon;
    data.icon = picture->handle;
    SendModify(data);
  }
  trayIcon_ = picture;
  host_.PropertyChanged("TrayIcon");
}

void TrayIcon::setTrayTip(std::string_view tip) {
  if (iconAdded_ && iconShown_) {
    NotifyIconData data = record();
    data.flags = kNifTip;
    data.tip = Cut(tip, kTipChars);
    SendModify(data);
  }
  trayTip_ = std::string(tip);
  host_.PropertyChanged("TrayTip");
}

void TrayIcon::ShowBalloon(std::string_view text, std::string_view title, std::int32_t seconds, bool once) {
  if (once && onceCount_ >= 1) return;
  NotifyIconData data = record();
  data.flags = kNifInfo;
  data.infoTitle = Cut(title, kInfoTitleChars);
  data.info = Cut(text, kInfoChars);
  if (seconds > 0) {
    if (seconds > std::numeric_limits<std::int32_t>::max() / 1000) throw Failure(failure_text::kOverflow);
    data.timeout = static_cast<std::uint32_t>(seconds * 1000);
  }
  if (once) ++onceCount_;
  lastBalloonTimeout_ = data.timeout;
  // No icon yet (the shell refused it, or it is not in the tray): the balloon
  // shows when the icon does, and nobody waits for it.
  if (!iconShown_ || !SendModify(data)) {
    pendingBalloon_ = data;
    pendingOnce_ = once;
    balloonShowing_ = false;
    return;
  }
  balloonShowing_ = true;
  if (seconds <= 0) return;

  // Wait for the balloon to go, keeping the window responsive. Time comes from
  // a monotonic clock: a wait across midnight must not last a day.
  const double start = clock_.monotonicSeconds();
  waitEnd_ = WaitEnd::No;
  double left = static_cast<double>(seconds);
  for (;;) {
    left = static_cast<double>(seconds) - (clock_.monotonicSeconds() - start);
    if (left <= 0 || !balloonShowing_ || waitEnd_ != WaitEnd::No) break;
    loop_.processPendingMessages();
    if (!balloonShowing_ || waitEnd_ != WaitEnd::No) break;
    loop_.waitForMessages(static_cast<double>(seconds) - (clock_.monotonicSeconds() - start));
  }
  if (!balloonShowing_ || !iconShown_) return;
  if (waitEnd_ == WaitEnd::KeepBalloon && left > 0) {
    // Cut short: the balloon still gets its time, without anyone waiting.
    takeDownDue_ = true;
    shell_.setWindowTimer(controlWindow_, kBalloonTimer, static_cast<unsigned>(left * 1000.0) + 1);
    return;
  }
  TakeDownBalloon(data.timeout);
}

void TrayIcon::EndBalloonWait() {
  if (waitEnd_ == WaitEnd::No) waitEnd_ = WaitEnd::KeepBalloon;
}

void TrayIcon::HideBalloon() {
  waitEnd_ = WaitEnd::TakeDown;  // a wait under way takes it down as it ends
  if (!takeDownDue_) return;
  takeDownDue_ = false;
  shell_.killWindowTimer(controlWindow_, kBalloonTimer);
  if (balloonShowing_ && iconShown_) TakeDownBalloon(lastBalloonTimeout_);
}

void TrayIcon::DropPendingBalloon() {
  if (!pendingBalloon_) return;
  pendingBalloon_.reset();
  if (pendingOnce_ && onceCount_ > 0) --onceCount_;
}

void TrayIcon::HandleTrayMessage(std::intptr_t code, std::uintptr_t wParam) {
  const auto id = static_cast<std::int32_t>(wParam);
  const auto raise = [](const auto& event, auto... args) {
    if (event) event(args...);
  };
  switch (code) {
    case kMouseMove:
      raise(MouseMove, id);
      break;
    case kLeftDown:
      raise(MouseDown, std::int16_t{1}, id);
      break;
    case kLeftUp:
      raise(MouseUp, std::int16_t{1}, id);
      break;
    case kLeftDoubleClick:
      raise(MouseDblClick, std::int16_t{1}, id);
      break;
    case kRightDown:
      raise(MouseDown, std::int16_t{2}, id);
      break;
    case kRightUp:
      raise(MouseUp, std::int16_t{2}, id);
      break;
    case kRightDoubleClick:
      raise(MouseDblClick, std::int16_t{2}, id);
      break;
    case kBalloonHide:
    case kBalloonTimeout:
    case kBalloonUserClick:
      balloonShowing_ = false;
      takeDownDue_ = false;
      shell_.killWindowTimer(controlWindow_, kBalloonTimer);
      break;
    default:
      break;
  }
}

// Explorer (re)started and its tray forgot every icon: put ours back as it
// was, or keep trying.
void TrayIcon::ReAddIcon() {
  if (iconAdded_) AddOrKeepTrying();
}

std::intptr_t TrayWindowProc(TrayShell& shell, std::intptr_t window, std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam) {
  // The window holds the control's address but no reference: the control
  // puts the previous procedure back before it goes.
  auto* control = reinterpret_cast<TrayIcon*>(shell.windowUserData(window));
  if (message == kTrayCallbackMessage) {
    control->HandleTrayMessage(lParam, wParam);
  } else if (message == control->taskbarCreated_) {
    control->ReAddIcon();
  } else if (message == kWmTimer) {
    control->HandleTimer(wParam);
  }
  return shell.callWindowProc(control->previousWindowProc_, window, message, wParam, lParam);
}

}  // namespace pellucor
