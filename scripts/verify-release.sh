#!/bin/bash
# Checks a signed PrinterDefaults.exe against the source: rebuilds the exe from the checked-out
# commit (as scripts/check-reproducible.sh builds it), moves the release's signature onto the
# rebuild and requires the result to be the release byte for byte; verifies the signature, its
# certificate chain and its time stamp. Prints the signer's subject and the SHA-256 of its
# certificate, to compare with what the maker publishes. Exits non-zero with a one-line reason on
# any mismatch, bad signature, missing time stamp or wrong signer.
#
#   verify-release.sh [options] <signed-exe>
#     --ca FILE              the root(s) the signer's chain must end in (default: the system's
#                            CA bundle)
#     --tsa-ca FILE          the root(s) for the time stamp's chain (default: the system's bundle)
#     --signer-sha256 HEX    the SHA-256 of the signer's certificate, as the maker publishes it
#     --time UNIX-TIME       verify as at that time rather than now
#     --no-timestamp         accept a signature without a time stamp (it verifies only while its
#                            certificate is valid)
# PD_REBUILD_CACHE: see scripts/rebuild-common.sh.
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)

die() {
  echo "verify-release: $*" >&2
  exit 1
}
usage() {
  sed -n '9,17s/^# \{0,1\}//p' "$0" >&2
  exit 2
}
. "$src/scripts/rebuild-common.sh"

ca='' tsa_ca='' expected='' at='' no_timestamp=0
while [ $# -gt 0 ]; do
  case $1 in
    --ca | --tsa-ca | --signer-sha256 | --time)
      [ $# -ge 2 ] || die "$1 needs a value"
      case $1 in
        --ca) ca=$2 ;;
        --tsa-ca) tsa_ca=$2 ;;
        --signer-sha256) expected=$(tr '[:upper:]' '[:lower:]' <<<"${2//:/}") ;;
        --time) at=$2 ;;
      esac
      shift 2
      ;;
    --no-timestamp) no_timestamp=1 && shift ;;
    -h | --help) usage ;;
    -*) die "unknown option $1" ;;
    *) break ;;
  esac
done
[ $# -eq 1 ] || usage
signed=$1
[ -f "$signed" ] || die "no such file: $signed"
for file in "$ca" "$tsa_ca"; do [ -z "$file" ] || [ -f "$file" ] || die "no such file: $file"; done
[ -z "$expected" ] || [[ $expected =~ ^[0-9a-f]{64}$ ]] ||
  die "--signer-sha256 takes 64 hex digits, the certificate's SHA-256"
[ -z "$at" ] || [[ $at =~ ^[0-9]+$ ]] || die "--time takes seconds since 1970 (date +%s)"
command -v osslsigncode >/dev/null || die "osslsigncode missing (bash scripts/setup.sh installs it)"

tmp=$(mktemp -d /tmp/pd-verify.XXXXXX)
rebuild=$(mktemp -d /tmp/pd-rebuild.XXXXXX)
trap 'rm -rf "$tmp" "$rebuild"' EXIT

checks=()
[ -z "$ca" ] || checks+=(-CAfile "$ca")
[ -z "$tsa_ca" ] || checks+=(-TSA-CAfile "$tsa_ca")
[ -z "$at" ] || checks+=(-time "$at")
[ -z "$expected" ] || checks+=(-require-leaf-hash "sha256:$expected")

# The certificate table's entry in the PE header: osslsigncode ignores a signature that is not
# the file's end, so bytes appended after one are named here.
u32() { od -An -tu4 -j "$2" -N4 "$1" | tr -d ' '; }
size=$(stat -c %s "$signed")
((size >= 64)) || die "$signed is not a Windows exe"
pe=$(u32 "$signed" 60)
if ((pe + 184 > size)) || [ "$(od -An -c -j "$pe" -N2 "$signed" | tr -d ' ')" != PE ]; then
  die "$signed is not a Windows exe"
fi
case $(od -An -tx2 -j $((pe + 24)) -N2 "$signed" | tr -d ' ') in
  010b) entry=$((pe + 24 + 96 + 4 * 8)) ;;
  020b) entry=$((pe + 24 + 112 + 4 * 8)) ;;
  *) die "$signed is not a Windows exe" ;;
esac
table=$(u32 "$signed" "$entry")
table_size=$(u32 "$signed" $((entry + 4)))
((table != 0 && table_size != 0)) || die "$signed carries no Authenticode signature"
((table + table_size >= size)) ||
  die "$signed holds $((size - table - table_size)) bytes after its signature"

osslsigncode extract-signature -in "$signed" -out "$tmp/signature.der" >/dev/null 2>&1 ||
  die "osslsigncode cannot read the signature of $signed"
if ! openssl smime -verify -inform DER -in "$tmp/signature.der" -noverify -nosigs \
  -signer "$tmp/signer.pem" -out /dev/null >/dev/null 2>&1 || [ ! -s "$tmp/signer.pem" ]; then
  die "the signer's certificate is not in the signature"
fi
signer_sha256=$(openssl x509 -in "$tmp/signer.pem" -outform DER | sha256sum | cut -d' ' -f1)
echo "signer:                               $(openssl x509 -in "$tmp/signer.pem" -noout -subject |
  sed "s/^subject=//")"
echo "SHA-256 of the signer's certificate:  $signer_sha256"

verified=0
osslsigncode verify ${checks[@]+"${checks[@]}"} -in "$signed" >"$tmp/verify.log" 2>&1 ||
  verified=$?
# The first value of that name osslsigncode prints after the heading.
field() { sed -n "/^$1/,\$ { s/^[[:space:]]*$2 *: //p }" "$tmp/verify.log" | head -n1; }
echo "description (the prompt's name):      $(field "Authenticated attributes:" "Text description")"
echo "URL:                                  $(field "Authenticated attributes:" "URL description")"

commit_exe "$src" "$rebuild"
echo "commit:                               $commit"
echo "SHA-256 of the unsigned build:        $(sha256sum "$rebuilt" | cut -d' ' -f1)"
git -C "$src" diff --quiet HEAD -- || echo "(the working tree's uncommitted changes are not in it)"

# attach-signature writes its output also when the digests differ; it lives in $tmp only.
attached=0
osslsigncode attach-signature ${checks[@]+"${checks[@]}"} -sigin "$tmp/signature.der" \
  -in "$rebuilt" -out "$tmp/attached.exe" >"$tmp/attach.log" 2>&1 || attached=$?
if grep -q MISMATCH "$tmp/attach.log"; then
  die "the signature is not for commit $commit's build: made for another build or commit"
fi
[ -f "$tmp/attached.exe" ] || die "osslsigncode could not attach the signature to the rebuild"
if ! difference=$(cmp "$tmp/attached.exe" "$signed" 2>&1); then
  case $difference in
    *"EOF on $tmp/attached.exe"*)
      die "$signed holds bytes after the signature that commit $commit's signed build has not" ;;
    *)
      at_byte=${difference#* differ: byte }
      die "$signed is not commit $commit's build with its signature: they differ at byte ${at_byte%%,*}"
      ;;
  esac
fi

if [ -n "$expected" ] && [ "$signer_sha256" != "$expected" ]; then
  die "wrong signer: the certificate's SHA-256 is $signer_sha256, not $expected"
fi
if ((verified != 0)); then
  reason=$(grep -o 'Verify error: .*' "$tmp/verify.log" | head -n1)
  grep -q MISMATCH "$tmp/verify.log" && reason="the file's digest is not the signed one"
  die "the signature does not verify: ${reason:-see osslsigncode verify}"
fi
((attached == 0)) || die "osslsigncode attach-signature failed on the rebuild"
stamped=$(field Countersignatures: "Timestamp time")
if ((!no_timestamp)); then
  [ -n "$stamped" ] ||
    die "the signature has no time stamp: it dies with its certificate (--no-timestamp accepts that)"
  grep -q '^Timestamp Server Signature verification: ok' "$tmp/verify.log" ||
    die "the time stamp does not verify (--tsa-ca names its root)"
fi
echo "time stamp:                           ${stamped:-none}"
echo "verified: $signed is commit $commit's build, signed, byte for byte"
