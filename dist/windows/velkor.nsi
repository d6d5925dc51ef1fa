; The VELKOR installer for Windows, made by NSIS's makensis from the 32-bit build (the build's "installer"
; target, cmake/PackagingWindows.cmake, passes the defines below):
;   VERSION  the program's version, 1.5.0    OUTFILE  the installer to write    EXE  the stripped velkor.exe
;   SOURCE   the source folder (README.md, LICENSE)                            ICON the program's icon
;
; It installs for the user who runs it, without administrator rights: the program under
; %LOCALAPPDATA%\Programs\VELKOR, a Start-menu shortcut that starts it in %APPDATA%\VELKOR (a folder of the
; user's own, so that VELKOR.INI is always written where the user may write), and an entry in the user's list
; of installed programs. The uninstaller removes all of these but the settings: VELKOR.INI and its folder
; stay for the next installation. /S installs or uninstalls without a window.
Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include MUI2.nsh
!include LogicLib.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\VELKOR"
!define SETTINGS_DIR "$APPDATA\VELKOR"

Name "VELKOR ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\VELKOR"
; An earlier installation is updated where it is.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "VELKOR"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "VELKOR ${VERSION} setup"
VIAddVersionKey "CompanyName" "The VELKOR developers"
VIAddVersionKey "LegalCopyright" "(c) 2026 the VELKOR developers, GPL-3.0-or-later"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
; The GPL asks for no agreement: the page shows it, and Next goes on.
!define MUI_LICENSEPAGE_BUTTON "$(^NextBtn)"
!define MUI_LICENSEPAGE_TEXT_BOTTOM "VELKOR is free software: you may use, share and change it under these terms."
!insertmacro MUI_PAGE_LICENSE "${SOURCE}\LICENSE"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION StartVelkor
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; A running VELKOR holds velkor.exe open: replacing or removing it now would leave half an installation
; behind, reported as done. The program marks itself with the named section "VELKOR" while it runs.
!macro RefuseWhileRunning
  System::Call 'kernel32::OpenFileMappingW(i 4, i 0, w "VELKOR") p .r0'
  ${If} $0 P<> 0
    System::Call 'kernel32::CloseHandle(p r0)'
    MessageBox MB_OK|MB_ICONSTOP "VELKOR is running. Close it, then try again." /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
!macroend

Function .onInit
  SetShellVarContext current
  !insertmacro RefuseWhileRunning
FunctionEnd

Function un.onInit
  SetShellVarContext current
  !insertmacro RefuseWhileRunning
FunctionEnd

; As the shortcut starts it: in the settings folder.
Function StartVelkor
  SetOutPath "${SETTINGS_DIR}"
  Exec '"$INSTDIR\velkor.exe"'
FunctionEnd

Section "VELKOR"
  SetOutPath "$INSTDIR"
  File "/oname=velkor.exe" "${EXE}"
  File "/oname=README.md" "${SOURCE}\README.md"
  File "/oname=LICENSE.txt" "${SOURCE}\LICENSE"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; A shortcut's working folder is the output folder at the time it is made.
  SetOutPath "${SETTINGS_DIR}"
  CreateShortcut "$SMPROGRAMS\VELKOR.lnk" "$INSTDIR\velkor.exe" "" "$INSTDIR\velkor.exe" 0 SW_SHOWNORMAL "" \
                 "Keeps two radios or two VFOs in step through OmniRig"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "VELKOR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "The VELKOR developers"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\velkor.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  SectionGetSize 0 $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  Delete "$INSTDIR\velkor.exe"
  Delete "$INSTDIR\README.md"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\VELKOR.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ; The settings stay; the folder goes only when it holds nothing.
  RMDir "${SETTINGS_DIR}"
SectionEnd
