#!/bin/bash
# Release signing end to end, on a throwaway PKI that openssl makes here and that goes with the
# run: signs the shipped exe with scripts/sign.sh and checks releases with
# scripts/verify-release.sh, case by case from the table below (what must pass, what must fail and
# for which reason), then starts the signed exe under 32-bit Wine in the i686 tests' prefix.
#   check-release-signing.sh [<build-dir>]   default build/; needs win-i686 built and its Windows
#                                            tests run once (pd_window.exe and the prefix)
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
build=$(readlink -f "${1:-$src/build}")
i686=$build/win-i686
prefix=$i686/tests/wine/wine-prefix
probe=$i686/tests/wine/window/pd_window.exe
module=/usr/lib/softhsm/libsofthsm2.so

die() {
  echo "check-release-signing: $*" >&2
  exit 1
}
. "$src/scripts/rebuild-common.sh"
[ -f "$i686/PrinterDefaults.exe" ] || die "no $i686/PrinterDefaults.exe; build win-i686 first"
[ -f "$module" ] || die "no $module (bash scripts/setup.sh installs softhsm2)"

tmp=$(mktemp -d /tmp/pd-signing.XXXXXX)
other=$(mktemp -d /tmp/pd-rebuild.XXXXXX)
commit_build=$(mktemp -d /tmp/pd-rebuild.XXXXXX)
# In the i686 build folder, which 32-bit Wine sees; its Xvfb and wineserver go with it.
smoke=$(mktemp -d "$i686/signing-smoke.XXXXXX")
wine_state=$smoke/state
cleanup() {
  if [ -d "$wine_state" ]; then
    WINE=$src/cmake/wine32/wine sh "$src/tests/wine/prefix.sh" stop "$prefix" "$wine_state"
  fi
  rm -rf "$tmp" "$other" "$commit_build" "$smoke"
}
trap cleanup EXIT
export PD_REBUILD_CACHE=$tmp/rebuilds
sign=(bash "$src/scripts/sign.sh")
verify=(bash "$src/scripts/verify-release.sh")
sha256() { sha256sum "$1" | cut -d' ' -f1; }

# --- The PKI: root -> intermediate -> code-signing leaf, valid one day; root -> TSA; a stranger
# root of the same name; a second leaf of the same subject.
cd "$tmp"
cat >ext.cnf <<'EOF'
[ca]
basicConstraints = critical,CA:true
keyUsage = critical,keyCertSign,cRLSign
[leaf]
keyUsage = critical,digitalSignature
extendedKeyUsage = codeSigning
[tsa]
keyUsage = critical,digitalSignature
extendedKeyUsage = critical,timeStamping
EOF
cert() {  # <name> <subject> <extensions> <days> [<issuer>]
  if [ $# -eq 4 ]; then
    openssl req -x509 -newkey rsa:2048 -nodes -keyout "$1.key" -out "$1.pem" -subj "$2" \
      -days "$4" -config ext.cnf -extensions "$3" 2>/dev/null
  else
    openssl req -new -newkey rsa:2048 -nodes -keyout "$1.key" -subj "$2" 2>/dev/null |
      openssl x509 -req -CA "$5.pem" -CAkey "$5.key" -set_serial "0x$(openssl rand -hex 8)" \
        -days "$4" -extfile ext.cnf -extensions "$3" -out "$1.pem" 2>/dev/null
  fi
  openssl x509 -in "$1.pem" -outform DER | sha256sum | cut -d' ' -f1 >"$1.sha256"
}
cert root "/CN=PrinterDefaults Test Root" ca 30
cert wrong-root "/CN=PrinterDefaults Test Root" ca 30
cert intermediate "/CN=PrinterDefaults Test Intermediate" ca 30 root
cert leaf "/O=Kelvo Test/CN=Kelvo Test Publisher" leaf 1 intermediate
cert other-leaf "/O=Kelvo Test/CN=Kelvo Test Publisher" leaf 1 intermediate
cert tsa "/CN=PrinterDefaults Test TSA" tsa 30 root
cat leaf.pem intermediate.pem >chain.pem
cat chain.pem root.pem >chain-with-root.pem
cat tsa.pem root.pem >tsa-chain.pem
openssl rand -hex 12 >password
openssl pkcs12 -export -inkey leaf.key -in leaf.pem -passout file:password -out leaf.p12
expired=$(($(date +%s) + 3 * 86400))  # the leaf expired, the roots and the TSA still valid

# A hardware token: SoftHSM2 in this folder holding the leaf's key.
export SOFTHSM2_CONF=$tmp/softhsm2.conf
mkdir tokens
printf 'directories.tokendir = %s\nobjectstore.backend = file\n' "$tmp/tokens" >"$SOFTHSM2_CONF"
openssl rand -hex 6 >pin
softhsm2-util --init-token --free --label pd-release --pin "$(cat pin)" \
  --so-pin "$(openssl rand -hex 6)" >/dev/null
openssl pkcs8 -topk8 -nocrypt -in leaf.key |
  softhsm2-util --import /dev/stdin --token pd-release --label signing --id 01 \
    --pin "$(cat pin)" >/dev/null

# --- What is signed: CI's i686 exe when the working tree is the commit, else the commit's rebuild.
commit_exe "$src" "$commit_build"
exe=$i686/PrinterDefaults.exe
if ! git -C "$src" diff --quiet HEAD --; then
  echo "the working tree differs from commit $commit: signing the commit's rebuild"
  exe=$tmp/PrinterDefaults.exe
  cp "$rebuilt" "$exe"
fi
# Another build: the same commit with one compiler flag changed, and a signature made for it.
mkdir "$other/src"
git -C "$src" archive HEAD | tar -x -C "$other/src"
build_elsewhere "$other/src" "$other" "$other/src/cmake/toolchain-mingw-i686.cmake" MinSizeRel \
  -DCMAKE_CXX_FLAGS=-fomit-frame-pointer || die "the other build failed"
other_exe=$other/build/PrinterDefaults.exe
! cmp -s "$other_exe" "$exe" || die "the changed flag left the exe as it was"
osslsigncode sign -h sha256 -n PrinterDefaults -pkcs12 leaf.p12 -readpass password \
  -ac intermediate.pem -TSA-certs tsa-chain.pem -TSA-key tsa.key -in "$other_exe" \
  -out other-signed.exe >/dev/null

pkcs12=(--certs chain.pem --pkcs12 leaf.p12 --pass-file password)
token=(--certs chain.pem --pkcs11 "pkcs11:token=pd-release;object=signing;type=private"
  --module "$module" --pass-file pin)
builtin_tsa=(--tsa-certs tsa-chain.pem --tsa-key tsa.key)
trust=(--ca root.pem --tsa-ca root.pem)

# --- What the table calls besides the two scripts.
flip_code_byte() {  # <in> <out>: the byte in the middle of .text inverted
  local size offset byte
  read -r size offset < <(i686-w64-mingw32-objdump -h "$1" | awk '$2 == ".text" { print $3, $6 }')
  offset=$((0x$offset + 0x$size / 2))
  byte=$(od -An -tu1 -j "$offset" -N1 "$1" | tr -d ' ')
  cp "$1" "$2"
  printf '%b' "\\$(printf %o $((byte ^ 0xff)))" |
    dd of="$2" bs=1 seek="$offset" conv=notrunc 2>/dev/null
}
verify_names_all() {  # verify-release passes and prints signer, description and unsigned build
  local out
  out=$("${verify[@]}" "$@" 2>&1) || { echo "$out"; return 1; }
  echo "$out"
  for line in "signer: *O = Kelvo Test, CN = Kelvo Test Publisher" \
    "SHA-256 of the signer's certificate: *$(cat leaf.sha256)" \
    "description (the prompt's name): *PrinterDefaults" \
    "SHA-256 of the unsigned build: *$(sha256 "$exe")"; do
    grep -qx "$line" <<<"$out" || { echo "not printed: $line"; return 1; }
  done
}
remove_gives_build() {  # <signed>
  osslsigncode remove-signature -in "$1" -out unsigned.exe >/dev/null && cmp unsigned.exe "$exe"
}
runs_under_wine() {  # <signed>: one start; the window shows, and it closes with exit code 0
  [ -f "$prefix/.pd-created" ] || { echo "no i686 test prefix; run the i686 tests"; return 1; }
  cp "$1" "$smoke/PrinterDefaults.exe"
  mkdir "$wine_state"
  (
    export WINE=$src/cmake/wine32/wine WINEPREFIX=$prefix WINEDEBUG=-all PD_WINE32_BIND=$i686
    export PD_XVFB_FIRST=200 PD_XVFB_LAST=299
    DISPLAY=$(sh "$src/tests/wine/prefix.sh" display "$wine_state")
    export DISPLAY
    # Wine's desktop and services inherit the streams of the program that starts them and
    # outlive it: into a log, so that the case's output does not wait for them.
    timeout 120 "$WINE" "$smoke/PrinterDefaults.exe" </dev/null >"$smoke/wine.log" 2>&1 &
    app=$!
    if ! "$WINE" "$probe" wait 60 </dev/null >>"$smoke/wine.log" 2>&1 ||
      ! "$WINE" "$probe" close </dev/null >>"$smoke/wine.log" 2>&1; then
      kill "$app" 2>/dev/null
      cat "$smoke/wine.log"
      exit 1
    fi
    wait "$app"
  )
}

failed=0
check() {  # <name> <pass, or the reason a refusal must give> <command...>
  local name=$1 expected=$2 out status=0 start=$SECONDS verdict=ok
  shift 2
  out=$("$@" 2>&1) || status=$?
  if [ "$expected" = pass ]; then
    ((status == 0)) || verdict="FAILED (exit $status)"
  elif ((status == 0)); then
    verdict="FAILED (accepted)"
  elif ! grep -qF -- "$expected" <<<"$out"; then
    verdict="FAILED (another reason)"
  fi
  printf '%-66s %-24s %3d s\n' "$name" "$verdict" $((SECONDS - start))
  if [ "$verdict" != ok ]; then
    failed=$((failed + 1))
    [ "$expected" = pass ] || echo "    expected: $expected"
    tail -n 5 <<<"$out" | sed 's/^/    /'
  fi
}

echo "signing $exe (commit $commit)"
# --- The cases: name | pass, or the reason | command.
check "sign: PKCS#12 key, built-in time-stamping authority, URL" pass \
  "${sign[@]}" "${pkcs12[@]}" "${builtin_tsa[@]}" --url https://example.com/ "$exe" signed.exe
check "sign: hardware token (SoftHSM2, OpenSSL pkcs11 engine)" pass \
  "${sign[@]}" "${token[@]}" "${builtin_tsa[@]}" "$exe" token-signed.exe
check "sign: no time stamp, as asked for" pass \
  "${sign[@]}" "${pkcs12[@]}" --no-timestamp "$exe" untimestamped.exe
check "sign refuses: another build (one compiler flag changed)" "is not the reproducible build" \
  "${sign[@]}" "${pkcs12[@]}" "${builtin_tsa[@]}" "$other_exe" refused.exe
check "sign refuses: no time stamp unless asked for" "no time stamp" \
  "${sign[@]}" "${pkcs12[@]}" "$exe" refused.exe
check "sign refuses: a root in the chain" "holds a root" \
  "${sign[@]}" --certs chain-with-root.pem --pkcs12 leaf.p12 --pass-file password \
  "${builtin_tsa[@]}" "$exe" refused.exe
check "nothing left behind by the refusals" pass test ! -e refused.exe

check "verify: the signed exe, its signer expected" pass \
  verify_names_all "${trust[@]}" --signer-sha256 "$(cat leaf.sha256)" signed.exe
check "verify: the exe signed on the token" pass \
  "${verify[@]}" "${trust[@]}" --signer-sha256 "$(cat leaf.sha256)" token-signed.exe
flip_code_byte signed.exe flipped.exe
check "must fail: one flipped byte in the code" "differ at byte" \
  "${verify[@]}" "${trust[@]}" flipped.exe
check "must fail: a wrong root" "the signature does not verify" \
  "${verify[@]}" --ca wrong-root.pem --tsa-ca root.pem signed.exe
check "must fail: a wrong expected signer" "wrong signer" \
  "${verify[@]}" "${trust[@]}" --signer-sha256 "$(cat other-leaf.sha256)" signed.exe
{ cat signed.exe && printf 'appended'; } >appended.exe
check "must fail: bytes appended after the signature" "bytes after its signature" \
  "${verify[@]}" "${trust[@]}" appended.exe
check "must fail: a signature from another build" "the signature is not for commit" \
  "${verify[@]}" "${trust[@]}" other-signed.exe
check "must fail: no time stamp" "has no time stamp" \
  "${verify[@]}" "${trust[@]}" untimestamped.exe

check "round trip: remove-signature gives back the unsigned build" pass \
  remove_gives_build signed.exe
check "leaf expired: the time-stamped signature still verifies" pass \
  "${verify[@]}" "${trust[@]}" --time "$expired" signed.exe
check "leaf valid: the untimestamped signature verifies when allowed" pass \
  "${verify[@]}" "${trust[@]}" --no-timestamp untimestamped.exe
check "leaf expired: the untimestamped signature does not" "certificate has expired" \
  "${verify[@]}" "${trust[@]}" --no-timestamp --time "$expired" untimestamped.exe

check "the signed exe starts and closes under 32-bit Wine" pass runs_under_wine signed.exe

((failed == 0)) || die "$failed case(s) failed"
echo "all cases passed"
