; The per-user installer of Pellucor, and its uninstaller. Built by
; scripts/package.sh:
;   makensis [-DSIGN=scripts/sign.sh] -DVERSION=x.y.z -DSTAGE=folder -DSOURCE=checkout -DOUTFILE=setup.exe pellucor.nsi
; STAGE holds pellucor.exe, README.txt and LICENSE.txt as they ship. With
; SIGN, the uninstaller is signed by that script before it is packed.
;
; No administrator rights: everything goes under the user's own profile and
; registry hive. A running copy is closed as a user closes it (WM_CLOSE to
; its window), so it puts the cursors back and takes its tray icon away;
; it is never killed. Pellucor is started with the user's normal rights even
; when Setup itself was run as administrator (StartPellucor).

!ifndef VERSION | STAGE | SOURCE | OUTFILE
  !error "usage: makensis -DVERSION=x.y.z -DSTAGE=... -DSOURCE=... -DOUTFILE=... pellucor.nsi"
!endif

Unicode true
Target amd64-unicode
ManifestDPIAware true
ManifestSupportedOS all
RequestExecutionLevel user
SetCompressor /SOLID lzma

!define PRODUCT "Pellucor"
!define PUBLISHER "Trandavel"
!define HOME_PAGE "https://trandavel.example/pellucor/"
!define EXE "pellucor.exe"
!define FORM_CLASS "Pellucor.Form"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Pellucor"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SETTINGS_KEY "Software\Trandavel\Pellucor"

; The installer writes the uninstaller out at install time from what it
; carries: to be signed, it must be signed here, as it is built.
!ifdef SIGN
  !uninstfinalize 'bash "${SIGN}" "%1"' = 0
!endif

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Pellucor"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

; The installer's own version information; the uninstaller is written from
; the same stub and carries it too.
VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (c) 2026 ${PUBLISHER}"

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "WinMessages.nsh"

!define MUI_ICON "${SOURCE}\res\pellucor.ico"
!define MUI_UNICON "${SOURCE}\res\pellucor.ico"
!define MUI_WELCOMEFINISHPAGE_BITMAP "${SOURCE}\res\wizard.bmp"
!define MUI_UNWELCOMEFINISHPAGE_BITMAP "${SOURCE}\res\wizard.bmp"
!define MUI_ABORTWARNING

!define MUI_WELCOMEPAGE_TEXT "Setup will install Pellucor ${VERSION} for you alone; it needs no administrator rights.$\r$\n$\r$\nPellucor hides the mouse pointer while it rests and shows it again the moment the mouse moves.$\r$\n$\r$\nIf Pellucor is running, Setup closes it first and starts it again afterwards.$\r$\n$\r$\n$_CLICK"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_PAGE_CUSTOMFUNCTION_SHOW FinishPageShow
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Start Pellucor"
!define MUI_FINISHPAGE_RUN_FUNCTION StartPellucor
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

Var WasRunning

; Closes a running copy and waits until it and its guardian have let go of
; the program file. Sets WasRunning to 1 when a copy ran.
!macro CLOSE_RUNNING_COPY PREFIX
Function ${PREFIX}CloseRunningCopy
  StrCpy $WasRunning 0
  FindWindow $0 "${FORM_CLASS}"
  ${If} $0 = 0
    Return
  ${EndIf}
  StrCpy $WasRunning 1
  DetailPrint "Closing the running Pellucor"
  ask:
    FindWindow $0 "${FORM_CLASS}"
    ${If} $0 <> 0
      SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
    ${EndIf}
    StrCpy $1 0
    ${DoWhile} $1 < 100
      FindWindow $0 "${FORM_CLASS}"
      ${IfThen} $0 = 0 ${|} ${Break} ${|}
      Sleep 100
      IntOp $1 $1 + 1
    ${Loop}
    ${If} $0 <> 0
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Pellucor is still running. Close it, then choose Retry." \
        /SD IDCANCEL IDRETRY ask
      Abort "Pellucor is still running."
    ${EndIf}
  ; The process ends a moment after its window, and its guardian after it.
  StrCpy $1 0
  ${DoWhile} $1 < 100
    ClearErrors
    Delete "$INSTDIR\${EXE}"
    ${IfNotThen} ${Errors} ${|} ${Break} ${|}
    Sleep 100
    IntOp $1 $1 + 1
  ${Loop}
FunctionEnd
!macroend
!insertmacro CLOSE_RUNNING_COPY ""
!insertmacro CLOSE_RUNNING_COPY "un."

Section "Pellucor" Main
  SectionIn RO
  SetShellVarContext current
  Call CloseRunningCopy

  SetOutPath "$INSTDIR"
  File "${STAGE}\${EXE}"
  File "${STAGE}\README.txt"
  File "${STAGE}\LICENSE.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateShortcut "$SMPROGRAMS\Pellucor.lnk" "$INSTDIR\${EXE}" "" "$INSTDIR\${EXE}" 0 SW_SHOWNORMAL "" \
    "Hides the mouse pointer while it rests"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${EXE},0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "URLInfoAbout" "${HOME_PAGE}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0

  ; An upgrade leaves the user where they were.
  ${If} $WasRunning = 1
    Call StartPellucor
  ${EndIf}
SectionEnd

; Starts the installed program with the signed-in user's normal rights. A
; Setup run as administrator would otherwise pass its elevation on, and an
; elevated Pellucor is cut off from the plain programs around it: Windows
; drops the tray's messages to its window, and a later start from the Start
; menu cannot reach it.
Function StartPellucor
  Push $0
  ; "Admin" only while the token in use holds the Administrators group: an
  ; administrator's unelevated token under UAC answers "User".
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "Admin"
    ; Our rights are the user's normal ones already, and a direct start
    ; depends on nothing else running.
    Exec '"$INSTDIR\${EXE}"'
  ${Else}
    ; Elevated (or an administrator with UAC off, where this changes
    ; nothing): the running Explorer opens the program for us, with its own
    ; rights, as the user who signed in. Without the taskbar there is no
    ; Explorer to ask, and an explorer.exe started from here would run with
    ; our rights, as would what it opened: start nothing rather than start
    ; Pellucor elevated. That is rare (a replaced or crashed shell), and
    ; Pellucor has no tray to live in until the shell is back anyway.
    FindWindow $0 "Shell_TrayWnd"
    ${If} $0 <> 0
      Exec '"$WINDIR\explorer.exe" "$INSTDIR\${EXE}"'
    ${Else}
      DetailPrint "Not starting Pellucor: Setup runs as administrator and Explorer is not running."
    ${EndIf}
  ${EndIf}
  Pop $0
FunctionEnd

; An upgrade has already started again the copy it closed; a second start
; would only call that copy's window out of the tray. So the box is offered
; only when nothing was running.
Function FinishPageShow
  ${If} $WasRunning = 1
    SendMessage $mui.FinishPage.Run ${BM_SETCHECK} ${BST_UNCHECKED} 0
    ShowWindow $mui.FinishPage.Run ${SW_HIDE}
  ${EndIf}
FunctionEnd

Section "Uninstall"
  SetShellVarContext current
  Call un.CloseRunningCopy

  Delete "$INSTDIR\${EXE}"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  ; Only if empty: files the user put beside the program stay theirs.
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Pellucor.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"

  ; Run at logon, named after the program's file: the user's own, and the
  ; machine-wide one where this user may remove it.
  DeleteRegValue HKCU "${RUN_KEY}" "${EXE}"
  DeleteRegValue HKLM "${RUN_KEY}" "${EXE}"
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "Software\Trandavel"
SectionEnd
