; The Windows installer of Lunaret, made by scripts/windows-app.sh:
;   makensis -DVERSION=<x.y> -DFILES=<install.nsh> -DREMOVE=<uninstall.nsh> -DOUTFILE=<setup.exe>
; FILES holds the File lines of the program and its DLLs, REMOVE the Delete lines of the same
; files, so that the uninstaller removes what was installed and nothing else.
;
; It installs for the user alone, without asking for an administrator: into
; %LOCALAPPDATA%\Programs\Lunaret, with a Start-menu entry and an uninstaller registered under
; HKCU. Neither installer nor uninstaller touches HKCU\Software\Lunaret: that is her data, which
; stays when the program is removed.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Lunaret"

Name "Lunaret ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Lunaret"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Lunaret"
  SetShellVarContext current
  !include "${FILES}"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Lunaret.lnk" "$INSTDIR\lunaret.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Lunaret"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\lunaret.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  Delete "$SMPROGRAMS\Lunaret.lnk"
  !include "${REMOVE}"
  Delete "$INSTDIR\uninstall.exe"
  ; Only when empty: a folder she chose may hold files of her own.
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
