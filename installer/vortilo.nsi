; The per-user installer of one build: makensis -DVERSION=0.1.0 -DBITS=32|64 -DSTAGE=DIR
; -DOUTFILE=FILE installer/vortilo.nsi, where DIR holds vortilo.exe, LEGGIMI.txt, README.txt and
; LICENSE.txt (scripts/package lays them out). No administrator: the program goes into
; %LOCALAPPDATA%\Programs\Vortilo and registers its uninstaller under HKCU.

!ifndef VERSION | BITS | STAGE | OUTFILE
  !error "makensis needs -DVERSION, -DBITS, -DSTAGE and -DOUTFILE"
!endif

!if ${BITS} == 64
  Target amd64-unicode
!else if ${BITS} == 32
  Target x86-unicode
!else
  !error "BITS is 32 or 64"
!endif

!define PRODUCT "Vortilo"
!define PUBLISHER "the Vortilo developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define UNINSTALLER "uninstall.exe"
!define SHORTCUT "${PRODUCT}.lnk"
!define DESCRIPTION "Installazione di ${PRODUCT} (${BITS}-bit)"

Unicode true
Name "${PRODUCT}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
; An install over an earlier one goes where that one went.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
SetCompressor /SOLID lzma
BrandingText "${PRODUCT} ${VERSION}"
ManifestDPIAware true

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "Sections.nsh"
!include "FileFunc.nsh"

!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\vortilo.exe"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Italian"

LangString SECTION_PROGRAM ${LANG_ITALIAN} "Vortilo e menu Start"
LangString SECTION_DESKTOP ${LANG_ITALIAN} "Collegamento sul desktop"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_ITALIAN} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_ITALIAN} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ITALIAN} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ITALIAN} "FileDescription" "${DESCRIPTION}"
VIAddVersionKey /LANG=${LANG_ITALIAN} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ITALIAN} "LegalCopyright" "Copyright (c) 2026 ${PUBLISHER}, MIT License"

; The files beside the uninstaller, named once for both directions.
!macro FILES DO
  !insertmacro ${DO} "vortilo.exe"
  !insertmacro ${DO} "LEGGIMI.txt"
  !insertmacro ${DO} "README.txt"
  !insertmacro ${DO} "LICENSE.txt"
!macroend
!macro PUT NAME
  File "${STAGE}\${NAME}"
!macroend
!macro REMOVE NAME
  Delete "$INSTDIR\${NAME}"
!macroend
; EstimatedSize counts what lies in the folder, in KB rounded up.
!macro COUNT NAME
  FileOpen $0 "$INSTDIR\${NAME}" r
  FileSeek $0 0 END $1
  FileClose $0
  IntOp $2 $2 + $1
!macroend

Section "$(SECTION_PROGRAM)" SecProgram
  SectionIn RO
  SetShellVarContext current
  ; Whether an earlier install made the desktop shortcut: a shortcut of the same name that the
  ; user made is theirs.
  ReadRegDWORD $R9 HKCU "${UNINSTALL_KEY}" "DesktopShortcut"
  SetOutPath "$INSTDIR"
  SetOverwrite on
  !insertmacro FILES PUT
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  CreateShortcut "$SMPROGRAMS\${SHORTCUT}" "$INSTDIR\vortilo.exe"

  StrCpy $2 0
  !insertmacro FILES COUNT
  !insertmacro COUNT "${UNINSTALLER}"
  IntOp $2 $2 + 1023
  IntOp $2 $2 / 1024

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\vortilo.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section /o "$(SECTION_DESKTOP)" SecDesktop
  SetShellVarContext current
  CreateShortcut "$DESKTOP\${SHORTCUT}" "$INSTDIR\vortilo.exe"
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "DesktopShortcut" 1
SectionEnd

; The desktop box starts as the last install left it (unticked the first time); /DESKTOP ticks it
; for a silent install.
Function .onInit
  ReadRegDWORD $0 HKCU "${UNINSTALL_KEY}" "DesktopShortcut"
  ${GetParameters} $1
  ClearErrors
  ${GetOptions} $1 "/DESKTOP" $2
  ${If} $0 == 1
  ${OrIfNot} ${Errors}
    !insertmacro SelectSection ${SecDesktop}
  ${EndIf}
FunctionEnd

; An install over an earlier one leaves its desktop shortcut only when asked for this time.
Function .onInstSuccess
  SetShellVarContext current
  ${IfNot} ${SectionIsSelected} ${SecDesktop}
  ${AndIf} $R9 == 1
    Delete "$DESKTOP\${SHORTCUT}"
    DeleteRegValue HKCU "${UNINSTALL_KEY}" "DesktopShortcut"
  ${EndIf}
FunctionEnd

; Exactly what the installer put there; the folder goes only when nothing else is left in it.
Section "Uninstall"
  SetShellVarContext current
  !insertmacro FILES REMOVE
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${SHORTCUT}"
  ReadRegDWORD $0 HKCU "${UNINSTALL_KEY}" "DesktopShortcut"
  ${If} $0 == 1
    Delete "$DESKTOP\${SHORTCUT}"
  ${EndIf}
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
