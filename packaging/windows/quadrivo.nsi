; Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
; The Windows installer: for the current user, without administrator
; rights, into %LOCALAPPDATA%\Programs\Quadrivo, with a Start-menu entry
; that works in Documents\Quadrivo, where the user's files are kept.
;
;   makensis -DVERSION=<version> -DSTAGE=<unpacked zip folder> -DICON=<quadrivo.ico>
;            -DFILEVERSION=<version as a.b.c.d> -DFILES=<list of the files> -DOUTFILE=<setup.exe> quadrivo.nsi
;
; FILES is an include written by scripts/windows.sh: a Delete line for each
; installed file and an RMDir line for each folder, deepest first, so that
; the uninstaller removes exactly what was installed.
;
; /S installs and uninstalls silently.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quadrivo"

Name "Quadrivo"
Caption "Installazione di Quadrivo ${VERSION}"
UninstallCaption "Disinstallazione di Quadrivo"
OutFile "${OUTFILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"
InstallDir "$LOCALAPPDATA\Programs\Quadrivo"
ShowInstDetails show
ShowUninstDetails show
BrandingText "Quadrivo ${VERSION}"

LoadLanguageFile "${NSISDIR}\Contrib\Language files\Italian.nlf"
LicenseLangString testoLicenza ${LANG_ITALIAN} "${STAGE}\LICENSE.txt"
LicenseData $(testoLicenza)
LicenseText "Quadrivo è software libero, distribuito secondo la GNU General Public License, versione 3 o successiva."

Page license
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

VIProductVersion "${FILEVERSION}"
VIAddVersionKey /LANG=${LANG_ITALIAN} "ProductName" "Quadrivo"
VIAddVersionKey /LANG=${LANG_ITALIAN} "FileDescription" "Installazione di Quadrivo"
VIAddVersionKey /LANG=${LANG_ITALIAN} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ITALIAN} "LegalCopyright" "GNU GPL v3 o successiva"

Function .onInit
    SetShellVarContext current
FunctionEnd

Function un.onInit
    SetShellVarContext current
FunctionEnd

Section "Quadrivo"
    ; The program and what it loads, as the zip holds them.
    SetOutPath "$INSTDIR"
    File /r "${STAGE}\*.*"

    ; The user's own folder: the example files are copied only where they
    ; are missing, never over the user's.
    CreateDirectory "$DOCUMENTS\Quadrivo"
    SetOutPath "$DOCUMENTS\Quadrivo"
    SetOverwrite off
    File "${STAGE}\Gradi.txt"
    File "${STAGE}\Esempio1.txt"
    File "${STAGE}\Esempio2.txt"
    SetOverwrite on

    ; The shortcut's working folder is the current output folder.
    CreateShortCut "$SMPROGRAMS\Quadrivo.lnk" "$INSTDIR\quadrivo.exe" "" "$INSTDIR\quadrivo.exe" 0 \
        SW_SHOWNORMAL "" "Statistiche di punteggio per un'alleanza di Zorva"

    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\disinstalla.exe"
    WriteRegStr HKCU "${UNINST_KEY}" "DisplayName" "Quadrivo"
    WriteRegStr HKCU "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\quadrivo.exe,0"
    WriteRegStr HKCU "${UNINST_KEY}" "Publisher" "Quadrivo"
    WriteRegStr HKCU "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINST_KEY}" "UninstallString" '"$INSTDIR\disinstalla.exe"'
    WriteRegStr HKCU "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\disinstalla.exe" /S'
    WriteRegDWORD HKCU "${UNINST_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINST_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    ; The program's folder and the menu entry go; Documents\Quadrivo, with
    ; the database and the lists, stays.
    Delete "$SMPROGRAMS\Quadrivo.lnk"
    !include "${FILES}"
    Delete "$INSTDIR\disinstalla.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKCU "${UNINST_KEY}"
SectionEnd
