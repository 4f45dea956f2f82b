; The Windows installer of Ocellix, made by tools/package.sh with Debian's NSIS:
;   makensis -DVERSION=2.1 -DSTAGE=<folder of the unpacked zip> -DOUTFILE=<setup.exe> installer.nsi
; It installs for the current user alone, with no administrator: the program's folder under
; %LOCALAPPDATA%\Programs, a Start menu shortcut, the entry in Settings' installed apps and, if
; wanted, start at sign-in. It writes nothing outside the user's folders and HKCU.
Unicode true
; Windows on x64 and on ARM both run x64 programs; the machines that build and test it run only
; 64-bit Wine.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!include MUI2.nsh
!include FileFunc.nsh
!include WordFunc.nsh
!include LogicLib.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Ocellix"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define APPROVED_KEY "Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run"
!define SHORTCUT "$SMPROGRAMS\Ocellix.lnk"
; The user's own data: the list and settings, the file locator's last pick, the pictures.
!define LIST_KEY "Software\Tarnwick\Ocellix"
!define LOCATOR_KEY "Software\Tarnwick\Blinkets"
!define MAKER_KEY "Software\Tarnwick"
!define DATA_FOLDER "$LOCALAPPDATA\Ocellix"

; Exit codes beside NSIS's own 0 (done), 1 (cancelled by the user) and 2 (stopped: Ocellix could
; not be ended, or a file could not be written).
!define EXIT_NEWER_INSTALLED 3
!define EXIT_AUTOSTART_FAILED 4
; ocellix.exe /exit: 0 it ran and has ended, 3 a dialog or the menu keeps it busy.
!define OCELLIX_ENDED 0
!define OCELLIX_BUSY 3

; A Windows file version has four numbers: the version padded with zeros.
!searchparse /noerrors "${VERSION}.0.0.0" "" V1 "." V2 "." V3 "." V4 "."

Name "Ocellix"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Ocellix"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Ocellix ${VERSION}"
VIProductVersion "${V1}.${V2}.${V3}.${V4}"
VIAddVersionKey ProductName "Ocellix"
VIAddVersionKey ProductVersion "${VERSION}"
VIAddVersionKey FileVersion "${VERSION}"
VIAddVersionKey FileDescription "Ocellix ${VERSION} Setup"
VIAddVersionKey CompanyName "Tarnwick"
VIAddVersionKey LegalCopyright "The Ocellix authors, MIT License"

Var Installed   ; the version installed before, or empty
Var Autostart   ; 1: start at sign-in
Var WasRunning  ; 1: Ocellix ran before the install ended it
Var RemoveData  ; 1: the uninstaller removes the user's list and pictures too

; makensis works from this script's folder.
!define MUI_ICON "../resources/ocellix.ico"
!define MUI_UNICON "../resources/ocellix.ico"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "This installs Ocellix ${VERSION} for you alone, in your own \
    folders: no administrator is needed.$\r$\n$\r$\nA running Ocellix is ended first and \
    started again afterwards; your blinkets are kept.$\r$\n$\r$\n$_CLICK"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\ocellix.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start Ocellix now"
; The finish page's second box, meant for a readme, serves start at sign-in.
!define MUI_FINISHPAGE_SHOWREADME ""
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Start Ocellix when I sign in"
!define MUI_FINISHPAGE_SHOWREADME_FUNCTION AutostartOn
!define MUI_PAGE_CUSTOMFUNCTION_SHOW FinishShow
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE FinishLeave
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Ends the running Ocellix through the given copy's /exit, which answers once it has ended. One
; busy with a dialog or its menu is asked again after the user has closed it; quietly, or when
; the user gives up, the whole run stops.
!macro END_RUNNING_COPY un
Function ${un}EndRunningCopy
    Pop $R0
    StrCpy $WasRunning 0
    retry:
    ExecWait '"$R0" /exit' $R1
    ${If} $R1 == ${OCELLIX_ENDED}
        StrCpy $WasRunning 1
    ${ElseIf} $R1 == ${OCELLIX_BUSY}
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Ocellix has a dialog or its menu open.$\r$\n\
            Close it, then choose Retry." /SD IDCANCEL IDRETRY retry
        Abort "Ocellix is busy with a dialog or its menu and was not ended."
    ${EndIf}
FunctionEnd
!macroend
!insertmacro END_RUNNING_COPY ""
!insertmacro END_RUNNING_COPY "un."

; Whether Windows starts Ocellix at sign-in now: a Run value whose switch under StartupApproved
; is missing or on. The switch's first byte has its lowest bit set for off.
Function StartsAtSignIn
    StrCpy $Autostart 0
    ClearErrors
    ReadRegStr $0 HKCU "${RUN_KEY}" "Ocellix"
    ${If} ${Errors}
        Return
    ${EndIf}
    StrCpy $Autostart 1
    System::Alloc 12
    Pop $1
    System::Call 'advapi32::RegGetValueW(p 0x80000001, w "${APPROVED_KEY}", w "Ocellix", \
        i 0x8, p 0, p r1, *i 12 r2) i .r0'
    ${If} $0 = 0
    ${AndIf} $2 = 12
        System::Call '*$1(i .r3)'
        IntOp $3 $3 & 1
        ${If} $3 = 1
            StrCpy $Autostart 0
        ${EndIf}
    ${EndIf}
    System::Free $1
FunctionEnd

Function .onInit
    ReadRegStr $Installed HKCU "${UNINSTALL_KEY}" "DisplayVersion"
    ${If} $Installed != ""
        ${VersionCompare} "${VERSION}" "$Installed" $0
        ${If} $0 = 2
            MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "Ocellix $Installed is installed, \
                newer than this ${VERSION}.$\r$\nReplace it with the older version?" \
                /SD IDNO IDYES older
            SetErrorLevel ${EXIT_NEWER_INSTALLED}
            Quit
            older:
        ${EndIf}
    ${EndIf}
    ; A first install starts at sign-in; an upgrade keeps what the user chose since, in Ocellix
    ; or in Settings. The command line overrides either.
    StrCpy $Autostart 1
    ${If} $Installed != ""
        Call StartsAtSignIn
    ${EndIf}
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/NOAUTOSTART" $1
    ${IfNot} ${Errors}
        StrCpy $Autostart 0
    ${EndIf}
    ClearErrors
    ${GetOptions} $0 "/AUTOSTART" $1
    ${IfNot} ${Errors}
        StrCpy $Autostart 1
    ${EndIf}
FunctionEnd

Section "Ocellix"
    ; The installed copy speaks the running one's language; without one (a first install over a
    ; portable copy), this version's does.
    ${If} ${FileExists} "$INSTDIR\ocellix.exe"
        Push "$INSTDIR\ocellix.exe"
    ${Else}
        InitPluginsDir
        File "/oname=$PLUGINSDIR\ocellix.exe" "${STAGE}/ocellix.exe"
        Push "$PLUGINSDIR\ocellix.exe"
    ${EndIf}
    Call EndRunningCopy

    SetOutPath "$INSTDIR"
    ClearErrors
    File "${STAGE}/ocellix.exe"
    File "${STAGE}/README.txt"
    File "${STAGE}/LICENSE"
    ; Pictures the user added to Blinkets stay: the list may name them.
    File /r "${STAGE}/Blinkets"
    ${If} ${Errors}
        Abort "A file of Ocellix could not be written."
    ${EndIf}
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortCut "${SHORTCUT}" "$INSTDIR\ocellix.exe" "" "$INSTDIR\ocellix.exe" 0 \
        SW_SHOWNORMAL "" "Blinkets with eyes, near the bottom of the screen"

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Ocellix"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Tarnwick"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\ocellix.exe,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    ; Run in place (_?=), the uninstaller does its work in this process, so that deployment
    ; tools waiting for the command wait for the uninstall; otherwise it hands the work to a
    ; copy of itself and returns at once.
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" \
        '"$INSTDIR\uninstall.exe" /S _?=$INSTDIR'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; ocellix.exe keeps both the Run value and Windows' switch for it, so that Settings agrees.
Function ApplyAutostart
    ${If} $Autostart = 1
        ExecWait '"$INSTDIR\ocellix.exe" /autostart on' $0
    ${Else}
        ExecWait '"$INSTDIR\ocellix.exe" /autostart off' $0
    ${EndIf}
    ${If} $0 != 0
        MessageBox MB_OK|MB_ICONEXCLAMATION "Start at sign-in could not be changed." /SD IDOK
        SetErrorLevel ${EXIT_AUTOSTART_FAILED}
    ${EndIf}
FunctionEnd

Function AutostartOn
    StrCpy $Autostart 1
    Call ApplyAutostart
FunctionEnd

Function FinishShow
    ${NSD_SetState} $mui.FinishPage.ShowReadme $Autostart
FunctionEnd

; A box left ticked calls AutostartOn after this; a box cleared turns it off here.
Function FinishLeave
    ${NSD_GetState} $mui.FinishPage.ShowReadme $Autostart
    ${If} $Autostart = 0
        Call ApplyAutostart
    ${EndIf}
FunctionEnd

; Quietly there is no finish page: its choices are made here.
Function .onInstSuccess
    ${If} ${Silent}
        Call ApplyAutostart
        ${If} $WasRunning = 1
            Exec '"$INSTDIR\ocellix.exe"'
        ${EndIf}
    ${EndIf}
FunctionEnd

; The copy that finishes an uninstall: once the uninstaller of that process id has ended, its
; file and the then empty folder go.
Function un.FinishAfter
    System::Call 'kernel32::OpenProcess(i 0x100000, i 0, i r1) p .r2'
    System::Call 'kernel32::WaitForSingleObject(p r2, i 30000)'
    System::Call 'kernel32::CloseHandle(p r2)'
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    Quit
FunctionEnd

Function un.onInit
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/WAITFOR=" $1
    ${IfNot} ${Errors}
        Call un.FinishAfter
    ${EndIf}
    ClearErrors
    ${GetOptions} $0 "/REMOVEDATA" $1
    StrCpy $RemoveData 0
    ${IfNot} ${Errors}
        StrCpy $RemoveData 1
    ${EndIf}
FunctionEnd

Section "Uninstall"
    retry:
    ${If} ${FileExists} "$INSTDIR\ocellix.exe"
        Push "$INSTDIR\ocellix.exe"
        Call un.EndRunningCopy
    ${EndIf}
    ; A copy that /exit cannot reach (one still showing its first About dialog) keeps its file:
    ; nothing else is removed then.
    Delete "$INSTDIR\ocellix.exe"
    ${If} ${FileExists} "$INSTDIR\ocellix.exe"
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Ocellix is still running. Exit it, then \
            choose Retry." /SD IDCANCEL IDRETRY retry
        Abort "Ocellix is still running and was not uninstalled."
    ${EndIf}
    ${If} $RemoveData = 0
        MessageBox MB_YESNO|MB_ICONQUESTION "Keep your blinkets and their pictures for when \
            Ocellix is installed again?" /SD IDYES IDYES keep
        StrCpy $RemoveData 1
        keep:
    ${EndIf}

    Delete "$INSTDIR\README.txt"
    Delete "$INSTDIR\LICENSE"
    ; The pictures this version brought, by name: any the user added are theirs.
    ; makensis turns every backslash of a command into a slash, so awk makes them: %c 92 is a
    ; backslash and %c 34 a double quote.
    !tempfile SHIPPED
    !system `cd "${STAGE}" && list() { awk -v verb="$1" 'BEGIN { s = sprintf("%c", 92); \
        q = sprintf("%c", 34) } { gsub("/", s); print verb " " q "$INSTDIR" s $0 q }'; } && \
        { find Blinkets -type f | sort | list Delete; \
        find Blinkets -mindepth 1 -type d | sort -r | list RMDir; } > "${SHIPPED}"` = 0
    !include "${SHIPPED}"
    !delfile "${SHIPPED}"
    Delete "${SHORTCUT}"
    DeleteRegValue HKCU "${RUN_KEY}" "Ocellix"
    DeleteRegValue HKCU "${APPROVED_KEY}" "Ocellix"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"

    ${If} $RemoveData = 1
        DeleteRegKey HKCU "${LIST_KEY}"
        DeleteRegKey HKCU "${LOCATOR_KEY}"
        DeleteRegKey /ifempty HKCU "${MAKER_KEY}"
        RMDir /r "${DATA_FOLDER}"
        RMDir /r "$INSTDIR\Blinkets"
    ${EndIf}
    RMDir "${DATA_FOLDER}\Pictures"
    RMDir "${DATA_FOLDER}"
    RMDir "$INSTDIR\Blinkets"

    ; Run in place, the uninstaller cannot delete its own file; Windows lets a running program
    ; be moved, though, and the user's temporary folder takes it.
    Delete "$INSTDIR\uninstall.exe"
    ${If} ${FileExists} "$INSTDIR\uninstall.exe"
        GetTempFileName $0
        Delete $0
        Rename "$INSTDIR\uninstall.exe" $0
    ${EndIf}
    ; The folder cannot go while it is this process's current folder.
    SetOutPath "$TEMP"
    RMDir "$INSTDIR"
    ; Where it cannot be moved (under Wine, or with the temporary folder on another drive), a
    ; copy of it there finishes once this process has ended.
    ${If} ${FileExists} "$INSTDIR\uninstall.exe"
        GetTempFileName $0
        CopyFiles /SILENT "$EXEPATH" $0
        System::Call 'kernel32::GetCurrentProcessId() i .r1'
        Exec '"$0" /WAITFOR=$1 _?=$INSTDIR'
    ${EndIf}
SectionEnd
