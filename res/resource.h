#pragma once
// Resource ids shared by pellucor.rc and the Windows back-end.
#define IDI_PELLUCOR 1
#define IDI_TRAY 101
