#include "tray/csystray.h"
