; The setup program of Halcyne 2. ANSI, so that it runs on Windows 95 to XP;
; no plug-ins, so nothing but the stub has to load there.
; Built by scripts/release.sh, which defines VERSION, VERSION_BINARY, SRCDIR
; (the sources), STAGE (the folder holding the files to install) and OUTFILE.
;
; Silent use:   setup.exe /S [/SHELL=1] [/D=folder]
;               uninstall.exe /S [/REMOVESETTINGS]

Unicode false
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "Sections.nsh"

!define PRODUCT "Halcyne 2"
!define PUBLISHER "the Halcyne 2 developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Halcyne 2"
; The same entry the Options Panel's "Boot Halcyne" writes.
!define BOOT_INI "$WINDIR\System.ini"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\Halcyne 2"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION_BINARY}"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "${PRODUCT} setup"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "LegalCopyright" "Copyright (c) 2026 ${PUBLISHER}, MIT License"

!define MUI_ABORTWARNING
!define MUI_ICON "${SRCDIR}/res/halcyne.ico"
!define MUI_UNICON "${SRCDIR}/res/halcyne.ico"
; Description below the list, so the list is wide enough for the shell choice.
!define MUI_COMPONENTSPAGE_SMALLDESC
!define MUI_COMPONENTSPAGE_TEXT_TOP "Halcyne 2 is installed in any case. Tick the box below to make Windows start Halcyne instead of its own shell from the next start on. The Options Panel's $\"Boot Halcyne$\" changes the same setting later."
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_COMPONENTSPAGE_TEXT_TOP "Halcyne 2 is removed. Its settings (the administrator password among them) stay unless you tick the box below."
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Section "Halcyne 2 (required)" SecProgram
    SectionIn RO
    SetOutPath "$INSTDIR"
    File "${STAGE}/halcyne.exe"
    File "${STAGE}/README-ADMIN.txt"
    File "${STAGE}/LICENSE.txt"
    SetOutPath "$INSTDIR\deploy"
    File "${STAGE}/deploy/*.*"
    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\halcyne.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1

    ; For the administrator, who starts it from Windows' own shell to try it.
    SetShellVarContext all
    CreateDirectory "$SMPROGRAMS\${PRODUCT}"
    CreateShortCut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\halcyne.exe"
    CreateShortCut "$SMPROGRAMS\${PRODUCT}\Administrators' read-me.lnk" "$INSTDIR\README-ADMIN.txt"
SectionEnd

Section /o "Start Halcyne instead of the Windows shell" SecShell
    ; The short path, as the Options Panel writes it, so both stay one setting.
    GetFullPathName /SHORT $0 "$INSTDIR\halcyne.exe"
    ${If} $0 == ""
        StrCpy $0 "$INSTDIR\halcyne.exe"
    ${EndIf}
    WriteINIStr "${BOOT_INI}" "Boot" "Shell" "$0"
    FlushINI "${BOOT_INI}"
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
    !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} "The shell, the administrators' read-me and the deployment files."
    !insertmacro MUI_DESCRIPTION_TEXT ${SecShell} "Windows starts Halcyne instead of its own desktop (System.ini [Boot] $\"Shell$\")."
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function .onInit
    ${GetParameters} $R0
    ClearErrors
    ${GetOptions} $R0 "/SHELL=" $R1
    ${IfNot} ${Errors}
        ${If} $R1 == "1"
            !insertmacro SelectSection ${SecShell}
        ${Else}
            !insertmacro UnselectSection ${SecShell}
        ${EndIf}
    ${EndIf}
FunctionEnd

Section "un.Halcyne 2" UnProgram
    SectionIn RO
    ; Hand the boot shell back to Windows when it is the copy being removed
    ; (or a halcyne.exe that is no longer there): Windows 95 to ME would
    ; otherwise start without any shell.
    ReadINIStr $0 "${BOOT_INI}" "Boot" "Shell"
    ${GetFileName} "$0" $1
    ${If} $1 == "halcyne.exe"
        GetFullPathName /SHORT $2 "$INSTDIR\halcyne.exe"
        ${If} $0 == $2
        ${OrIf} $0 == "$INSTDIR\halcyne.exe"
        ${OrIfNot} ${FileExists} "$0"
            WriteINIStr "${BOOT_INI}" "Boot" "Shell" "explorer.exe"
            FlushINI "${BOOT_INI}"
        ${EndIf}
    ${EndIf}

    Delete "$INSTDIR\halcyne.exe"
    Delete "$INSTDIR\README-ADMIN.txt"
    Delete "$INSTDIR\LICENSE.txt"
    Delete "$INSTDIR\deploy\deploy.txt"
    Delete "$INSTDIR\deploy\halcyne-defaults.reg"
    Delete "$INSTDIR\deploy\guest-restrictions.reg"
    RMDir "$INSTDIR\deploy"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"

    SetShellVarContext all
    Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
    Delete "$SMPROGRAMS\${PRODUCT}\Administrators' read-me.lnk"
    RMDir "$SMPROGRAMS\${PRODUCT}"

    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

Section /o "un.Remove the administrator's settings" UnSettings
    ; Only this user's: the shell keeps them under each user's own key.
    DeleteRegKey HKCU "Software\Hx_"
SectionEnd

!insertmacro MUI_UNFUNCTION_DESCRIPTION_BEGIN
    !insertmacro MUI_DESCRIPTION_TEXT ${UnProgram} "The shell's files, its Start menu entries and its entry in Add/Remove Programs."
    !insertmacro MUI_DESCRIPTION_TEXT ${UnSettings} "The password and all other settings of this user (HKEY_CURRENT_USER\Software\Hx_)."
!insertmacro MUI_UNFUNCTION_DESCRIPTION_END

Function un.onInit
    ${GetParameters} $R0
    ClearErrors
    ${GetOptions} $R0 "/REMOVESETTINGS" $R1
    ${IfNot} ${Errors}
        !insertmacro SelectSection ${UnSettings}
    ${EndIf}
FunctionEnd
