; The OrvelloWord installer: for the current user, without administrator rights.
; makensis -DVERSION=1.0.0 -DARCH=win32|win64 -DSOURCE=<folder of the files> -DOUTFILE=<exe>
; (scripts/package.sh passes them). /S installs, and the uninstaller removes, silently.
Unicode true
!ifndef VERSION | ARCH | SOURCE | OUTFILE
  !error "VERSION, ARCH, SOURCE and OUTFILE must be defined"
!endif
!if "${ARCH}" == "win64"
  Target amd64-unicode
!endif

!define PRODUCT "OrvelloWord"
!define PUBLISHER "Orvello Software"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\OrvelloWord"
!define APPLICATION_KEY "Software\Classes\Applications\OrvelloWord.exe"
!define PROGID "OrvelloWord.Document"
!define PROGID_KEY "Software\Classes\OrvelloWord.Document"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\OrvelloWord"
SetCompressor /SOLID lzma
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} installer"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (C) ${PUBLISHER}"

Page license
Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles
LicenseData "${SOURCE}\LICENSE.txt"

; "Open with" offers OrvelloWord for the extension; the default program stays as it is.
!macro OfferFor EXTENSION
  WriteRegNone HKCU "Software\Classes\${EXTENSION}\OpenWithProgids" "${PROGID}"
  WriteRegStr HKCU "${APPLICATION_KEY}\SupportedTypes" "${EXTENSION}" ""
!macroend

; Takes the offer back, and the keys that only held it.
!macro WithdrawFrom EXTENSION
  DeleteRegValue HKCU "Software\Classes\${EXTENSION}\OpenWithProgids" "${PROGID}"
  DeleteRegKey /ifempty HKCU "Software\Classes\${EXTENSION}\OpenWithProgids"
  DeleteRegKey /ifempty HKCU "Software\Classes\${EXTENSION}"
!macroend

Section
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File "${SOURCE}\OrvelloWord.exe"
  File "${SOURCE}\tracesend.exe"
  File "${SOURCE}\README.txt"
  File "${SOURCE}\LICENSE.txt"
  File "${SOURCE}\SCOWL-LICENSE.txt"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortcut "$SMPROGRAMS\OrvelloWord.lnk" "$INSTDIR\OrvelloWord.exe" "" \
                 "$INSTDIR\OrvelloWord.exe" 0 SW_SHOWNORMAL "" "Edit plain and rich text"

  WriteRegStr HKCU "${APPLICATION_KEY}" "FriendlyAppName" "${PRODUCT}"
  WriteRegStr HKCU "${APPLICATION_KEY}\shell\open\command" "" '"$INSTDIR\OrvelloWord.exe" "%1"'
  WriteRegStr HKCU "${PROGID_KEY}" "" "${PRODUCT} document"
  WriteRegStr HKCU "${PROGID_KEY}\DefaultIcon" "" "$INSTDIR\OrvelloWord.exe,0"
  WriteRegStr HKCU "${PROGID_KEY}\shell\open\command" "" '"$INSTDIR\OrvelloWord.exe" "%1"'
  !insertmacro OfferFor ".txt"
  !insertmacro OfferFor ".rtf"
  !insertmacro OfferFor ".wri"

  ; Apps & features (Programs and Features).
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\OrvelloWord.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" 2048
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  Delete "$INSTDIR\OrvelloWord.exe"
  Delete "$INSTDIR\tracesend.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\SCOWL-LICENSE.txt"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  ; The Programs folder is made by the first per-user install; it goes when it is empty.
  RMDir "$LOCALAPPDATA\Programs"
  Delete "$SMPROGRAMS\OrvelloWord.lnk"
  ; The folder where the program keeps unsaved work; it goes only when it holds none.
  RMDir "$LOCALAPPDATA\OrvelloWord\Recovery"
  RMDir "$LOCALAPPDATA\OrvelloWord"

  !insertmacro WithdrawFrom ".txt"
  !insertmacro WithdrawFrom ".rtf"
  !insertmacro WithdrawFrom ".wri"
  DeleteRegKey HKCU "${PROGID_KEY}"
  DeleteRegKey HKCU "${APPLICATION_KEY}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ; Parents that the install may have made, if nothing else uses them.
  DeleteRegKey /ifempty HKCU "Software\Classes\Applications"
  DeleteRegKey /ifempty HKCU "Software\Microsoft\Windows\CurrentVersion\Uninstall"

  ; The user's own things only when asked for (kept in silent mode).
  MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
    "Remove your OrvelloWord settings and your word list (Dictionary.txt) as well?" \
    /SD IDNO IDNO keep
  DeleteINISec "$WINDIR\win.ini" "OrvelloWord"
  DeleteINISec "$WINDIR\win.ini" "OXR"
  Delete "$APPDATA\OrvelloWord\Dictionary.txt"
  RMDir "$APPDATA\OrvelloWord"
  keep:
SectionEnd
