#include "app/app.h"

#include "app/main_window.h"

namespace pellucor {
namespace {

// The first copy may still be starting, its window not yet made.
constexpr double kFindOtherCopySeconds = 10.0;

}  // namespace

bool AnotherCopyHoldsTheClaim(std::int32_t claim) {
  // A copy running elevated made the claim with rights this process lacks:
  // refused, it still says a copy runs.
  return claim == kErrorAlreadyExists || claim == kErrorAccessDenied;
}

int runPellucor(Platform& platform) {
  // A second copy would fight the first over the system cursors: it only
  // brings the first one's window forward, as a click on its tray icon would.
  // A claim that cannot be made at all lets the program start: starting
  // beats not starting.
  if (AnotherCopyHoldsTheClaim(platform.claimOnlyCopy()))
    return platform.askOtherCopyToShow(kFindOtherCopySeconds) ? 0 : 1;
  MainWindow form(platform);
  form.create();
  form.show();
  return platform.runMessageLoop();
}

}  // namespace pellucor
