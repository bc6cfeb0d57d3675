#!/bin/bash
# Signs the shipped exe (Authenticode with osslsigncode, SHA-256 digest) as a release's last step:
# refuses an exe that is not the byte-identical reproducible build of the checked-out commit, so
# that nothing can have touched it before and, being last, nothing touches it after. The signature
# names the program "PrinterDefaults", which Windows' elevation prompt shows as its name.
#
#   sign.sh [options] <exe> <signed-exe>
#     --certs FILE         the signer's certificates (PEM): its own first, then the intermediates;
#                          no root
#     --pkcs11 URI         the key on a hardware token, as a PKCS#11 URI
#                          (e.g. "pkcs11:token=Release;object=signing;type=private")
#     --module FILE        the token's PKCS#11 module (with --pkcs11)
#     --pkcs12 FILE        the key in a PKCS#12 file instead (for tests)
#     --pass-file FILE     the token's PIN or the PKCS#12 file's password, read from FILE
#                          (without it, a token asks for its PIN)
#     --ts URL             an RFC 3161 time-stamping authority (repeat for fallbacks)
#     --tsa-certs FILE --tsa-key FILE
#                          osslsigncode's built-in time-stamping authority instead (for tests)
#     --no-timestamp       no time stamp: the signature then dies with its certificate
#     --url URL            the publisher's web address, kept in the signature
# Prints what the maker publishes beside the exe: the commit, the SHA-256 of the unsigned build,
# the signer's subject and the SHA-256 of its certificate.
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)

die() {
  echo "sign: $*" >&2
  exit 1
}
usage() {
  sed -n '7,20s/^# \{0,1\}//p' "$0" >&2
  exit 2
}
. "$src/scripts/rebuild-common.sh"

certs='' pkcs11='' module='' pkcs12='' pass_file='' url='' tsa_certs='' tsa_key='' no_timestamp=0
ts_urls=()
while [ $# -gt 0 ]; do
  case $1 in
    --certs | --pkcs11 | --module | --pkcs12 | --pass-file | --ts | --tsa-certs | --tsa-key | --url)
      [ $# -ge 2 ] || die "$1 needs a value"
      case $1 in
        --certs) certs=$2 ;;
        --pkcs11) pkcs11=$2 ;;
        --module) module=$2 ;;
        --pkcs12) pkcs12=$2 ;;
        --pass-file) pass_file=$2 ;;
        --ts) ts_urls+=("$2") ;;
        --tsa-certs) tsa_certs=$2 ;;
        --tsa-key) tsa_key=$2 ;;
        --url) url=$2 ;;
      esac
      shift 2
      ;;
    --no-timestamp) no_timestamp=1 && shift ;;
    -h | --help) usage ;;
    -*) die "unknown option $1" ;;
    *) break ;;
  esac
done
[ $# -eq 2 ] || usage
exe=$1
out=$2

[ -f "$exe" ] || die "no such file: $exe"
[ -n "$certs" ] || die "--certs is needed: the signer's certificate and its intermediates"
[ -f "$certs" ] || die "no such file: $certs"
if [ -n "$pkcs11" ] && [ -n "$pkcs12" ]; then die "give --pkcs11 or --pkcs12, not both"; fi
[ -n "$pkcs11$pkcs12" ] || die "no key: give --pkcs11 URI (a hardware token) or --pkcs12 FILE"
if [ -n "$pkcs11" ] && [ -z "$module" ]; then die "--pkcs11 needs --module, the token's PKCS#11 module"; fi
[ -z "$pass_file" ] || [ -f "$pass_file" ] || die "no such file: $pass_file"
# An untimestamped signature stops verifying when its certificate expires: only on request.
timestamps=$((${#ts_urls[@]} > 0 ? 1 : 0))
[ -z "$tsa_certs$tsa_key" ] || timestamps=$((timestamps + 1))
((timestamps + no_timestamp > 0)) ||
  die "no time stamp: give --ts URL (or --no-timestamp, and the signature dies with its certificate)"
((timestamps + no_timestamp == 1)) || die "give one of --ts, --tsa-certs/--tsa-key, --no-timestamp"
if [ -n "$tsa_certs$tsa_key" ] && { [ -z "$tsa_certs" ] || [ -z "$tsa_key" ]; }; then
  die "--tsa-certs and --tsa-key go together"
fi
command -v osslsigncode >/dev/null || die "osslsigncode missing (bash scripts/setup.sh installs it)"

tmp=$(mktemp -d /tmp/pd-sign.XXXXXX)
rebuild=$(mktemp -d /tmp/pd-rebuild.XXXXXX)
partial=
trap 'rm -rf "$tmp" "$rebuild"; [ -z "$partial" ] || rm -f "$partial"' EXIT

# The chain, one certificate a file: the signer's first. A root would only be dead weight that
# Windows ignores, and may mean the file is not the chain meant.
awk -v dir="$tmp" '/-BEGIN CERTIFICATE-/ { n++ } n { print > (dir "/cert-" n ".pem") }' "$certs"
[ -f "$tmp/cert-1.pem" ] || die "$certs holds no PEM certificate"
for cert in "$tmp"/cert-*.pem; do
  subject=$(openssl x509 -in "$cert" -noout -subject -nameopt RFC2253) ||
    die "$certs holds a certificate openssl cannot read"
  subject=${subject#subject=}
  [ "$subject" != "$(openssl x509 -in "$cert" -noout -issuer -nameopt RFC2253 | sed 's/^issuer=//')" ] ||
    die "$certs holds a root ($subject); give the signer's and the intermediates only"
done
leaf_sha256=$(openssl x509 -in "$tmp/cert-1.pem" -outform DER | sha256sum | cut -d' ' -f1)
leaf_subject=$(openssl x509 -in "$tmp/cert-1.pem" -noout -subject | sed 's/^subject=//')

pass_args=()
[ -z "$pass_file" ] || pass_args=(-readpass "$pass_file")
if [ -n "$pkcs11" ]; then
  key_args=(-pkcs11module "$module" -login -certs "$certs" -key "$pkcs11" "${pass_args[@]}")
else
  [ -f "$pkcs12" ] || die "no such file: $pkcs12"
  # osslsigncode takes only the file's own certificate; the intermediates come from the chain.
  p12_pass=pass:
  [ -z "$pass_file" ] || p12_pass=file:$pass_file
  p12_sha256=$(openssl pkcs12 -in "$pkcs12" -passin "$p12_pass" -nokeys -clcerts 2>/dev/null |
    openssl x509 -outform DER 2>/dev/null | sha256sum | cut -d' ' -f1)
  [ "$p12_sha256" = "$leaf_sha256" ] ||
    die "the certificate in $pkcs12 is not the first one in $certs (or the password is wrong)"
  : >"$tmp/intermediates.pem"
  for cert in "$tmp"/cert-*.pem; do
    [ "$cert" = "$tmp/cert-1.pem" ] || cat "$cert" >>"$tmp/intermediates.pem"
  done
  key_args=(-pkcs12 "$pkcs12" "${pass_args[@]}")
  [ ! -s "$tmp/intermediates.pem" ] || key_args+=(-ac "$tmp/intermediates.pem")
fi

ts_args=()
for ts in ${ts_urls[@]+"${ts_urls[@]}"}; do ts_args+=(-ts "$ts"); done
[ -z "$tsa_certs" ] || ts_args=(-TSA-certs "$tsa_certs" -TSA-key "$tsa_key")
url_args=()
[ -z "$url" ] || url_args=(-i "$url")

commit_exe "$src" "$rebuild"
dirty=
git -C "$src" diff --quiet HEAD -- || dirty=" (the working tree's uncommitted changes are not in it)"
cmp -s "$exe" "$rebuilt" ||
  die "$exe is not the reproducible build of commit $commit$dirty; sign only that build, and last"

osslsigncode sign -h sha256 -n PrinterDefaults ${url_args[@]+"${url_args[@]}"} "${key_args[@]}" \
  ${ts_args[@]+"${ts_args[@]}"} -in "$exe" -out "$tmp/signed.exe" >"$tmp/sign.log" 2>&1 ||
  { cat "$tmp/sign.log" >&2; die "osslsigncode could not sign $exe"; }
# Signing appends the signature and sets the header's checksum and pointer to it, nothing else.
if ! osslsigncode remove-signature -in "$tmp/signed.exe" -out "$tmp/unsigned.exe" >/dev/null 2>&1 ||
  ! cmp -s "$tmp/unsigned.exe" "$exe"; then
  die "the signed file is more than $exe and a signature"
fi

partial=$(mktemp "$(dirname "$out")/.sign.XXXXXX")
cp "$tmp/signed.exe" "$partial"
chmod --reference="$exe" "$partial"
mv -f "$partial" "$out"
partial=
echo "signed: $out"
echo "  commit:                               $commit"
echo "  SHA-256 of the unsigned build:        $(sha256sum "$exe" | cut -d' ' -f1)"
echo "  signer:                               $leaf_subject"
echo "  SHA-256 of the signer's certificate:  $leaf_sha256"
echo "  SHA-256 of the signed exe:            $(sha256sum "$out" | cut -d' ' -f1)"
if ((no_timestamp)); then echo "  no time stamp: the signature dies with the certificate"; fi
