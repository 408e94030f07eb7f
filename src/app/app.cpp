#include "app/app.h"

#include "app/form1.h"

namespace pellucor {
namespace {

// The first copy may still be starting, its window not yet made.
constexpr double kFindOtherCopySeconds = 10.0;

}  // namespace

int runPellucor(Platform& platform) {
  // A second copy would fight the first over the system cursors: it only
  // brings the first one's window forward, as a click on its tray icon would.
  if (!platform.claimOnlyCopy()) return platform.askOtherCopyToShow(kFindOtherCopySeconds) ? 0 : 1;
  Form1 form(platform);
  form.create();
  form.show();
  return platform.runMessageLoop();
}

}  // namespace pellucor
