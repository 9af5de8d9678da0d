; The per-user installer of Tarnwick: no administrator rights, installs into
; the user's programs folder, adds a Start menu shortcut and an entry in the
; user's list of installed programs. Silent with /S.
; Built by scripts/release, which passes the version and the paths:
;   makensis -DVERSION=x.y.z -DVERSION_MAJOR=x -DVERSION_MINOR=y -DVERSION_REVISION=z
;            -DSTAGE=folder-with-the-programs-and-README.txt -DICON=tarnwick.ico
;            -DOUTFILE=setup.exe tarnwick.nsi

!ifndef VERSION | VERSION_MAJOR | VERSION_MINOR | VERSION_REVISION | STAGE | ICON | OUTFILE
  !error "scripts/release passes VERSION, VERSION_MAJOR, VERSION_MINOR, VERSION_REVISION, STAGE, ICON and OUTFILE"
!endif

Unicode true
; The program is 64-bit; so is its installer.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!define PRODUCT "Tarnwick"
!define PUBLISHER "Tarnwick"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION_MAJOR}.${VERSION_MINOR}.${VERSION_REVISION}.0"
VIFileVersion "${VERSION_MAJOR}.${VERSION_MINOR}.${VERSION_REVISION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${PUBLISHER}"

!include "MUI2.nsh"
!include "FileFunc.nsh"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!define MUI_WELCOMEPAGE_TEXT "Setup will install ${PRODUCT} ${VERSION} for you alone; it needs no administrator rights.$\r$\n$\r$\n${PRODUCT} plays one WordPerfect macro over every document of a folder. WordPerfect must be installed on this computer.$\r$\n$\r$\nClick Next to continue."
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\tarnwick.exe"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\README.txt"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; A running program's file cannot be replaced or removed: ask the user to
; close it first. Silent runs end with exit code 2 instead. The windowed
; program is found by its main window; the console program, which has none
; (a scheduled batch, say), by its file: a running program's file cannot be
; opened for writing. Labels are the function's own, one use per function.
!macro REFUSE_WHILE_RUNNING
  look_again:
  FindWindow $0 "TarnwickForm2"
  IntCmp $0 0 0 running running
  IfFileExists "$INSTDIR\tarnwick-batch.exe" 0 not_running
  ClearErrors
  FileOpen $1 "$INSTDIR\tarnwick-batch.exe" a
  IfErrors running
  FileClose $1
  Goto not_running
  running:
  MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${PRODUCT} is running. Close it, then click Retry." /SD IDCANCEL IDRETRY look_again
  SetErrorLevel 2
  Quit
  not_running:
!macroend

Function .onInit
  !insertmacro REFUSE_WHILE_RUNNING
FunctionEnd

Function un.onInit
  !insertmacro REFUSE_WHILE_RUNNING
FunctionEnd

Section "Tarnwick" SecProgram
  SectionIn RO
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File "${STAGE}\tarnwick.exe"
  ; The console program for batches that run unattended. Its folder is not
  ; put on the user's PATH: the installer's texts hold at most 1024
  ; characters, so rewriting a longer PATH would cut it short, and scheduled
  ; tasks and scripts name the program by its full path anyway (README.txt).
  File "${STAGE}\tarnwick-batch.exe"
  File "${STAGE}\README.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\tarnwick.exe" "" "$INSTDIR\tarnwick.exe" 0

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tarnwick.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "VersionMajor" ${VERSION_MAJOR}
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "VersionMinor" ${VERSION_MINOR}
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

; Removes what the installer put down. The user's settings (the macro to
; run, under Software\VB and VBA Program Settings) stay.
Section "Uninstall"
  SetShellVarContext current
  Delete "$INSTDIR\tarnwick.exe"
  Delete "$INSTDIR\tarnwick-batch.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
