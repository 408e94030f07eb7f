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

!define MUI_WELCOMEPAGE_TEXT "$(WelcomeText)"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_PAGE_CUSTOMFUNCTION_SHOW FinishPageShow
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "$(StartPellucorText)"
!define MUI_FINISHPAGE_RUN_FUNCTION StartPellucor
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The installer and the uninstaller speak the user's display language: NSIS
; takes the language of GetUserDefaultUILanguage, one of the same primary
; language when that exact one is not here (Arabic of any country, say),
; and otherwise the first one loaded, English. No language dialog: a small
; utility's Setup should just speak the user's language. Arabic lays its
; pages out right to left, as its language file asks.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "German"
!insertmacro MUI_LANGUAGE "French"
!insertmacro MUI_LANGUAGE "Spanish"
!insertmacro MUI_LANGUAGE "Italian"
!insertmacro MUI_LANGUAGE "PortugueseBR"
!insertmacro MUI_LANGUAGE "Dutch"
!insertmacro MUI_LANGUAGE "Polish"
!insertmacro MUI_LANGUAGE "Russian"
!insertmacro MUI_LANGUAGE "Turkish"
!insertmacro MUI_LANGUAGE "Japanese"
!insertmacro MUI_LANGUAGE "Korean"
!insertmacro MUI_LANGUAGE "SimpChinese"
!insertmacro MUI_LANGUAGE "Arabic"

; Every text of ours in every language: a string left out of one language
; fails the build instead of showing nothing there.
!pragma warning error 6040

LangString WelcomeText ${LANG_ENGLISH} "Setup will install Pellucor ${VERSION} for you alone; it needs no administrator rights.$\r$\n$\r$\nPellucor hides the mouse pointer while it rests and shows it again the moment the mouse moves.$\r$\n$\r$\nIf Pellucor is running, Setup closes it first and starts it again afterwards.$\r$\n$\r$\n$_CLICK"
LangString WelcomeText ${LANG_GERMAN} "Setup installiert Pellucor ${VERSION} nur für Sie; dafür sind keine Administratorrechte erforderlich.$\r$\n$\r$\nPellucor blendet den Mauszeiger aus, solange er ruht, und zeigt ihn wieder an, sobald die Maus bewegt wird.$\r$\n$\r$\nWenn Pellucor ausgeführt wird, schließt Setup es zuerst und startet es danach erneut.$\r$\n$\r$\n$_CLICK"
LangString WelcomeText ${LANG_FRENCH} "Le programme d'installation va installer Pellucor ${VERSION} uniquement pour vous ; aucun droit d'administrateur n'est nécessaire.$\r$\n$\r$\nPellucor masque le pointeur de la souris lorsqu'il est immobile et l'affiche de nouveau dès que la souris bouge.$\r$\n$\r$\nSi Pellucor est en cours d'exécution, le programme d'installation le ferme d'abord, puis le redémarre.$\r$\n$\r$\n$_CLICK"
LangString WelcomeText ${LANG_SPANISH} "El programa de instalación instalará Pellucor ${VERSION} solo para usted; no necesita derechos de administrador.$\r$\n$\r$\nPellucor oculta el puntero del mouse mientras está en reposo y vuelve a mostrarlo en cuanto se mueve el mouse.$\r$\n$\r$\nSi Pellucor está en ejecución, el programa de instalación lo cierra primero y lo vuelve a iniciar después.$\r$\n$\r$\n$_CLICK"
LangString WelcomeText ${LANG_ITALIAN} "Il programma di installazione installerà Pellucor ${VERSION} solo per te; non sono necessari diritti di amministratore.$\r$\n$\r$\nPellucor nasconde il puntatore del mouse quando è fermo e lo mostra di nuovo appena il mouse si muove.$\r$\n$\r$\nSe Pellucor è in esecuzione, il programma di installazione prima lo chiude e poi lo riavvia.$\r$\n$\r$\n$_CLICK"
LangString WelcomeText ${LANG_PORTUGUESEBR} "O programa de instalação vai instalar o Pellucor ${VERSION} somente para você; não são necessários direitos de administrador.$\r$\n$\r$\nO Pellucor oculta o ponteiro do mouse enquanto ele está parado e o mostra novamente assim que o mouse se move.$\r$\n$\r$\nSe o Pellucor estiver em execução, o programa de instalação primeiro o fechará e depois o iniciará novamente.$\r$\n$\r$\n$_CLICK"
LangString WelcomeText ${LANG_DUTCH} "Setup installeert Pellucor ${VERSION} alleen voor u; hiervoor zijn geen administratorrechten nodig.$\r$\n$\r$\nPellucor verbergt de muisaanwijzer zolang deze stilstaat en toont hem weer zodra de muis beweegt.$\r$\n$\r$\nAls Pellucor wordt uitgevoerd, sluit Setup het eerst en start het daarna opnieuw.$\r$\n$\r$\n$_CLICK"
LangString WelcomeText ${LANG_POLISH} "Instalator zainstaluje program Pellucor ${VERSION} tylko dla Ciebie; nie są do tego potrzebne uprawnienia administratora.$\r$\n$\r$\nPellucor ukrywa wskaźnik myszy, gdy ten pozostaje nieruchomy, i pokazuje go ponownie, gdy tylko mysz się poruszy.$\r$\n$\r$\nJeśli program Pellucor jest uruchomiony, Instalator najpierw go zamknie, a potem uruchomi ponownie.$\r$\n$\r$\n$_CLICK"
LangString WelcomeText ${LANG_RUSSIAN} "Программа установки установит Pellucor ${VERSION} только для вас; права администратора для этого не нужны.$\r$\n$\r$\nPellucor скрывает указатель мыши, пока он неподвижен, и снова показывает его, как только мышь сдвинется.$\r$\n$\r$\nЕсли Pellucor выполняется, программа установки сначала закроет его, а затем снова запустит.$\r$\n$\r$\n$_CLICK"
LangString WelcomeText ${LANG_TURKISH} "Kurulum, Pellucor ${VERSION} sürümünü yalnızca sizin için yükleyecek; yönetici hakları gerekmez.$\r$\n$\r$\nPellucor, fare işaretçisi hareketsizken onu gizler ve fare hareket ettiği anda yeniden gösterir.$\r$\n$\r$\nPellucor çalışıyorsa Kurulum önce onu kapatır, ardından yeniden başlatır.$\r$\n$\r$\n$_CLICK"
LangString WelcomeText ${LANG_JAPANESE} "セットアップは Pellucor ${VERSION} を現在のユーザーにのみインストールします。管理者権限は必要ありません。$\r$\n$\r$\nPellucor は、マウス ポインターが止まっている間はポインターを非表示にし、マウスが動いた瞬間に再び表示します。$\r$\n$\r$\nPellucor が実行中の場合、セットアップはいったん Pellucor を終了し、インストール後にもう一度起動します。$\r$\n$\r$\n$_CLICK"
LangString WelcomeText ${LANG_KOREAN} "설치 프로그램이 Pellucor ${VERSION}을(를) 현재 사용자 전용으로 설치합니다. 관리자 권한은 필요하지 않습니다.$\r$\n$\r$\nPellucor는 마우스 포인터가 멈춰 있는 동안 포인터를 숨기고, 마우스가 움직이는 즉시 다시 표시합니다.$\r$\n$\r$\nPellucor가 실행 중이면 설치 프로그램이 먼저 Pellucor를 닫고 설치 후에 다시 시작합니다.$\r$\n$\r$\n$_CLICK"
LangString WelcomeText ${LANG_SIMPCHINESE} "安装程序将仅为你安装 Pellucor ${VERSION}；不需要管理员权限。$\r$\n$\r$\nPellucor 会在鼠标指针静止时将其隐藏，并在鼠标移动的那一刻重新显示。$\r$\n$\r$\n如果 Pellucor 正在运行，安装程序会先将其关闭，之后再重新启动它。$\r$\n$\r$\n$_CLICK"
LangString WelcomeText ${LANG_ARABIC} "سيثبّت برنامج الإعداد Pellucor ${VERSION} لك وحدك؛ ولا يحتاج إلى حقوق المسؤول.$\r$\n$\r$\nيخفي Pellucor مؤشر الماوس أثناء سكونه ويظهره مرة أخرى بمجرد تحريك الماوس.$\r$\n$\r$\nإذا كان Pellucor قيد التشغيل، فسيغلقه برنامج الإعداد أولاً ثم يعيد تشغيله بعد ذلك.$\r$\n$\r$\n$_CLICK"

LangString StartPellucorText ${LANG_ENGLISH} "Start Pellucor"
LangString StartPellucorText ${LANG_GERMAN} "Pellucor starten"
LangString StartPellucorText ${LANG_FRENCH} "Démarrer Pellucor"
LangString StartPellucorText ${LANG_SPANISH} "Iniciar Pellucor"
LangString StartPellucorText ${LANG_ITALIAN} "Avvia Pellucor"
LangString StartPellucorText ${LANG_PORTUGUESEBR} "Iniciar o Pellucor"
LangString StartPellucorText ${LANG_DUTCH} "Pellucor starten"
LangString StartPellucorText ${LANG_POLISH} "Uruchom program Pellucor"
LangString StartPellucorText ${LANG_RUSSIAN} "Запустить Pellucor"
LangString StartPellucorText ${LANG_TURKISH} "Pellucor'u başlat"
LangString StartPellucorText ${LANG_JAPANESE} "Pellucor を起動する"
LangString StartPellucorText ${LANG_KOREAN} "Pellucor 시작"
LangString StartPellucorText ${LANG_SIMPCHINESE} "启动 Pellucor"
LangString StartPellucorText ${LANG_ARABIC} "تشغيل Pellucor"

LangString ClosingText ${LANG_ENGLISH} "Closing the running Pellucor"
LangString ClosingText ${LANG_GERMAN} "Pellucor wird geschlossen"
LangString ClosingText ${LANG_FRENCH} "Fermeture de Pellucor"
LangString ClosingText ${LANG_SPANISH} "Cerrando Pellucor"
LangString ClosingText ${LANG_ITALIAN} "Chiusura di Pellucor in esecuzione"
LangString ClosingText ${LANG_PORTUGUESEBR} "Fechando o Pellucor em execução"
LangString ClosingText ${LANG_DUTCH} "Pellucor wordt gesloten"
LangString ClosingText ${LANG_POLISH} "Zamykanie uruchomionego programu Pellucor"
LangString ClosingText ${LANG_RUSSIAN} "Закрытие Pellucor"
LangString ClosingText ${LANG_TURKISH} "Çalışan Pellucor kapatılıyor"
LangString ClosingText ${LANG_JAPANESE} "実行中の Pellucor を終了しています"
LangString ClosingText ${LANG_KOREAN} "실행 중인 Pellucor를 닫는 중"
LangString ClosingText ${LANG_SIMPCHINESE} "正在关闭运行中的 Pellucor"
LangString ClosingText ${LANG_ARABIC} "جارٍ إغلاق Pellucor"

; Retry is named as Windows labels the message box's button in each language.
LangString StillRunningRetryText ${LANG_ENGLISH} "Pellucor is still running. Close it, then choose Retry."
LangString StillRunningRetryText ${LANG_GERMAN} "Pellucor wird noch ausgeführt. Schließen Sie Pellucor, und wählen Sie dann „Wiederholen“."
LangString StillRunningRetryText ${LANG_FRENCH} "Pellucor est toujours en cours d'exécution. Fermez-le, puis choisissez Réessayer."
LangString StillRunningRetryText ${LANG_SPANISH} "Pellucor todavía está en ejecución. Ciérrelo y, a continuación, elija Reintentar."
LangString StillRunningRetryText ${LANG_ITALIAN} "Pellucor è ancora in esecuzione. Chiudilo, quindi scegli Riprova."
LangString StillRunningRetryText ${LANG_PORTUGUESEBR} "O Pellucor ainda está em execução. Feche-o e escolha Repetir."
LangString StillRunningRetryText ${LANG_DUTCH} "Pellucor wordt nog uitgevoerd. Sluit Pellucor en kies daarna Opnieuw proberen."
LangString StillRunningRetryText ${LANG_POLISH} "Program Pellucor jest nadal uruchomiony. Zamknij go, a następnie wybierz przycisk Ponów próbę."
LangString StillRunningRetryText ${LANG_RUSSIAN} "Pellucor все еще выполняется. Закройте его, а затем нажмите «Повторить»."
LangString StillRunningRetryText ${LANG_TURKISH} "Pellucor hâlâ çalışıyor. Kapatın, ardından Yeniden Dene'yi seçin."
LangString StillRunningRetryText ${LANG_JAPANESE} "Pellucor がまだ実行中です。Pellucor を終了してから、[再試行] を選択してください。"
LangString StillRunningRetryText ${LANG_KOREAN} "Pellucor가 아직 실행 중입니다. Pellucor를 닫은 후 [다시 시도]를 선택하세요."
LangString StillRunningRetryText ${LANG_SIMPCHINESE} "Pellucor 仍在运行。请关闭它，然后选择“重试”。"
LangString StillRunningRetryText ${LANG_ARABIC} "لا يزال Pellucor قيد التشغيل. أغلقه، ثم اختر إعادة المحاولة."

LangString StillRunningText ${LANG_ENGLISH} "Pellucor is still running."
LangString StillRunningText ${LANG_GERMAN} "Pellucor wird noch ausgeführt."
LangString StillRunningText ${LANG_FRENCH} "Pellucor est toujours en cours d'exécution."
LangString StillRunningText ${LANG_SPANISH} "Pellucor todavía está en ejecución."
LangString StillRunningText ${LANG_ITALIAN} "Pellucor è ancora in esecuzione."
LangString StillRunningText ${LANG_PORTUGUESEBR} "O Pellucor ainda está em execução."
LangString StillRunningText ${LANG_DUTCH} "Pellucor wordt nog uitgevoerd."
LangString StillRunningText ${LANG_POLISH} "Program Pellucor jest nadal uruchomiony."
LangString StillRunningText ${LANG_RUSSIAN} "Pellucor все еще выполняется."
LangString StillRunningText ${LANG_TURKISH} "Pellucor hâlâ çalışıyor."
LangString StillRunningText ${LANG_JAPANESE} "Pellucor がまだ実行中です。"
LangString StillRunningText ${LANG_KOREAN} "Pellucor가 아직 실행 중입니다."
LangString StillRunningText ${LANG_SIMPCHINESE} "Pellucor 仍在运行。"
LangString StillRunningText ${LANG_ARABIC} "لا يزال Pellucor قيد التشغيل."

; The Start menu shortcut's tip. Written once, in the language of the install.
LangString ShortcutText ${LANG_ENGLISH} "Hides the mouse pointer while it rests"
LangString ShortcutText ${LANG_GERMAN} "Blendet den Mauszeiger aus, solange er ruht"
LangString ShortcutText ${LANG_FRENCH} "Masque le pointeur de la souris lorsqu'il est immobile"
LangString ShortcutText ${LANG_SPANISH} "Oculta el puntero del mouse mientras está en reposo"
LangString ShortcutText ${LANG_ITALIAN} "Nasconde il puntatore del mouse quando è fermo"
LangString ShortcutText ${LANG_PORTUGUESEBR} "Oculta o ponteiro do mouse enquanto ele está parado"
LangString ShortcutText ${LANG_DUTCH} "Verbergt de muisaanwijzer zolang deze stilstaat"
LangString ShortcutText ${LANG_POLISH} "Ukrywa wskaźnik myszy, gdy ten pozostaje nieruchomy"
LangString ShortcutText ${LANG_RUSSIAN} "Скрывает указатель мыши, пока он неподвижен"
LangString ShortcutText ${LANG_TURKISH} "Fare işaretçisini hareketsizken gizler"
LangString ShortcutText ${LANG_JAPANESE} "マウス ポインターが止まっている間、ポインターを非表示にします"
LangString ShortcutText ${LANG_KOREAN} "마우스 포인터가 멈춰 있는 동안 포인터를 숨깁니다"
LangString ShortcutText ${LANG_SIMPCHINESE} "在鼠标指针静止时将其隐藏"
LangString ShortcutText ${LANG_ARABIC} "يخفي مؤشر الماوس أثناء سكونه"

; Explorer, the shell, goes by the name Windows gives it in each language.
LangString NotStartingText ${LANG_ENGLISH} "Not starting Pellucor: Setup runs as administrator and Explorer is not running."
LangString NotStartingText ${LANG_GERMAN} "Pellucor wird nicht gestartet: Setup wird als Administrator ausgeführt, und Windows-Explorer wird nicht ausgeführt."
LangString NotStartingText ${LANG_FRENCH} "Pellucor n'est pas démarré : le programme d'installation s'exécute en tant qu'administrateur et l'Explorateur Windows n'est pas en cours d'exécution."
LangString NotStartingText ${LANG_SPANISH} "No se iniciará Pellucor: el programa de instalación se ejecuta como administrador y el Explorador de Windows no está en ejecución."
LangString NotStartingText ${LANG_ITALIAN} "Pellucor non verrà avviato: il programma di installazione è in esecuzione come amministratore ed Esplora risorse non è in esecuzione."
LangString NotStartingText ${LANG_PORTUGUESEBR} "O Pellucor não será iniciado: o programa de instalação está sendo executado como administrador e o Windows Explorer não está em execução."
LangString NotStartingText ${LANG_DUTCH} "Pellucor wordt niet gestart: Setup wordt uitgevoerd als administrator en Windows Verkenner wordt niet uitgevoerd."
LangString NotStartingText ${LANG_POLISH} "Program Pellucor nie zostanie uruchomiony: Instalator działa jako administrator, a Eksplorator Windows nie jest uruchomiony."
LangString NotStartingText ${LANG_RUSSIAN} "Pellucor не будет запущен: программа установки выполняется от имени администратора, а Проводник не запущен."
LangString NotStartingText ${LANG_TURKISH} "Pellucor başlatılmıyor: Kurulum yönetici olarak çalışıyor ve Windows Gezgini çalışmıyor."
LangString NotStartingText ${LANG_JAPANESE} "Pellucor を起動しません。セットアップが管理者として実行されていて、エクスプローラーが実行されていないためです。"
LangString NotStartingText ${LANG_KOREAN} "Pellucor를 시작하지 않습니다. 설치 프로그램이 관리자 권한으로 실행 중이고 Windows 탐색기가 실행되고 있지 않습니다."
LangString NotStartingText ${LANG_SIMPCHINESE} "不启动 Pellucor：安装程序以管理员身份运行，而 Windows 资源管理器未运行。"
LangString NotStartingText ${LANG_ARABIC} "لن يتم تشغيل Pellucor: يعمل برنامج الإعداد كمسؤول، ومستكشف Windows ليس قيد التشغيل."

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
  DetailPrint "$(ClosingText)"
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
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(StillRunningRetryText)" \
        /SD IDCANCEL IDRETRY ask
      Abort "$(StillRunningText)"
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
    "$(ShortcutText)"

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
      DetailPrint "$(NotStartingText)"
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
