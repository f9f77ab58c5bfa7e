; SPDX-License-Identifier: MIT
; The Quillpress installer: a 64-bit installer that installs for every user of the machine into
; Program Files, with a Start menu entry, the association of configuration files (.qpcf) and an
; uninstaller listed among the installed programs. Both understand /S (silent).
;
; scripts/windows/package.sh calls it as
;   makensis -INPUTCHARSET UTF8 -DVERSION=0.1 -DFILE_VERSION=0.1.0.0
;            -DPROGRAMS=<folder of the files to install> -DICON=<quillpress.ico>
;            -DOUTFILE=<setup.exe> quillpress.nsi
; where the folder holds quillpress.exe, quillpress-cli.exe, LICENSE.txt and README.txt.

Unicode true
; 64-bit like the programs (Debian's 64-bit Wine, where it is tested, runs no 32-bit program).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillpress"
!define PUBLISHER "The Quillpress developers"
; The file type names of configuration files, the same the program writes when it registers
; itself (Settings > Shortcuts with Files and Folders), so that its status shows this association
; as active and its own removal takes it back.
!define TYPE_NAME_EN "VLM Quillpress Configuration"
!define TYPE_NAME_DE "VLM Quillpress Konfiguration"
; The file beside the programs by which they know they are installed: they then keep their
; configurations in the user's application data folder and write images into the user's
; pictures folder, never into the installation folder.
!define INSTALLED_MARKER "quillpress-installed.txt"

Name "Quillpress"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Quillpress"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Quillpress ${VERSION}"

VIProductVersion "${FILE_VERSION}"
VIFileVersion "${FILE_VERSION}"
VIAddVersionKey /LANG=0 "ProductName" "Quillpress"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileDescription" "Quillpress ${VERSION} Setup"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "LegalCopyright" "Copyright (c) ${PUBLISHER}. MIT License."

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${PROGRAMS}\LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\README.txt"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The language of the installer and of the uninstaller follows the language of Windows: German
; for German, English for every other.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "German"

LangString TypeName ${LANG_ENGLISH} "${TYPE_NAME_EN}"
LangString TypeName ${LANG_GERMAN} "${TYPE_NAME_DE}"
LangString ShortcutComment ${LANG_ENGLISH} "Turns typed text into image files"
LangString ShortcutComment ${LANG_GERMAN} "Macht aus Text Bilddateien"
LangString RemovingRegistrations ${LANG_ENGLISH} "Removing the registrations of Quillpress with Windows..."
LangString RemovingRegistrations ${LANG_GERMAN} "Die Verknüpfungen von Quillpress mit Windows werden entfernt..."

; Tells Explorer that file associations changed (SHCNE_ASSOCCHANGED, no items).
!macro NotifyAssociationsChanged
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
!macroend

Section "Quillpress"
  SectionIn RO
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File "${PROGRAMS}\quillpress.exe"
  File "${PROGRAMS}\quillpress-cli.exe"
  File "${PROGRAMS}\LICENSE.txt"
  File "${PROGRAMS}\README.txt"

  FileOpen $0 "$INSTDIR\${INSTALLED_MARKER}" w
  FileWrite $0 "Quillpress was installed here. It keeps its configurations in %APPDATA%\Quillpress$\r$\n"
  FileWrite $0 "and writes images into Pictures\Quillpress. Without this file it would use this folder.$\r$\n"
  FileClose $0

  WriteUninstaller "$INSTDIR\Uninstall.exe"

  CreateShortcut "$SMPROGRAMS\Quillpress.lnk" "$INSTDIR\quillpress.exe" "" "$INSTDIR\quillpress.exe" 0 \
    SW_SHOWNORMAL "" "$(ShortcutComment)"

  ; Configuration files open with the program, as its own registration writes it.
  WriteRegStr HKLM "Software\Classes\.qpcf" "" "$(TypeName)"
  WriteRegStr HKLM "Software\Classes\$(TypeName)" "" "$(TypeName)"
  WriteRegStr HKLM "Software\Classes\$(TypeName)\DefaultIcon" "" "$INSTDIR\quillpress.exe,0"
  WriteRegStr HKLM "Software\Classes\$(TypeName)\Shell\Open\Command" "" '"$INSTDIR\quillpress.exe" "%1"'
  !insertmacro NotifyAssociationsChanged

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Quillpress"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\quillpress.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

Section "Uninstall"
  SetShellVarContext all

  ; What the program registered itself (Settings > Shortcuts with Files and Folders: configuration
  ; files, "Send to", the context menus of folders, of all files and of chosen file types) starts
  ; the program file that is about to go: its own tool takes it back while it is still here. The
  ; chosen file types are those of the start configuration of the user who uninstalls.
  DetailPrint "$(RemovingRegistrations)"
  ${If} ${FileExists} "$INSTDIR\quillpress-cli.exe"
    nsExec::ExecToLog '"$INSTDIR\quillpress-cli.exe" --shell-program "$INSTDIR\quillpress.exe" \
      --shell-remove config --shell-remove sendto --shell-remove folders --shell-remove files \
      --shell-remove types'
    Pop $0
  ${EndIf}

  ; The association the installer wrote: .qpcf only while it still names one of this program's
  ; file types (another program may have taken it over since), and both file types.
  ReadRegStr $0 HKLM "Software\Classes\.qpcf" ""
  ${If} $0 == "${TYPE_NAME_EN}"
  ${OrIf} $0 == "${TYPE_NAME_DE}"
    DeleteRegKey HKLM "Software\Classes\.qpcf"
  ${EndIf}
  DeleteRegKey HKLM "Software\Classes\${TYPE_NAME_EN}"
  DeleteRegKey HKLM "Software\Classes\${TYPE_NAME_DE}"
  !insertmacro NotifyAssociationsChanged

  Delete "$SMPROGRAMS\Quillpress.lnk"

  Delete "$INSTDIR\quillpress.exe"
  Delete "$INSTDIR\quillpress-cli.exe"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\${INSTALLED_MARKER}"
  Delete "$INSTDIR\Uninstall.exe"
  ; Only when empty: whatever else lies there is not the installer's.
  RMDir "$INSTDIR"

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
