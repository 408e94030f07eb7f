#!/usr/bin/env bash
# The downloads made with a certificate carry good Authenticode signatures:
# the program (as zipped and as installed), both installers, and the
# uninstaller the installer writes; and a signature timestamped by an RFC
# 3161 server (a throw-away one, tests/packaging/tsa.py, on this machine). A
# throw-away self-signed code-signing certificate is made in a temp folder;
# the signed set goes there too, so build/dist stays as it was.
#
#   tests/packaging/signing.sh        (runs scripts/package.sh; as root)
#
# Prints a line per check and ends with "N passed, N failed".
set -euo pipefail
cd "$(dirname "$0")/../.."

tmp=$(mktemp -d)
tsa_pid=
trap '[[ -z $tsa_pid ]] || kill "$tsa_pid" 2>/dev/null; rm -rf "$tmp"' EXIT
passed=0
failed=0
check() { # check NAME COMMAND...: one line, counted
  local name=$1
  shift
  if "$@" >>"$tmp/checks.log" 2>&1; then
    echo "PASS $name"
    passed=$((passed + 1))
  else
    echo "FAIL $name"
    failed=$((failed + 1))
  fi
}
signed() { osslsigncode verify -CAfile "$tmp/cert.pem" -in "$1"; }
unsigned() { ! signed "$1"; }

openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Pellucor signing test" \
  -addext extendedKeyUsage=codeSigning -addext keyUsage=digitalSignature \
  -keyout "$tmp/key.pem" -out "$tmp/cert.pem" 2>/dev/null
openssl pkcs12 -export -inkey "$tmp/key.pem" -in "$tmp/cert.pem" -out "$tmp/cert.pfx" -passout pass:'throw away'
rm "$tmp/key.pem"

dist=$tmp/dist
PELLUCOR_SIGN_PFX=$tmp/cert.pfx PELLUCOR_SIGN_PASSWORD='throw away' PELLUCOR_DIST=$dist \
  bash scripts/package.sh >"$tmp/package.log" 2>&1 || { cat "$tmp/package.log"; echo "0 passed, 1 failed"; exit 1; }
version=$(tr -d '[:space:]' <build/windows/version.txt)
setup=$dist/pellucor-$version-setup.exe

# The check itself tells a signed file from an unsigned one.
check "an unsigned build fails the check" unsigned build/windows/bin/pellucor.exe
wrong_password_fails() {
  cp build/windows/bin/pellucor.exe "$tmp/wrong.exe"
  ! PELLUCOR_SIGN_PFX=$tmp/cert.pfx PELLUCOR_SIGN_PASSWORD=wrong bash scripts/sign.sh "$tmp/wrong.exe" &&
    unsigned "$tmp/wrong.exe"
}
check "a wrong password fails and signs nothing" wrong_password_fails

check "the installer is signed" signed "$setup"
check "the MSI is signed" signed "$dist/pellucor-$version-x64.msi"
python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extract("pellucor.exe", sys.argv[2])' \
  "$dist/pellucor-$version-portable.zip" "$tmp/zip"
check "the winget manifests list the signed installers" bash tests/packaging/winget.sh "$dist"
check "the zipped program is signed" signed "$tmp/zip/pellucor.exe"

# Timestamped: the timestamp server's own certificate, and its settings.
mkdir "$tmp/tsa"
cat >"$tmp/tsa/tsa.cnf" <<'CNF'
[ tsa ]
default_tsa = tsa_config
[ tsa_config ]
serial = ./serial
crypto_device = builtin
signer_digest = sha256
default_policy = 1.2.3.4.1
digests = sha256, sha384, sha512
accuracy = secs:1
ess_cert_id_alg = sha256
CNF
echo 01 >"$tmp/tsa/serial"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Pellucor timestamp test" \
  -addext extendedKeyUsage=critical,timeStamping -addext keyUsage=digitalSignature \
  -keyout "$tmp/tsa/tsakey.pem" -out "$tmp/tsa/tsacert.pem" 2>/dev/null
coproc TSA { exec python3 tests/packaging/tsa.py "$tmp/tsa" 2>/dev/null; }
tsa_pid=$TSA_PID
read -r -t 10 tsa_port <&"${TSA[0]}" || tsa_port=
timestamped() {
  cp build/windows/bin/pellucor.exe "$tmp/stamped.exe"
  PELLUCOR_SIGN_PFX=$tmp/cert.pfx PELLUCOR_SIGN_PASSWORD='throw away' \
    PELLUCOR_SIGN_TIMESTAMP=http://127.0.0.1:$tsa_port bash scripts/sign.sh "$tmp/stamped.exe" &&
    osslsigncode verify -CAfile "$tmp/cert.pem" -TSA-CAfile "$tmp/tsa/tsacert.pem" -in "$tmp/stamped.exe" \
      >"$tmp/stamped.log" 2>&1 &&
    grep -q "Timestamp Server Signature verification: ok" "$tmp/stamped.log"
}
check "a timestamped signature verifies with its timestamp" timestamped
no_server_signs_nothing() {
  cp build/windows/bin/pellucor.exe "$tmp/unstamped.exe"
  kill "$tsa_pid" && wait "$tsa_pid" 2>/dev/null
  ! PELLUCOR_SIGN_PFX=$tmp/cert.pfx PELLUCOR_SIGN_PASSWORD='throw away' \
    PELLUCOR_SIGN_TIMESTAMP=http://127.0.0.1:$tsa_port bash scripts/sign.sh "$tmp/unstamped.exe" &&
    unsigned "$tmp/unstamped.exe"
}
check "an unreachable timestamp server fails and signs nothing" no_server_signs_nothing
tsa_pid=

# The uninstaller exists only once the installer has run: a silent install
# into a throw-away Wine prefix.
export WINEPREFIX=$tmp/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cp "$setup" "$tmp/setup.exe"
/usr/lib/wine/wine64 "$tmp/setup.exe" /S '/D=C:\Pellucor' >"$tmp/wine.log" 2>&1 || true
/usr/lib/wine/wineserver -k 2>/dev/null || true
check "the installed program is signed" signed "$WINEPREFIX/drive_c/Pellucor/pellucor.exe"
check "the uninstaller is signed" signed "$WINEPREFIX/drive_c/Pellucor/uninstall.exe"

echo "$passed passed, $failed failed"
((failed == 0))
