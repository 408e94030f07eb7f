#pragma once
// Resource ids shared by pellucor.rc and the Windows back-end.
#define IDI_PELLUCOR 1
#define IDI_TRAY 101
// A manifest the program activates itself, around its message boxes.
#define IDR_BOXES_MANIFEST 3
