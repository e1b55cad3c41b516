#!/usr/bin/env bash
# Builds the optimised editor and starts it the way a user would: in run/, a
# working folder holding a copy of the demo calibration, the help page, an empty
# definition library and a Config.cfg that reopens the demo. The disclaimer
# marker is not made here: the first start shows the disclaimer.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)" --target tevra tevra-cli tevra-ecm-sim

run="$root/run"
mkdir -p "$run/Library" "$run/Help"
cp resources/help/help.html "$run/Help/help.html"
# The demo copy and the settings are made once; later runs keep the user's edits.
for f in demo.bin demo.tbl; do
  [ -e "$run/$f" ] || cp "resources/demo/$f" "$run/$f"
done
if [ ! -e "$run/Config.cfg" ]; then
  printf '%s\nreload_last y\nhide_mouse n\nflash_speed 100\n' "$run/demo.bin" >"$run/Config.cfg"
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  cat >&2 <<MSG
No display: neither DISPLAY nor WAYLAND_DISPLAY is set, so the editor cannot open its window.
Start it from a desktop session, or under a virtual one:
  Xvfb :99 & DISPLAY=:99 scripts/run.sh
Without a display, use the command-line tool on the same files:
  $root/build/release/cli/tevra-cli --help
  $root/build/release/cli/tevra-cli info $run/demo.bin
MSG
  exit 2
fi

cd "$run"
exec "$root/build/release/app/tevra"
