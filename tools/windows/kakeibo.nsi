; A 64-bit installer, as the program is: it runs where kakeibo.exe runs,
; and under Wine without its 32-bit part.
Target amd64-unicode
; The per-user installer of the Windows program: no administrator rights,
; into the user's own programs folder (the program writes its book beside
; itself), a Start-menu entry, an entry in the user's installed programs,
; and an uninstaller that keeps the book ("MD.dat", "Item.dat") unless the
; user asks for it to go (yes to its question, or /PURGE when silent).
; Defined by tools/windows/package.sh: VERSION, SOURCE (the folder with
; kakeibo.exe, Icon.ico and Item.dat) and OUTFILE.

!include "FileFunc.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\kakeibo"

Name "家計簿"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\kakeibo"
RequestExecutionLevel user
SetCompressor /SOLID lzma
ManifestDPIAware true
Icon "${SOURCE}\Icon.ico"
UninstallIcon "${SOURCE}\Icon.ico"
LoadLanguageFile "${NSISDIR}\Contrib\Language files\Japanese.nlf"
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1041 "ProductName" "家計簿"
VIAddVersionKey /LANG=1041 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "FileDescription" "家計簿のインストーラー"
VIAddVersionKey /LANG=1041 "LegalCopyright" "kakeibo の開発者"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section
    SetOutPath "$INSTDIR"
    File "${SOURCE}\kakeibo.exe"
    File "${SOURCE}\Icon.ico"
    ; The user's category names stay as they are on a reinstall.
    SetOverwrite off
    File "${SOURCE}\Item.dat"
    SetOverwrite on
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "$SMPROGRAMS\家計簿.lnk" "$INSTDIR\kakeibo.exe" "" "$INSTDIR\kakeibo.exe" 0
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "家計簿"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\kakeibo.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    Delete "$INSTDIR\kakeibo.exe"
    Delete "$INSTDIR\Icon.ico"
    Delete "$INSTDIR\uninstall.exe"
    Delete "$SMPROGRAMS\家計簿.lnk"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    ${un.GetParameters} $R0
    ClearErrors
    ${un.GetOptions} $R0 "/PURGE" $R1
    IfErrors 0 purge
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "家計簿の帳簿 (MD.dat と Item.dat) も削除しますか?$\r$\n「いいえ」を選ぶと、帳簿は $INSTDIR に残ります。" /SD IDNO IDNO keep
purge:
    Delete "$INSTDIR\MD.dat"
    Delete "$INSTDIR\Item.dat"
keep:
    RMDir "$INSTDIR"
SectionEnd
