#!/usr/bin/env bash
# Builds the Debian package and the .tar.gz with cpack, validates the desktop
# entry, the AppStream metadata and the package (lintian: no error allowed),
# then installs the .deb with apt as a user would and runs the installed
# tevra-cli on the installed demo. With --no-install it stops after the checks.
#   scripts/package.sh [--no-install]
set -euo pipefail
cd "$(dirname "$0")/.."
install=1
[ "${1:-}" = "--no-install" ] && install=0

cmake --preset package >/dev/null
cmake --build --preset package -j "$(nproc)"
rm -f build/package/tevra_*.deb build/package/tevra-*.tar.gz
(cd build/package && cpack -G "DEB;TGZ" >/dev/null)
deb=$(ls "$PWD"/build/package/tevra_*.deb)
tgz=$(ls "$PWD"/build/package/tevra-*.tar.gz)
echo "== built $(basename "$deb") and $(basename "$tgz")"

desktop-file-validate packaging/org.tevra.Tevra.desktop
appstreamcli validate --no-net --explain build/package/packaging/org.tevra.Tevra.metainfo.xml
# Warnings are printed and allowed (the README says which remain and why).
lintian --fail-on error --tag-display-limit 0 "$deb"
tar -tzf "$tgz" | grep '/bin/tevra-cli$' >/dev/null

if [ "$install" = 1 ]; then
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --reinstall "$deb" >/dev/null
  tevra-cli --version
  tevra-cli info /usr/share/tevra/demo/demo.bin
  tevra --version
  test -f /usr/share/applications/org.tevra.Tevra.desktop
  test -f /usr/share/icons/hicolor/48x48/apps/org.tevra.Tevra.png
  man -w tevra-cli >/dev/null 2>&1 || test -f /usr/share/man/man1/tevra-cli.1.gz
fi
