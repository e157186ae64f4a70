; The Windows installer of Quorvane, made by scripts/package-windows.sh with makensis:
; the programs in Program Files, a Start-menu shortcut that starts Quorvane in the user's own
; folder %APPDATA%\Quorvane (where it keeps its settings file), and an uninstaller registered
; in Add/Remove Programs. /S installs and uninstalls silently.
; makensis -DVERSION=x.y.z -DPROGRAMS=folder -DICON=file.ico -DOUTFILE=setup.exe quorvane.nsi

Unicode true
; The programs are 64-bit, and so is the installer.
Target amd64-unicode
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "FileFunc.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorvane"

Name "Quorvane"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Quorvane"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Quorvane ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "Quorvane"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "Quorvane setup"
VIAddVersionKey "CompanyName" "The Quorvane developers"
VIAddVersionKey "LegalCopyright" "The Quorvane developers"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Section "Quorvane"
  SetOutPath "$INSTDIR"
  File "${PROGRAMS}/quorvane.exe"
  File "${PROGRAMS}/quorvane-probe.exe"
  File "${PROGRAMS}/quorvane-sim.exe"
  File "${PROGRAMS}/README.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; The shortcut's working folder is the user's own folder, made here; --user-folder makes and
  ; enters it as well, for a user whose folder is not there yet.
  SetShellVarContext current
  CreateDirectory "$APPDATA\Quorvane"
  SetOutPath "$APPDATA\Quorvane"
  CreateShortcut "$SMPROGRAMS\Quorvane.lnk" "$INSTDIR\quorvane.exe" "--user-folder" \
    "$INSTDIR\quorvane.exe" 0 SW_SHOWNORMAL "" "Show your flight simulator's aircraft in Google Earth"
  SetOutPath "$INSTDIR"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Quorvane"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "The Quorvane developers"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\quorvane.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  ; The shortcut and the registry entry go first and the folder last, so that a folder gone
  ; means the uninstall is complete.
  SetShellVarContext current
  Delete "$SMPROGRAMS\Quorvane.lnk"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Delete "$INSTDIR\quorvane.exe"
  Delete "$INSTDIR\quorvane-probe.exe"
  Delete "$INSTDIR\quorvane-sim.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  ; %APPDATA%\Quorvane keeps the user's settings, which stay like any program's user data.
SectionEnd
