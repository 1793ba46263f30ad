; The Windows installer of Kalyx, made by makensis (Debian's nsis) from the
; package folder that build-windows.sh assembles:
;   makensis -DPACKAGE=<package folder> -DFILES=<folder of the generated lists>
;            -DVERSION=2.3 -DSHOWN_VERSION="2.3 beta" -DOUTFILE=<setup.exe> kalyx.nsi
;
; It installs for the person who runs it, without administrator rights, into
; %LOCALAPPDATA%\Programs\Kalyx, a folder that person may write: the program
; keeps its database kalyxdb.kdb, its settings kalyx.ini and the route sheet's
; layout pp.fr3 beside its executable. Those are the person's own files: a new
; install over an old one never replaces them, and the uninstaller leaves them
; (and so the folder) where they are. Everything else it removes.
; Silent: setup.exe /S [/D=folder]; uninstall.exe /S.

; A 64-bit installer for a 64-bit program (a 64-bit Windows, or a Wine
; without its 32-bit half, runs it as it is).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true
ManifestSupportedOS all

!define PRODUCT "Kalyx"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kalyx"

Name "Kalyx - Трасмер ${SHOWN_VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Kalyx"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Kalyx ${SHOWN_VERSION}"

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1049 "ProductName" "Kalyx - Трасмер"
VIAddVersionKey /LANG=1049 "CompanyName" "Kalyx"
VIAddVersionKey /LANG=1049 "FileDescription" "Установка Kalyx - Трасмер ${SHOWN_VERSION}"
VIAddVersionKey /LANG=1049 "FileVersion" "${SHOWN_VERSION}"
VIAddVersionKey /LANG=1049 "ProductVersion" "${SHOWN_VERSION}"
VIAddVersionKey /LANG=1049 "LegalCopyright" "© Kalyx authors"

!include "MUI2.nsh"
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\kalyx.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Russian"

Section "Kalyx"
    SetShellVarContext current
    SetOutPath "$INSTDIR"
    ; The program's own files, replaced on every install.
    !include "${FILES}\install-files.nsh"
    ; The person's files: only where there are none yet.
    SetOutPath "$INSTDIR"
    SetOverwrite off
    File "${PACKAGE}\kalyxdb.kdb"
    File "${PACKAGE}\pp.fr3"
    SetOverwrite on

    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortCut "$SMPROGRAMS\Kalyx - Трасмер.lnk" "$INSTDIR\kalyx.exe" "" "$INSTDIR\kalyx.exe" 0

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Kalyx - Трасмер"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${SHOWN_VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Kalyx"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\kalyx.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    SetShellVarContext current
    !include "${FILES}\uninstall-files.nsh"
    ; What the program leaves beside itself while it runs.
    Delete "$INSTDIR\temp.kdb"
    Delete "$INSTDIR\kalyxdb.kdb.lock"
    Delete "$INSTDIR\kalyx.lock"
    Delete "$INSTDIR\uninstall.exe"
    ; Gone only when the person's files are not there.
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\Kalyx - Трасмер.lnk"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
