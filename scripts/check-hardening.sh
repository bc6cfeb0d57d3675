#!/bin/bash
# Fails unless the given exe carries the protections an elevated program should have: ASLR with
# its relocations kept, DEP, terminal-server awareness, high-entropy ASLR in a 64-bit exe, the
# stack protector linked in (not imported from a MinGW DLL), a subsystem and OS version of 6.0 or
# later, and a call that stops the process on heap corruption.
set -euo pipefail
exe=$1
headers=$(x86_64-w64-mingw32-objdump -p "$exe")
status=0
fail() {
  echo "$exe: $*" >&2
  status=1
}

flags=$((0x$(awk '$1 == "DllCharacteristics" { print $2 }' <<<"$headers")))
characteristics=$(awk '$1 == "Characteristics" { print $2; exit }' <<<"$headers")
((flags & 0x40)) || fail "no ASLR (DYNAMIC_BASE)"
((characteristics & 0x1)) && fail "relocations stripped, so ASLR cannot move it"
grep -Eq '^Entry 5 [0-9a-f]+ 0*[1-9a-f][0-9a-f]* Base Relocation' <<<"$headers" ||
  fail "no base relocations"
((flags & 0x100)) || fail "no DEP (NX_COMPAT)"
((flags & 0x8000)) || fail "not terminal-server aware (TERMINAL_SERVICE_AWARE)"
if grep -q 'PE32+' <<<"$headers"; then
  ((flags & 0x20)) || fail "no high-entropy ASLR (HIGH_ENTROPY_VA)"
fi
# libssp's report is linked in only with the guard that calls it.
grep -aq 'stack smashing detected' "$exe" || fail "no stack protector linked in"
for field in MajorSubsystemVersion MajorOSystemVersion; do
  version=$(awk -v f=$field '$1 == f { print $2 }' <<<"$headers")
  ((${version:-0} >= 6)) || fail "$field ${version:-missing}, not 6 or later"
done
# Windows enables it unasked only in 64-bit processes; the entry point asks in both.
grep -Eq '^\s+[0-9a-f]+\s+[0-9]+\s+HeapSetInformation$' <<<"$headers" ||
  fail "does not ask to stop on heap corruption (no HeapSetInformation import)"
((status)) || echo "$exe: ASLR with relocations, DEP, terminal-server aware, stack protector," \
  "subsystem 6.0, stops on heap corruption"
exit $status
