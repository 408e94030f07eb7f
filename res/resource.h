#pragma once
// Resource ids shared by pellucor.rc and the Windows back-end.
#define IDI_PELLUCOR 1
#define IDI_TRAY 101
// A manifest the program activates itself, around its message boxes.
#define IDR_BOXES_MANIFEST 3
// The Options dialog and its controls.
#define IDD_OPTIONS 200
#define IDC_HIDE_TYPING 201
#define IDC_PIXELS_LABEL 202
#define IDC_PIXELS 203
#define IDC_PIXELS_UNIT 204
#define IDC_WHEEL 205
#define IDC_START_HIDING 206
#define IDC_LIST_NEVER 207
#define IDC_PROGRAMS 208
#define IDC_BROWSE 209
#define IDC_MANAGED_NOTE 210
#define IDC_PROGRAMS_HELP 211
#define IDC_LIST_ONLY 212
#define IDC_FULL_SCREEN 213
#define IDC_STOP_KEY_LABEL 214
#define IDC_STOP_KEY 215
#define IDC_HIDE_KEY_LABEL 216
#define IDC_HIDE_KEY 217
#define IDC_HIDE_KEY_CLEAR 218
#define IDC_HIDE_KEY_NOTE 219
#define IDC_PROGRAMS_LABEL 220
