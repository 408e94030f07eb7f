#include "app/app.h"

#include "app/form1.h"

namespace pellucor {

int runPellucor(Platform& platform) {
  Form1 form(platform);
  form.create();
  form.show();
  return platform.runMessageLoop();
}

}  // namespace pellucor
