#!/bin/bash
# Fails unless the given exe imports only DLLs that Windows never takes from the exe's folder:
# KnownDLLs, which always come from System32, and comctl32, which the embedded manifest's
# side-by-side dependency resolves. Everything else (the spooler above all) is loaded at run time
# from System32.
set -euo pipefail
exe=$1
known='^(kernel32|user32|gdi32|msvcrt|advapi32|shell32|ole32|comdlg32|ntdll)\.dll$'
dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p')
echo "$exe imports:" $dlls
status=0
for dll in $dlls; do
  name=$(echo "$dll" | tr '[:upper:]' '[:lower:]')
  [[ $name == comctl32.dll ]] && continue
  if ! [[ $name =~ $known ]]; then
    echo "not a KnownDLL, so Windows may take it from the exe's folder: $dll" >&2
    status=1
  fi
done
[ -n "$dlls" ] || { echo "no imports found in $exe" >&2; exit 1; }
# Without the manifest's dependency comctl32 would be searched for beside the exe first.
if echo "$dlls" | grep -qi '^comctl32\.dll$' &&
  ! grep -aq 'name="Microsoft.Windows.Common-Controls"' "$exe"; then
  echo "imports comctl32 without the manifest dependency that takes it from WinSxS" >&2
  status=1
fi
exit $status
