; Zorvan setup: both programs, the help file and the manual into Program Files, the
; installation record the launcher reads, Start-menu shortcuts, "Open with" for .cfg
; files and an entry in the list of installed programs. Silent with /S.
; Defined by the build: VERSION, BIN (folder of the built programs), ICON, OUTFILE and
; FILES_NSH (the manual's files, generated).
Unicode true
Target x86-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include MUI2.nsh
!include LogicLib.nsh
!include "${FILES_NSH}"

!define PRODUCT "Zorvan"
!define LAUNCHER "Zorvan launcher"
!define INSTALL_KEY "Software\Zorvan"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Zorvan"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define OPEN_WITH_APP "Software\Classes\Applications\Zorvan.exe"
!define OPEN_WITH_LIST "Software\Classes\.cfg\OpenWithList"
; The launcher's close request (WM_USER + 0x190).
!define CLOSE_REQUEST 0x590

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\${PRODUCT}"
; The installation record holds the path of Zorvan.exe; its folder is the one to update.
InstallDirRegKey HKLM "${INSTALL_KEY}" "Path"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1049 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1049 "FileDescription" "Установка ${PRODUCT}"
VIAddVersionKey /LANG=1049 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1049 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1049 "CompanyName" "${PRODUCT}"
VIAddVersionKey /LANG=1049 "LegalCopyright" "${PRODUCT}"

Var LauncherWasRunning

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "Мастер установит ${PRODUCT} ${VERSION}: программу резервного копирования информационных баз $\"1С:Предприятия 7.7$\" и планировщик, который запускает ее по расписанию.$\r$\n$\r$\nЕсли планировщик запущен, он будет остановлен на время установки и запущен снова.$\r$\n$\r$\nФайлы настроек и журналы предыдущей версии сохраняются.$\r$\n$\r$\n$_CLICK"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\Zorvan.chm"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Открыть справку"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!define MUI_FINISHPAGE_TITLE "Программа ${PRODUCT} удалена"
!define MUI_FINISHPAGE_TEXT "Удалены программы, справка, ярлыки и записи ${PRODUCT} в реестре.$\r$\n$\r$\nФайлы настроек (*.cfg) и журналы не удалены: они остались в папке $\"$INSTDIR$\" (если лежали там) и в папке данных каждого пользователя $\"%APPDATA%\${PRODUCT}$\". Удалите их вручную, если они больше не нужны."
!insertmacro MUI_UNPAGE_FINISH

!insertmacro MUI_LANGUAGE "Russian"

; Ends every running launcher of this session through its close request and waits for
; its process; remembers whether one ran.
!macro CLOSE_LAUNCHER prefix
Function ${prefix}CloseLauncher
  StrCpy $LauncherWasRunning 0
  StrCpy $3 0
  ${Do}
    FindWindow $0 "" "${LAUNCHER}"
    ${If} $0 = 0
    ${OrIf} $3 >= 10
      ${Break}
    ${EndIf}
    StrCpy $LauncherWasRunning 1
    System::Call 'user32::GetWindowThreadProcessId(p r0, *i 0 r1)'
    System::Call 'kernel32::OpenProcess(i 0x00100000, i 0, i r1) p .r2'
    SendMessage $0 ${CLOSE_REQUEST} 0 0 /TIMEOUT=10000
    ${If} $2 P<> 0
      System::Call 'kernel32::WaitForSingleObject(p r2, i 10000)'
      System::Call 'kernel32::CloseHandle(p r2)'
    ${Else}
      Sleep 500
    ${EndIf}
    IntOp $3 $3 + 1
  ${Loop}
FunctionEnd
!macroend
!insertmacro CLOSE_LAUNCHER ""
!insertmacro CLOSE_LAUNCHER "un."

; Machine-wide keys in the 32-bit view, the one the programs read (registry_view.h).
Function .onInit
  SetRegView 32
  SetShellVarContext all
FunctionEnd

Function un.onInit
  SetRegView 32
  SetShellVarContext all
FunctionEnd

Section "Zorvan" SecProgram
  Call CloseLauncher
  SetOutPath "$INSTDIR"
  File "${BIN}/Zorvan.exe"
  File "${BIN}/${LAUNCHER}.exe"
  File "${BIN}/Zorvan.chm"
  SetOutPath "$INSTDIR\manual"
  !insertmacro ZV_INSTALL_MANUAL
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  WriteRegStr HKLM "${INSTALL_KEY}" "Path" "$INSTDIR\Zorvan.exe"

  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\Zorvan.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Справка ${PRODUCT}.lnk" "$INSTDIR\Zorvan.chm"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Удалить ${PRODUCT}.lnk" "$INSTDIR\uninstall.exe"

  ; "Open with" only: .cfg belongs to many programs, so no default association.
  WriteRegStr HKLM "${OPEN_WITH_APP}" "FriendlyAppName" "${PRODUCT}"
  WriteRegStr HKLM "${OPEN_WITH_APP}\shell\open\command" "" '"$INSTDIR\Zorvan.exe" "%1"'
  WriteRegStr HKLM "${OPEN_WITH_LIST}\Zorvan.exe" "" ""

  SectionGetSize ${SecProgram} $0
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Zorvan.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1

  ; Started again through the shell, so that it runs as the logged-on user and not with
  ; the installer's administrator rights.
  ${If} $LauncherWasRunning = 1
    Exec '"$WINDIR\explorer.exe" "$INSTDIR\${LAUNCHER}.exe"'
  ${EndIf}
SectionEnd

; Removes what the installer put there and nothing else: configurations and journals
; (in this folder or the user's data folder) stay.
Section "Uninstall"
  Call un.CloseLauncher
  Delete "$INSTDIR\Zorvan.exe"
  Delete "$INSTDIR\${LAUNCHER}.exe"
  Delete "$INSTDIR\Zorvan.chm"
  !insertmacro ZV_REMOVE_MANUAL
  RMDir "$INSTDIR\manual"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"

  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Справка ${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Удалить ${PRODUCT}.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"

  DeleteRegValue HKLM "${INSTALL_KEY}" "Path"
  DeleteRegKey /ifempty HKLM "${INSTALL_KEY}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegKey HKLM "${OPEN_WITH_APP}"
  DeleteRegKey HKLM "${OPEN_WITH_LIST}\Zorvan.exe"
  DeleteRegKey /ifempty HKLM "${OPEN_WITH_LIST}"
  ; ".cfg" itself only when nothing else is left in it (no default value, no other one).
  ClearErrors
  ReadRegStr $0 HKLM "Software\Classes\.cfg" ""
  ${If} ${Errors}
    EnumRegValue $0 HKLM "Software\Classes\.cfg" 0
    ${If} $0 == ""
      DeleteRegKey /ifempty HKLM "Software\Classes\.cfg"
    ${EndIf}
  ${EndIf}
  DeleteRegValue HKCU "${RUN_KEY}" "${LAUNCHER}"
SectionEnd
