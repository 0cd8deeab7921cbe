; The setup program of Halcyne 2. ANSI, so that it runs on Windows 95 to XP;
; the only plug-ins are NSIS's own ANSI nsDialogs (the password page) and
; System (one call to CharLower), which run there too.
; Built by scripts/release.sh, which defines VERSION, VERSION_BINARY, SRCDIR
; (the sources), STAGE (the folder holding the files to install) and OUTFILE.
;
; Silent use:   setup.exe /S [/SHELL=1] [/PASSWORD=text] [/DISABLETASKMGR=0]
;                         [/DISABLEREGEDIT=0] [/D=folder]
;               uninstall.exe /S [/REMOVESETTINGS]
; The two policies are switched on with /SHELL=1 on Windows 2000 and XP
; unless =0 says otherwise. Exit code 2: a password Halcyne cannot take.

!ifdef PREVIEW_TARGET
; scripts/screenshot.sh on hosts without 32-bit code: a picture, never shipped.
Target ${PREVIEW_TARGET}
!else
Unicode false
!endif
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "Sections.nsh"
!include "nsDialogs.nsh"
!include "WinVer.nsh"

!define PRODUCT "Halcyne 2"
!define PUBLISHER "the Halcyne 2 developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Halcyne 2"
; The same entry the Options Panel's "Boot Halcyne" writes.
!define BOOT_INI "$WINDIR\System.ini"
!define PRODUCT_KEY "Software\Hx_"
; Where Guest Restrictions writes its "Disable Task Manager" and
; "Disable registry editing tools": the same values, REG_DWORD 1.
!define SYSTEM_POLICIES "Software\Microsoft\Windows\CurrentVersion\Policies\System"
; The Security dialog takes at most 63 characters, lowercase.
!define PASSWORD_LIMIT 63

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
Page custom PasswordPage PasswordPageLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_COMPONENTSPAGE_TEXT_TOP "Halcyne 2 is removed. Its settings (the administrator password among them) stay unless you tick the box below."
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Var Password          ; what is written, when SetPassword is 1
Var SetPassword
Var DisableTaskMgr    ; 1 or 0, used with the shell choice on 2000/XP
Var DisableRegEdit
Var PasswordField
Var ConfirmField
Var TaskMgrBox
Var RegEditBox

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
    ; On 2000/XP Ctrl+Alt+Del opens the Task Manager whatever the shell.
    ${If} ${IsNT}
        ${If} $DisableTaskMgr == 1
            WriteRegDWORD HKCU "${SYSTEM_POLICIES}" "DisableTaskMgr" 1
        ${EndIf}
        ${If} $DisableRegEdit == 1
            WriteRegDWORD HKCU "${SYSTEM_POLICIES}" "DisableRegistryTools" 1
        ${EndIf}
    ${EndIf}
SectionEnd

Section "-Administrator password"
    ${If} $SetPassword == 1
        WriteRegStr HKCU "${PRODUCT_KEY}" "Password" $Password
    ${EndIf}
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
    !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} "The shell, the administrators' read-me and the deployment files."
    !insertmacro MUI_DESCRIPTION_TEXT ${SecShell} "Windows starts Halcyne instead of its own desktop (System.ini [Boot] $\"Shell$\")."
!insertmacro MUI_FUNCTION_DESCRIPTION_END

; $0 as the Security dialog's field gives it: lowercase, like what is typed there.
Function LowerPassword
    System::Call "user32::CharLower(t r0 r0)"
FunctionEnd

Function .onInit
    StrCpy $SetPassword 0
    StrCpy $DisableTaskMgr 1
    StrCpy $DisableRegEdit 1
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
    ClearErrors
    ${GetOptions} $R0 "/DISABLETASKMGR=" $R1
    ${IfNot} ${Errors}
    ${AndIf} $R1 == "0"
        StrCpy $DisableTaskMgr 0
    ${EndIf}
    ClearErrors
    ${GetOptions} $R0 "/DISABLEREGEDIT=" $R1
    ${IfNot} ${Errors}
    ${AndIf} $R1 == "0"
        StrCpy $DisableRegEdit 0
    ${EndIf}
    ClearErrors
    ${GetOptions} $R0 "/PASSWORD=" $0
    ${IfNot} ${Errors}
        StrLen $1 $0
        ${If} $1 > ${PASSWORD_LIMIT}
            MessageBox MB_OK|MB_ICONSTOP "The password is longer than ${PASSWORD_LIMIT} characters: Halcyne's Security dialog could never take it." /SD IDOK
            SetErrorLevel 2
            Quit
        ${EndIf}
        Call LowerPassword
        StrCpy $Password $0
        StrCpy $SetPassword 1
    ${EndIf}
FunctionEnd

Function PasswordPage
    !insertmacro MUI_HEADER_TEXT "Administrator password" "The password that opens Halcyne's Options Panel (F3)."
    nsDialogs::Create 1018
    Pop $0
    ${If} $0 == error
        Abort
    ${EndIf}
    ReadRegStr $1 HKCU "${PRODUCT_KEY}" "Password"
    ${If} $1 == ""
        StrCpy $1 "Without one, anyone who presses F3 and Enter opens the Options Panel."
    ${Else}
        StrCpy $1 "A password is already set: leave both fields empty to keep it."
    ${EndIf}
    ${NSD_CreateLabel} 0 0 100% 30u "Guests must not know this password. Capital letters become small ones, as in Halcyne's own password field. $1"
    Pop $0
    ${NSD_CreateLabel} 0 36u 80u 10u "Password:"
    Pop $0
    ${NSD_CreatePassword} 84u 34u 120u 12u $Password
    Pop $PasswordField
    ${NSD_CreateLabel} 0 54u 80u 10u "Confirm password:"
    Pop $0
    ${NSD_CreatePassword} 84u 52u 120u 12u $Password
    Pop $ConfirmField
    ${NSD_AddStyle} $PasswordField ${ES_LOWERCASE}
    ${NSD_AddStyle} $ConfirmField ${ES_LOWERCASE}
    ${NSD_SetTextLimit} $PasswordField ${PASSWORD_LIMIT}
    ${NSD_SetTextLimit} $ConfirmField ${PASSWORD_LIMIT}
    ; Only there does Ctrl+Alt+Del bring up the Task Manager.
    ${If} ${SectionIsSelected} ${SecShell}
    ${AndIf} ${IsNT}
        ${NSD_CreateLabel} 0 78u 100% 10u "For the guests of this Windows user, with Halcyne as the shell:"
        Pop $0
        ${NSD_CreateCheckBox} 10u 92u 200u 10u "Disable Task Manager"
        Pop $TaskMgrBox
        ${NSD_CreateCheckBox} 10u 106u 200u 10u "Disable registry editing tools"
        Pop $RegEditBox
        ${If} $DisableTaskMgr == 1
            ${NSD_Check} $TaskMgrBox
        ${EndIf}
        ${If} $DisableRegEdit == 1
            ${NSD_Check} $RegEditBox
        ${EndIf}
    ${Else}
        StrCpy $TaskMgrBox ""
        StrCpy $RegEditBox ""
    ${EndIf}
    ${NSD_SetFocus} $PasswordField
    nsDialogs::Show
FunctionEnd

Function PasswordPageLeave
    ${If} $TaskMgrBox != ""
        ${NSD_GetState} $TaskMgrBox $0
        ${If} $0 == ${BST_CHECKED}
            StrCpy $DisableTaskMgr 1
        ${Else}
            StrCpy $DisableTaskMgr 0
        ${EndIf}
        ${NSD_GetState} $RegEditBox $0
        ${If} $0 == ${BST_CHECKED}
            StrCpy $DisableRegEdit 1
        ${Else}
            StrCpy $DisableRegEdit 0
        ${EndIf}
    ${EndIf}
    ${NSD_GetText} $PasswordField $0
    ${NSD_GetText} $ConfirmField $1
    ${If} $0 S!= $1
        MessageBox MB_OK|MB_ICONSTOP "Passwords don't match !"
        Abort
    ${EndIf}
    ${If} $0 == ""
        StrCpy $SetPassword 0
        StrCpy $Password ""
        ReadRegStr $2 HKCU "${PRODUCT_KEY}" "Password"
        ${If} $2 == ""
        ${AndIf} ${Cmd} `MessageBox MB_YESNO|MB_ICONEXCLAMATION "No administrator password: anyone who presses F3 and Enter opens the Options Panel. Go on without one?" IDNO`
            Abort
        ${EndIf}
        Return
    ${EndIf}
    Call LowerPassword
    StrCpy $Password $0
    StrCpy $SetPassword 1
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
    DeleteRegKey HKCU "${PRODUCT_KEY}"
    ; The two policies the setup program switches on with the shell choice.
    DeleteRegValue HKCU "${SYSTEM_POLICIES}" "DisableTaskMgr"
    DeleteRegValue HKCU "${SYSTEM_POLICIES}" "DisableRegistryTools"
SectionEnd

!insertmacro MUI_UNFUNCTION_DESCRIPTION_BEGIN
    !insertmacro MUI_DESCRIPTION_TEXT ${UnProgram} "The shell's files, its Start menu entries and its entry in Add/Remove Programs."
    !insertmacro MUI_DESCRIPTION_TEXT ${UnSettings} "The password and all other settings of this user (HKEY_CURRENT_USER\Software\Hx_), and this user's $\"Disable Task Manager$\" and $\"Disable registry editing tools$\" policies."
!insertmacro MUI_UNFUNCTION_DESCRIPTION_END

Function un.onInit
    ${GetParameters} $R0
    ClearErrors
    ${GetOptions} $R0 "/REMOVESETTINGS" $R1
    ${IfNot} ${Errors}
        !insertmacro SelectSection ${UnSettings}
    ${EndIf}
FunctionEnd
