; Vestrel's installer: a per-user install of the program folder into the user's own programs folder,
; a Start-menu shortcut and an uninstaller listed in Apps & features. No administrator rights needed;
; administrators roll it out with /S (and /D=<folder>, last on the command line).
; The build's dist target runs makensis with VERSION, ARCH (i686 or x86_64), PROGRAM_DIR (the program
; folder), FILE_LIST (its files, written by cmake/ListProgramFolder.cmake), OUTFILE, and PYTHON and
; SIGN_SCRIPT (installer/sign.py, which signs when the build is given a certificate).

Unicode true
ManifestDPIAware true
ManifestSupportedOS all
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh
!include x64.nsh

!define PRODUCT "Vestrel"
!define PUBLISHER "The Vestrel developers"
!define EXE "${PRODUCT}.exe"
!define UNINSTALLER "Uninstall.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define SETTINGS_KEY "Software\${PRODUCT}"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT}.lnk"
!if ${ARCH} == x86_64
    !define EDITION " (64-bit)"
!else
    !define EDITION ""
!endif

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}${EDITION}"
ShowUninstDetails show

; The uninstaller is packed into the setup: it is signed before that, the setup itself after.
!uninstfinalize '"${PYTHON}" "${SIGN_SCRIPT}" --quiet "%1"' = 0

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey ProductName "${PRODUCT}"
VIAddVersionKey ProductVersion "${VERSION}"
VIAddVersionKey FileVersion "${VERSION}"
VIAddVersionKey FileDescription "${PRODUCT} ${VERSION}${EDITION} Setup"
VIAddVersionKey CompanyName "${PUBLISHER}"
VIAddVersionKey LegalCopyright "Copyright (C) ${PUBLISHER}"

Var CreatedFolder ; 1 when this installer made the install folder, so the uninstaller may remove it
Var Removed       ; what the uninstaller removed, one line each, for its last page

!define MUI_ICON "../res/skin/program.ico"
!define MUI_UNICON "../res/skin/program.ico"
!define MUI_WELCOMEFINISHPAGE_BITMAP "wizard.bmp"
!define MUI_UNWELCOMEFINISHPAGE_BITMAP "wizard.bmp"
!define MUI_HEADERIMAGE
!define MUI_HEADERIMAGE_RIGHT
!define MUI_HEADERIMAGE_BITMAP "header.bmp"
!define MUI_HEADERIMAGE_UNBITMAP "header.bmp"
!define MUI_ABORTWARNING
!define MUI_UNABORTWARNING

!define MUI_WELCOMEPAGE_TITLE "Welcome to ${PRODUCT} ${VERSION}"
!define MUI_WELCOMEPAGE_TEXT "${PRODUCT} removes the traces that browsing and everyday work leave on \
    this computer: browser caches, cookies and history, recent-document lists, temporary files and the \
    recycle bins.$\r$\n$\r$\nSetup installs it for you alone, in your own programs folder; it needs no \
    administrator rights.$\r$\n$\r$\nClick Next to continue."
!insertmacro MUI_PAGE_WELCOME
!define MUI_DIRECTORYPAGE_TEXT_TOP "Setup will install ${PRODUCT} in the following folder. ${PRODUCT} keeps \
    its settings file and its record of erase runs in this folder too, so choose one you can write to."
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE CloseRunning
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\${EXE}"
!define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT} now"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\docs\index.html"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Read the user guide"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!insertmacro MUI_PAGE_FINISH

!define MUI_PAGE_CUSTOMFUNCTION_LEAVE un.CloseRunning
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!define MUI_FINISHPAGE_TITLE "${PRODUCT} has been removed"
!define MUI_FINISHPAGE_TEXT "$Removed"
!insertmacro MUI_UNPAGE_FINISH

!insertmacro MUI_LANGUAGE "English"

; Asked when leaving the folder or confirmation page, and again by the sections for a silent run.
; Ends every running Vestrel after asking: a close request first, which makes Vestrel store the
; selection on its pages, then, since Vestrel answers that request with a question of its own, the end
; of its process. Gives up (leaves setup) if the user says no or a copy cannot be ended.
!macro CLOSE_RUNNING prefix
Function ${prefix}CloseRunning
    FindWindow $0 "#32770" "${PRODUCT}"
    ${If} $0 = 0
        Return
    ${EndIf}
    MessageBox MB_OKCANCEL|MB_ICONEXCLAMATION "${PRODUCT} is running. It has to be closed first.$\r$\n$\r$\n\
        Click OK to close ${PRODUCT}, or Cancel to leave." /SD IDOK IDOK close
    Quit
close:
    FindWindow $0 "#32770" "${PRODUCT}"
    ${If} $0 = 0
        Return
    ${EndIf}
    System::Call "user32::GetWindowThreadProcessId(p r0, *i .r1)"
    ; SYNCHRONIZE | PROCESS_TERMINATE
    System::Call "kernel32::OpenProcess(i 0x100001, i 0, i r1) p .r2"
    ${If} $2 = 0
        MessageBox MB_RETRYCANCEL|MB_ICONSTOP "${PRODUCT} could not be closed. Close it yourself, \
            then click Retry." /SD IDCANCEL IDRETRY close
        SetErrorLevel 2
        Quit
    ${EndIf}
    SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=2000
    System::Call "kernel32::TerminateProcess(p r2, i 0)"
    System::Call "kernel32::WaitForSingleObject(p r2, i 10000)"
    System::Call "kernel32::CloseHandle(p r2)"
    Goto close
FunctionEnd
!macroend
!insertmacro CLOSE_RUNNING ""
!insertmacro CLOSE_RUNNING "un."

Function .onInit
!if ${ARCH} == x86_64
    ${IfNot} ${RunningX64}
        MessageBox MB_ICONSTOP "This is the 64-bit ${PRODUCT}, and this Windows is 32-bit. \
            Please use the 32-bit setup." /SD IDOK
        Abort
    ${EndIf}
!endif
FunctionEnd

; A folder that was there before belongs to the user; a reinstall into a folder this installer made
; keeps it the installer's.
Function NoteWhetherFolderIsNew
    StrCpy $CreatedFolder 0
    ${IfNot} ${FileExists} "$INSTDIR\*.*"
        StrCpy $CreatedFolder 1
        Return
    ${EndIf}
    ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
    ReadRegDWORD $1 HKCU "${UNINSTALL_KEY}" "InstallerCreatedFolder"
    ${If} $0 == $INSTDIR
    ${AndIf} $1 = 1
        StrCpy $CreatedFolder 1
    ${EndIf}
FunctionEnd

Section "${PRODUCT}"
    SectionIn RO
    Call CloseRunning
    Call NoteWhetherFolderIsNew

    SetOutPath "$INSTDIR"
    ; Not what a run of the program folder wrote beside itself.
    File /r /x "${PRODUCT}.conf" /x "${PRODUCT}.cache" /x "${PRODUCT}.log" /x "${PRODUCT}.conf.new" "${PROGRAM_DIR}/*"
    ; The configuration file holds the user's selection: a reinstall keeps it.
    SetOverwrite off
    File "${PROGRAM_DIR}/${PRODUCT}.conf"
    SetOverwrite on
    WriteUninstaller "$INSTDIR\${UNINSTALLER}"
    CreateShortcut "${SHORTCUT}" "$INSTDIR\${EXE}" "" "$INSTDIR\${EXE}" 0 SW_SHOWNORMAL "" \
        "Erase browsing and everyday traces"

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}${EDITION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${EXE},0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "InstallerCreatedFolder" $CreatedFolder
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

!macro REMOVED text
    DetailPrint "${text}"
    StrCpy $Removed "$Removed$\r$\n${U+2022}  ${text}"
!macroend

Section "Uninstall"
    Call un.CloseRunning
    ReadRegDWORD $CreatedFolder HKCU "${UNINSTALL_KEY}" "InstallerCreatedFolder"
    StrCpy $Removed "${PRODUCT} is no longer on this computer. Removed:$\r$\n"

    ; The current user's task that erases while the program is closed; the user's own right suffices.
    ${If} ${FileExists} "$INSTDIR\vestrel-cli.exe"
        nsExec::Exec '"$INSTDIR\vestrel-cli.exe" schedule --remove-task'
        Pop $0
        ${If} $0 = 0
            !insertmacro REMOVED "the scheduled erase in the Task Scheduler, if there was one"
        ${EndIf}
    ${EndIf}

    ; Only files the installer copied or the program writes beside itself; anything else stays.
    !include "${FILE_LIST}"
    Delete "$INSTDIR\${PRODUCT}.conf.new"
    Delete "$INSTDIR\${PRODUCT}.log"
    Delete "$INSTDIR\${PRODUCT}.cache"
    Delete "$INSTDIR\[*]${PRODUCT}.log"
    Delete "$INSTDIR\${UNINSTALLER}"
    Delete "${SHORTCUT}"
    ; The folder cannot go while it is this process's working folder.
    SetOutPath "$TEMP"
    ${If} $CreatedFolder = 1
        RMDir "$INSTDIR"
    ${EndIf}
    ${If} ${FileExists} "$INSTDIR\*.*"
        !insertmacro REMOVED "the program's files in $INSTDIR (the folder stays: it holds other files \
            or was there before)"
    ${Else}
        !insertmacro REMOVED "the program folder $INSTDIR"
    ${EndIf}

    ; The entry goes when it starts this copy or a program that is gone; another copy's entry stays.
    ; Vestrel writes the path in quotes; older versions wrote it bare.
    ClearErrors
    ReadRegStr $0 HKCU "${RUN_KEY}" "${PRODUCT}"
    ${IfNot} ${Errors}
        StrCpy $1 $0 1
        StrCpy $2 $0 "" -1
        StrLen $3 $0
        ${If} $1 == "$\""
        ${AndIf} $2 == "$\""
        ${AndIf} $3 >= 2
            StrCpy $0 $0 -1 1
        ${EndIf}
        ${If} $0 == "$INSTDIR\${EXE}"
        ${OrIfNot} ${FileExists} $0
            DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
            !insertmacro REMOVED "the start-with-Windows entry"
        ${EndIf}
    ${EndIf}

    DeleteRegKey HKCU "${SETTINGS_KEY}"
    !insertmacro REMOVED "the settings and statistics (HKEY_CURRENT_USER\${SETTINGS_KEY})"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
