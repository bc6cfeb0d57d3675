#!/bin/bash
# Release signing end to end, on a throwaway PKI that openssl makes here and that goes with the
# run: signs the shipped exe with scripts/sign.sh and checks releases with
# scripts/verify-release.sh, case by case from the table below (what must pass, what must fail and
# for which reason), then starts the signed exe under 32-bit Wine in the i686 tests' prefix.
#   check-release-signing.sh [<build-dir>]     (default build/; needs its win-i686 build with the
#                                               Windows tests run once, for pd_window and the prefix)
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
build=$(readlink -f "${1:-$src/build}")
i686=$build/win-i686
prefix=$i686/tests/wine/wine-prefix
probe=$i686/tests/wine/window/pd_window.exe

die() {
  echo "check-release-signing: $*" >&2
  exit 1
}
. "$src/scripts/rebuild-common.sh"

[ -f "$i686/PrinterDefaults.exe" ] || die "no $i686/PrinterDefaults.exe; build win-i686 first"
module=/usr/lib/softhsm/libsofthsm2.so
[ -f "$module" ] || die "no $module (bash scripts/setup.sh installs softhsm2)"

tmp=$(mktemp -d /tmp/pd-signing.XXXXXX)
other=$(mktemp -d /tmp/pd-rebuild.XXXXXX)
commit_build=$(mktemp -d /tmp/pd-rebuild.XXXXXX)
# In the i686 build folder, which 32-bit Wine sees.
smoke=$(mktemp -d "$i686/signing-smoke.XXXXXX")
# The Xvfb and the prefix's wineserver, once the Wine case started them (in a subshell of its own).
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

# --- The throwaway PKI: root -> intermediate -> code-signing leaf (valid one day); root -> TSA.
cd "$tmp"
cat >ext.cnf <<'EOF'
[ca]
basicConstraints = critical,CA:true
keyUsage = critical,keyCertSign,cRLSign
subjectKeyIdentifier = hash
[leaf]
basicConstraints = critical,CA:false
keyUsage = critical,digitalSignature
extendedKeyUsage = codeSigning
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid
[tsa]
basicConstraints = critical,CA:false
keyUsage = critical,digitalSignature
extendedKeyUsage = critical,timeStamping
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid
EOF
root_cert() {  # <name> <subject>
  openssl req -x509 -newkey rsa:2048 -nodes -keyout "$1.key" -out "$1.pem" -subj "$2" -days 30 \
    -config ext.cnf -extensions ca 2>/dev/null
}
issued_cert() {  # <name> <subject> <issuer> <extensions> <days>
  openssl req -new -newkey rsa:2048 -nodes -keyout "$1.key" -out "$1.csr" -subj "$2" 2>/dev/null
  openssl x509 -req -in "$1.csr" -CA "$3.pem" -CAkey "$3.key" -set_serial "0x$(openssl rand -hex 8)" \
    -days "$5" -extfile ext.cnf -extensions "$4" -out "$1.pem" 2>/dev/null
}
root_cert root "/CN=PrinterDefaults Test Root"
root_cert wrong-root "/CN=PrinterDefaults Test Root"
issued_cert intermediate "/CN=PrinterDefaults Test Intermediate" root ca 30
issued_cert leaf "/O=Kelvo Test/CN=Kelvo Test Publisher" intermediate leaf 1
issued_cert other-leaf "/O=Kelvo Test/CN=Kelvo Test Publisher" intermediate leaf 1
issued_cert tsa "/CN=PrinterDefaults Test TSA" root tsa 30
cat leaf.pem intermediate.pem >chain.pem
cat leaf.pem intermediate.pem root.pem >chain-with-root.pem
cat tsa.pem root.pem >tsa-chain.pem
openssl rand -hex 12 >password
openssl pkcs12 -export -inkey leaf.key -in leaf.pem -passout file:password -out leaf.p12
leaf_sha256=$(openssl x509 -in leaf.pem -outform DER | sha256sum | cut -d' ' -f1)
other_sha256=$(openssl x509 -in other-leaf.pem -outform DER | sha256sum | cut -d' ' -f1)
# After the leaf has expired; the roots and the TSA still valid.
expired=$(($(date +%s) + 3 * 86400))

# A hardware token: SoftHSM2 in this folder, the leaf's key imported, reached through OpenSSL's
# pkcs11 engine.
export SOFTHSM2_CONF=$tmp/softhsm2.conf
mkdir tokens
printf 'directories.tokendir = %s\nobjectstore.backend = file\nlog.level = ERROR\n' "$tmp/tokens" \
  >"$SOFTHSM2_CONF"
openssl rand -hex 6 >pin
softhsm2-util --init-token --free --label pd-release --pin "$(cat pin)" --so-pin "$(openssl rand -hex 6)" \
  >/dev/null
openssl pkcs8 -topk8 -nocrypt -in leaf.key -out leaf.p8
softhsm2-util --import leaf.p8 --token pd-release --label signing --id 01 --pin "$(cat pin)" >/dev/null
rm leaf.p8
token_key="pkcs11:token=pd-release;object=signing;type=private"

# --- What is signed: the i686 build CI made, when it is of the commit; else the commit's rebuild.
commit_exe "$src" "$commit_build"
if git -C "$src" diff --quiet HEAD --; then
  exe=$i686/PrinterDefaults.exe
else
  echo "the working tree differs from commit $commit: signing the commit's rebuild"
  exe=$tmp/PrinterDefaults.exe
  cp "$rebuilt" "$exe"
fi
# Another build: the same commit with one compiler flag changed.
mkdir "$other/src"
git -C "$src" archive HEAD | tar -x -C "$other/src"
build_elsewhere "$other/src" "$other" "$other/src/cmake/toolchain-mingw-i686.cmake" MinSizeRel \
  -DCMAKE_CXX_FLAGS=-fomit-frame-pointer || die "the other build failed"
other_exe=$other/build/PrinterDefaults.exe
cmp -s "$other_exe" "$exe" && die "the changed flag left the exe as it was"
osslsigncode sign -h sha256 -n PrinterDefaults -pkcs12 leaf.p12 -readpass password \
  -ac intermediate.pem -TSA-certs tsa-chain.pem -TSA-key tsa.key -in "$other_exe" \
  -out other-signed.exe >/dev/null

pkcs12=(--certs chain.pem --pkcs12 leaf.p12 --pass-file password)
builtin_tsa=(--tsa-certs tsa-chain.pem --tsa-key tsa.key)
trust=(--ca root.pem --tsa-ca root.pem)

# --- Helpers the table calls.
flip_code_byte() {  # <in> <out>: one byte in the middle of .text inverted
  local offset size byte
  read -r size offset < <(i686-w64-mingw32-objdump -h "$1" | awk '$2 == ".text" { print $3, $6 }')
  offset=$((0x$offset + 0x$size / 2))
  byte=$(od -An -tu1 -j "$offset" -N1 "$1" | tr -d ' ')
  cp "$1" "$2"
  printf '%b' "\\$(printf %o $((byte ^ 0xff)))" | dd of="$2" bs=1 seek="$offset" conv=notrunc 2>/dev/null
}
# Passes, and names the signer, the description, the commit and the unsigned build's SHA-256.
verify_prints() {
  local out
  out=$("${verify[@]}" "$@" 2>&1) || { echo "$out"; return 1; }
  echo "$out"
  if ! grep -q "^signer: *O = Kelvo Test, CN = Kelvo Test Publisher$" <<<"$out" ||
    ! grep -q "^SHA-256 of the signer's certificate: *$leaf_sha256$" <<<"$out" ||
    ! grep -q "^description (the prompt's name): *PrinterDefaults$" <<<"$out" ||
    ! grep -q "^SHA-256 of the unsigned build: *$(sha256sum "$exe" | cut -d' ' -f1)$" <<<"$out"; then
    echo "verify-release passed without naming the signer, description and build"
    return 1
  fi
}
remove_gives_build() {  # <signed>
  osslsigncode remove-signature -in "$1" -out unsigned-again.exe >/dev/null && cmp unsigned-again.exe "$exe"
}
# One start of the signed exe under 32-bit Wine: its window shows, and it closes with exit code 0.
runs_under_wine() {  # <signed>
  [ -f "$prefix/.pd-created" ] || { echo "no i686 test prefix; run the i686 Windows tests first"; return 1; }
  cp "$1" "$smoke/PrinterDefaults.exe"
  mkdir "$wine_state"
  (
    export WINE=$src/cmake/wine32/wine WINEPREFIX=$prefix WINEDEBUG=-all PD_WINE32_BIND=$i686
    export PD_XVFB_FIRST=200 PD_XVFB_LAST=299
    DISPLAY=$(sh "$src/tests/wine/prefix.sh" display "$wine_state")
    export DISPLAY
    timeout 120 "$WINE" "$smoke/PrinterDefaults.exe" &
    app=$!
    if ! "$WINE" "$probe" wait 60 || ! "$WINE" "$probe" close; then
      kill "$app" 2>/dev/null
      exit 1
    fi
    wait "$app"
  )
}

# --- The cases: name | expected (pass, or the reason a must-fail case must give) | command.
failed=0
check() {
  local name=$1 expected=$2 out status=0 start=$SECONDS verdict
  shift 2
  out=$("$@" 2>&1) || status=$?
  if [ "$expected" = pass ]; then
    ((status == 0)) && verdict=ok || verdict="FAILED (exit $status)"
  elif ((status == 0)); then
    verdict="FAILED (accepted)"
  elif grep -qF -- "$expected" <<<"$out"; then
    verdict=ok
  else
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
check "sign: PKCS#12 key, built-in time-stamping authority, URL" pass \
  "${sign[@]}" "${pkcs12[@]}" "${builtin_tsa[@]}" --url https://kelvo.example/ "$exe" signed.exe
check "sign: hardware token (SoftHSM2, OpenSSL pkcs11 engine)" pass \
  "${sign[@]}" --certs chain.pem --pkcs11 "$token_key" --module "$module" --pass-file pin \
  "${builtin_tsa[@]}" "$exe" token-signed.exe
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
  verify_prints "${trust[@]}" --signer-sha256 "$leaf_sha256" signed.exe
check "verify: the exe signed on the token" pass \
  "${verify[@]}" "${trust[@]}" --signer-sha256 "$leaf_sha256" token-signed.exe
flip_code_byte signed.exe flipped.exe
check "must fail: one flipped byte in the code" "differ at byte" \
  "${verify[@]}" "${trust[@]}" flipped.exe
check "must fail: a wrong root" "the signature does not verify" \
  "${verify[@]}" --ca wrong-root.pem --tsa-ca root.pem signed.exe
check "must fail: a wrong expected signer" "wrong signer" \
  "${verify[@]}" "${trust[@]}" --signer-sha256 "$other_sha256" signed.exe
{ cat signed.exe && printf 'appended'; } >appended.exe
check "must fail: bytes appended after the signature" "bytes after its signature" \
  "${verify[@]}" "${trust[@]}" appended.exe
check "must fail: a signature from another build" "the signature is not for commit" \
  "${verify[@]}" "${trust[@]}" other-signed.exe
check "must fail: no time stamp" "has no time stamp" \
  "${verify[@]}" "${trust[@]}" untimestamped.exe

check "round trip: remove-signature gives back the unsigned build" pass remove_gives_build signed.exe
check "leaf expired: the time-stamped signature still verifies" pass \
  "${verify[@]}" "${trust[@]}" --time "$expired" signed.exe
check "leaf valid: the untimestamped signature verifies when allowed" pass \
  "${verify[@]}" "${trust[@]}" --no-timestamp untimestamped.exe
check "leaf expired: the untimestamped signature does not" "certificate has expired" \
  "${verify[@]}" "${trust[@]}" --no-timestamp --time "$expired" untimestamped.exe

check "the signed exe starts and closes under 32-bit Wine" pass runs_under_wine signed.exe

((failed == 0)) || die "$failed case(s) failed"
echo "all cases passed"
