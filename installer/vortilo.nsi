; The per-user installer of one build: makensis -DVERSION=0.1.0 -DBITS=32|64 -DSTAGE=DIR
; -DOUTFILE=FILE installer/vortilo.nsi, where DIR holds vortilo.exe, "new icon.ico", LEGGIMI.txt,
; README.txt and LICENSE.txt (scripts/package lays them out). No administrator: the program goes
; into %LOCALAPPDATA%\Programs\Vortilo and registers its uninstaller under HKCU.

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

; The program's own icon, which Modern UI hands to Icon and UninstallIcon.
!define MUI_ICON "${STAGE}\new icon.ico"
!define MUI_UNICON "${STAGE}\new icon.ico"
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
; The letter e with a grave accent, kept out of the script's own text.
!define E_GRAVE "${U+E8}"
LangString PROGRAM_OPEN ${LANG_ITALIAN} "Vortilo ${E_GRAVE} aperto: chiudilo e premi Riprova."
LangString NOTHING_CHANGED ${LANG_ITALIAN} "Vortilo ${E_GRAVE} aperto: nulla ${E_GRAVE} cambiato."
LangString FILES_LEFT ${LANG_ITALIAN} "Non ${E_GRAVE} stato possibile togliere:"

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
  !insertmacro ${DO} "new icon.ico"
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

; Windows, and Wine, refuse to open a program for writing while it runs. While the one in
; $INSTDIR runs, the user is asked to close it, until it is closed or they give up; a silent run
; gives up at once, with exit code 2. Either way nothing has been changed yet.
!macro WAIT_CLOSED UN
Function ${UN}WaitClosed
  retry:
    IfFileExists "$INSTDIR\vortilo.exe" 0 closed
    ClearErrors
    FileOpen $0 "$INSTDIR\vortilo.exe" a
    IfErrors 0 opened
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(PROGRAM_OPEN)" /SD IDCANCEL IDRETRY retry
    SetErrorLevel 2
    Abort "$(NOTHING_CHANGED)"
  opened:
    FileClose $0
  closed:
FunctionEnd
!macroend
!insertmacro WAIT_CLOSED ""
!insertmacro WAIT_CLOSED "un."

Section "$(SECTION_PROGRAM)" SecProgram
  SectionIn RO
  SetShellVarContext current
  Call WaitClosed
  ; Whether an earlier install made the desktop shortcut: a shortcut of the same name that the
  ; user made is theirs.
  ReadRegDWORD $R9 HKCU "${UNINSTALL_KEY}" "DesktopShortcut"
  SetOutPath "$INSTDIR"
  SetOverwrite on
  !insertmacro FILES PUT
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  ; Both shortcuts start the program in $OUTDIR, the install folder, where its window finds
  ; "new icon.ico".
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

; Exactly what the installer put there, and only while the program is closed. The uninstall entry
; goes only once every installed file is gone, so that what could not be removed can still be
; removed from Settings; the uninstaller run in place (_?=) cannot remove itself, and its caller
; does. The folder goes only when nothing else is left in it.
!macro LEFT NAME
  ${If} ${FileExists} "$INSTDIR\${NAME}"
    StrCpy $1 "$1 ${NAME}"
  ${EndIf}
!macroend
Section "Uninstall"
  SetShellVarContext current
  Call un.WaitClosed
  !insertmacro FILES REMOVE
  StrCpy $1 ""
  !insertmacro FILES LEFT
  ${If} $1 == ""
  ${AndIf} $EXEPATH != "$INSTDIR\${UNINSTALLER}"
    Delete "$INSTDIR\${UNINSTALLER}"
    !insertmacro LEFT "${UNINSTALLER}"
  ${EndIf}
  ${If} $1 != ""
    SetErrorLevel 2
    Abort "$(FILES_LEFT)$1"
  ${EndIf}
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${SHORTCUT}"
  ReadRegDWORD $0 HKCU "${UNINSTALL_KEY}" "DesktopShortcut"
  ${If} $0 == 1
    Delete "$DESKTOP\${SHORTCUT}"
  ${EndIf}
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
