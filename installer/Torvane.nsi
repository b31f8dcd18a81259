; Torvane setup. Built by makensis for one architecture:
;   makensis -DARCH=x64 -DBINDIR=<win64 bin> -DBINDIR32=<win32 bin> -DOUTFILE=<setup.exe> Torvane.nsi
;   makensis -DARCH=x86 -DBINDIR=<win32 bin> -DOUTFILE=<setup.exe> Torvane.nsi
; BINDIR holds Torvane.exe and Marrowgate.dll of that architecture; the x64
; setup also carries the 32-bit Marrowgate.dll (BINDIR32) for the file dialogs
; of 32-bit programs.

Unicode true
!include "LogicLib.nsh"
!include "x64.nsh"
!include "WinMessages.nsh"

!ifndef ARCH
  !error "ARCH must be x86 or x64"
!endif
!ifndef VERSION
  !define VERSION "1.89"
!endif

!define PRODUCT "Torvane"
!define PUBLISHER "Norvask"
!define SETTINGS_KEY "Software\Norvask\Torvane"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Torvane"
!define SHCNE_ASSOCCHANGED 0x08000000

!if "${ARCH}" == "x64"
  Target amd64-unicode
!else
  Target x86-unicode
!endif

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
ShowInstDetails show
ShowUninstDetails show
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} setup (${ARCH})"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "${PUBLISHER}"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; The installation folder is stored without a trailing backslash: the shell
; extension appends "\Torvane.exe" to it.
Function .onInit
  SetShellVarContext all
!if "${ARCH}" == "x64"
  SetRegView 64
  StrCpy $INSTDIR "$PROGRAMFILES64\${PRODUCT}"
!else
  StrCpy $INSTDIR "$PROGRAMFILES\${PRODUCT}"
  ${If} ${RunningX64}
    MessageBox MB_OKCANCEL|MB_ICONEXCLAMATION "This is the 32-bit setup. On 64-bit Windows, Explorer only shows the Torvane menu entries with the x64 setup.$\r$\n$\r$\nInstall the 32-bit version anyway?" /SD IDOK IDOK +2
    Abort
  ${EndIf}
!endif
  ; An earlier installation decides the folder, so an upgrade replaces it in place.
  ClearErrors
  ReadRegStr $0 HKLM "${SETTINGS_KEY}" "InstallPath"
  ${IfNot} ${Errors}
  ${AndIf} $0 != ""
    StrCpy $INSTDIR $0
  ${EndIf}
FunctionEnd

Function un.onInit
  SetShellVarContext all
!if "${ARCH}" == "x64"
  SetRegView 64
!endif
FunctionEnd

; Puts a new copy of a DLL in place even while Explorer has the old one loaded:
; a loaded DLL can be renamed, and the renamed file goes at the next restart.
!macro ReplaceLoadedDll SOURCE TARGETDIR
  ${If} ${FileExists} "${TARGETDIR}\Marrowgate.dll"
    Delete "${TARGETDIR}\Marrowgate.dll"
    ${If} ${FileExists} "${TARGETDIR}\Marrowgate.dll"
      GetTempFileName $1 "${TARGETDIR}"
      Delete $1
      Rename "${TARGETDIR}\Marrowgate.dll" $1
      Delete /REBOOTOK $1
    ${EndIf}
  ${EndIf}
  SetOutPath "${TARGETDIR}"
  File "${SOURCE}"
!macroend

Section "Torvane" SecMain
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "${BINDIR}\Torvane.exe"
  !insertmacro ReplaceLoadedDll "${BINDIR}\Marrowgate.dll" "$INSTDIR"
!if "${ARCH}" == "x64"
  !insertmacro ReplaceLoadedDll "${BINDIR32}\Marrowgate.dll" "$INSTDIR\x86"
!endif
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  ; Where the shell extension finds the program, in every registry view a
  ; shell extension of ours is loaded from.
  WriteRegStr HKLM "${SETTINGS_KEY}" "InstallPath" "$INSTDIR"
!if "${ARCH}" == "x64"
  SetRegView 32
  WriteRegStr HKLM "${SETTINGS_KEY}" "InstallPath" "$INSTDIR"
  SetRegView 64
!endif

  ; Register the extension through its own DllRegisterServer.
  ClearErrors
  RegDLL "$INSTDIR\Marrowgate.dll"
  ${If} ${Errors}
    DetailPrint "The Explorer extension could not be registered."
  ${EndIf}
!if "${ARCH}" == "x64"
  ${If} ${FileExists} "$WINDIR\SysWOW64\regsvr32.exe"
    ExecWait '"$WINDIR\SysWOW64\regsvr32.exe" /s "$INSTDIR\x86\Marrowgate.dll"' $0
    ${If} $0 != 0
      DetailPrint "The 32-bit Explorer extension could not be registered ($0)."
    ${EndIf}
  ${EndIf}
!endif

  CreateShortcut "$SMPROGRAMS\Torvane.lnk" "$INSTDIR\Torvane.exe" "" "$INSTDIR\Torvane.exe" 0

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Torvane.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1

  System::Call 'shell32::SHChangeNotify(i ${SHCNE_ASSOCCHANGED}, i 0, p 0, p 0)'
SectionEnd

Section "Uninstall"
  UnRegDLL "$INSTDIR\Marrowgate.dll"
!if "${ARCH}" == "x64"
  ${If} ${FileExists} "$WINDIR\SysWOW64\regsvr32.exe"
  ${AndIf} ${FileExists} "$INSTDIR\x86\Marrowgate.dll"
    ExecWait '"$WINDIR\SysWOW64\regsvr32.exe" /u /s "$INSTDIR\x86\Marrowgate.dll"'
  ${EndIf}
  Delete /REBOOTOK "$INSTDIR\x86\Marrowgate.dll"
  RMDir /REBOOTOK "$INSTDIR\x86"
!endif
  Delete /REBOOTOK "$INSTDIR\Marrowgate.dll"
  Delete "$INSTDIR\Torvane.exe"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir /REBOOTOK "$INSTDIR"

  Delete "$SMPROGRAMS\Torvane.lnk"

  DeleteRegKey HKLM "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKLM "Software\Norvask"
!if "${ARCH}" == "x64"
  SetRegView 32
  DeleteRegKey HKLM "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKLM "Software\Norvask"
  SetRegView 64
!endif
  DeleteRegKey HKLM "${UNINSTALL_KEY}"

  System::Call 'shell32::SHChangeNotify(i ${SHCNE_ASSOCCHANGED}, i 0, p 0, p 0)'
SectionEnd
