#pragma once
// The numbers of the texts a user reads, shared by the string tables in
// res/lang/ (one file a language) and the code. Plain #defines: the resource
// compiler reads this file too. Numbers are grouped by the window they show
// in, so that a window's access keys can be checked together.

// The language a table is in, as Windows names languages ("de-DE").
#define IDS_LANGUAGE_TAG 100
// The main window's font: one that holds the language's script.
#define IDS_WINDOW_FONT 101

// The main window, the tray and the system menu.
#define IDS_SECONDS_FRAME 1000
#define IDS_STARTUP_FRAME 1001
#define IDS_START_WITH_WINDOWS 1002
#define IDS_START_MINIMISED 1003
#define IDS_RUN_START 1004
#define IDS_RUN_STOP 1005
#define IDS_BALLOON 1006
#define IDS_MENU_OPTIONS 1008
#define IDS_MENU_ABOUT 1009
#define IDS_ABOUT_CAPTION 1010
#define IDS_ABOUT_TEXT 1011

// The Options window.
#define IDS_OPTIONS_CAPTION 1100
#define IDS_OPT_HIDE_TYPING 1101
#define IDS_OPT_PIXELS_LABEL 1102
#define IDS_OPT_PIXELS_UNIT 1103
#define IDS_OPT_WHEEL 1104
#define IDS_OPT_START_HIDING 1105
#define IDS_OPT_LIST_NEVER 1106
#define IDS_OPT_LIST_ONLY 1107
#define IDS_OPT_PROGRAMS_LABEL 1108
#define IDS_OPT_PROGRAMS_HELP 1109
#define IDS_OPT_BROWSE 1110
#define IDS_OPT_FULL_SCREEN 1111
#define IDS_OPT_STOP_KEY 1112
#define IDS_OPT_HIDE_KEY 1113
#define IDS_OPT_CLEAR 1114
#define IDS_OPT_HIDE_KEY_NOTE 1115
#define IDS_OPT_MANAGED_NOTE 1116
#define IDS_OPT_OK 1117
#define IDS_OPT_CANCEL 1118
// The Browse window's file types.
#define IDS_BROWSE_PROGRAMS 1150
#define IDS_BROWSE_ALL_FILES 1151

// Message boxes.
#define IDS_PIXELS_REFUSED 1200
#define IDS_HIDE_ONLY_IN_NOTHING 1201
#define IDS_HIDE_KEY_IS_STOP_KEY 1202
#define IDS_PROGRAM_NAME_BAD 1203
#define IDS_CHORD_NEEDED 1204
#define IDS_CHORD_WINDOWS_KEY 1205
#define IDS_CHORD_UNUSABLE 1206
#define IDS_CHORD_STOP_NEEDS_CTRL 1207
#define IDS_CHORD_HIDE_NEEDS_CTRL 1208
#define IDS_CHORD_KEPT_BY_WINDOWS 1209
#define IDS_CHORD_F12 1210
#define IDS_HIDE_KEY_TAKEN 1211
#define IDS_NOT_NUMERIC 1212
#define IDS_STARTUP_FAILED 1213
#define IDS_STARTUP_NOT_REMOVED 1214
#define IDS_ERROR_CAPTION 1215
#define IDS_ERROR_EMAIL 1216

// The failures the error box names.
#define IDS_FAIL_OVERFLOW 1250
#define IDS_FAIL_TYPE_MISMATCH 1251
#define IDS_FAIL_INVALID_PICTURE 1252
#define IDS_FAIL_FILE_NOT_FOUND 1253
#define IDS_FAIL_PATH_NOT_FOUND 1254
#define IDS_FAIL_BAD_FILE_NAME 1255
#define IDS_FAIL_INVALID_ARGUMENT 1256
#define IDS_FAIL_OUT_OF_MEMORY 1257
#define IDS_FAIL_INVALID_SKIN 1258
#define IDS_FAIL_NOT_SUPPORTED 1259

// The command line.
#define IDS_CMD_UNKNOWN_ARGUMENT 1300
#define IDS_CMD_SECONDS_TWICE 1301
#define IDS_CMD_SECONDS_MISSING 1302
#define IDS_CMD_SECONDS_BAD 1303
#define IDS_CMD_ONE_ACTION 1304
#define IDS_CMD_UNKNOWN_SWITCH 1305
#define IDS_CMD_USAGE 1306
#define IDS_CMD_SECONDS_REFUSED 1307
#define IDS_CMD_SECONDS_MANAGED 1308
#define IDS_CMD_BUSY 1309
#define IDS_CMD_NOT_UNDERSTOOD 1310
#define IDS_CMD_FAILED 1311
#define IDS_CMD_NOT_RUNNING 1312
#define IDS_CMD_NO_ANSWER 1313

// Key names, as the keyboard's own are in the language. None holds a "+".
#define IDS_KEY_CTRL 1400
#define IDS_KEY_ALT 1401
#define IDS_KEY_SHIFT 1402
#define IDS_KEY_WIN 1403
#define IDS_KEY_BACKSPACE 1404
#define IDS_KEY_TAB 1405
#define IDS_KEY_ENTER 1406
#define IDS_KEY_PAUSE 1407
#define IDS_KEY_ESC 1408
#define IDS_KEY_SPACE 1409
#define IDS_KEY_PAGE_UP 1410
#define IDS_KEY_PAGE_DOWN 1411
#define IDS_KEY_END 1412
#define IDS_KEY_HOME 1413
#define IDS_KEY_LEFT 1414
#define IDS_KEY_UP 1415
#define IDS_KEY_RIGHT 1416
#define IDS_KEY_DOWN 1417
#define IDS_KEY_PRINT_SCREEN 1418
#define IDS_KEY_INSERT 1419
#define IDS_KEY_DELETE 1420
#define IDS_KEY_SCROLL_LOCK 1421
#define IDS_KEY_NUM_PAD 1422
