#!/usr/bin/env bash
# Signs Windows files in place with Authenticode (osslsigncode), with the
# certificate named by the environment:
#
#   PELLUCOR_SIGN_PFX        a .pfx (PKCS#12) holding the certificate and its key
#   PELLUCOR_SIGN_PASSWORD   its password (may be empty)
#   PELLUCOR_SIGN_TIMESTAMP  an RFC 3161 timestamp server's URL (optional); a
#                            timestamped signature stays valid after the
#                            certificate expires
#
#   scripts/sign.sh FILE...
#
# Without PELLUCOR_SIGN_PFX it does nothing. Also run by makensis on the
# uninstaller before it is packed into the installer.
set -euo pipefail

[[ -n ${PELLUCOR_SIGN_PFX:-} ]] || exit 0
[[ -f $PELLUCOR_SIGN_PFX ]] || { echo "sign: no certificate at $PELLUCOR_SIGN_PFX" >&2; exit 1; }

args=(-pkcs12 "$PELLUCOR_SIGN_PFX" -h sha256 -n Pellucor -i https://trandavel.example/pellucor/)
[[ -n ${PELLUCOR_SIGN_TIMESTAMP:-} ]] && args+=(-ts "$PELLUCOR_SIGN_TIMESTAMP")

for file in "$@"; do
  # The password goes through a pipe, not the command line, where any user's
  # ps would show it.
  printf '%s' "${PELLUCOR_SIGN_PASSWORD:-}" |
    osslsigncode sign "${args[@]}" -readpass - -in "$file" -out "$file.signing" >/dev/null ||
    { rm -f "$file.signing"; echo "sign: could not sign $file" >&2; exit 1; }
  mv -f "$file.signing" "$file"
done
