#!/usr/bin/env bash
# The demo: KESTREL upgrading the emulated drive's firmware under Wine.
#
# Installs what is missing, builds the 64-bit kestrel.exe, the emulated
# drive's WNASPI32.dll and the demo driver (in build/win64, the tree the test
# command uses), and lays out build/demo: the program, the library with its
# configuration (WNASPI32.cfg), the allow-list IDString.txt and the two
# firmware images from demo/. Wine reports Windows 98 to kestrel.exe, so the
# program reaches drives through ASPI, that is through the emulated drive.
#
# With a display, kestrel.exe opens there: pick the drive, press Upgrade,
# agree in the confirmation dialog and watch the log. Without one (or with
# KESTREL_DEMO_HEADLESS=1) it runs under Xvfb: the demo driver presses
# Upgrade, confirms, follows the run to its end, prints the log and saves
# screenshots as PNG.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KESTREL_BUILD:-$root/build}
jobs=$(nproc)

"$root/scripts/install-deps.sh"

echo "== build: win64 (kestrel.exe, WNASPI32.dll, demo driver)"
mkdir -p "$build"
cmake -S "$root" -B "$build/win64" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-win64.cmake" >"$build/win64.configure.log" 2>&1 \
  || { cat "$build/win64.configure.log"; exit 1; }
cmake --build "$build/win64" -j "$jobs" --target kestrel wnaspi32 kestrel_demo_run

find_one() {  # name: the built file of that name in build/win64 (not inside the Wine prefix)
  find "$build/win64" -name "$1" -not -path '*/wineprefix/*' -not -path '*/CMakeFiles/*' -print -quit
}
kestrel_exe=$(find_one kestrel.exe)
aspi_dll=$(find_one WNASPI32.dll)
demo_run=$(find_one kestrel_demo_run.exe)

demo="$build/demo"
echo "== demo folder: $demo"
rm -rf "$demo"
mkdir -p "$demo/shots"
cp "$kestrel_exe" "$aspi_dll" "$root/demo/WNASPI32.cfg" "$root/demo/IDString.txt" \
   "$root/demo/A049.hex" "$root/demo/A050.bin" "$demo/"
ls -l "$demo"

wine_run="$build/win64/wine-run.sh"
export WINEPREFIX="$build/win64/wineprefix"

report() {
  local r="$demo/wnaspi32-report.txt"
  if [ -f "$r" ]; then
    echo "== the emulated drive's report ($r):"
    grep -v '^[0-9]*: cdb' "$r"
  fi
  if [ -f "$demo/sum.txt" ]; then
    echo "== sum.txt: $(grep -c '^Address=' "$demo/sum.txt") block lines, last line: $(tail -n 1 "$demo/sum.txt" | tr -d '\r')"
  fi
}

if [ -n "${DISPLAY:-}" ] && [ "${KESTREL_DEMO_HEADLESS:-0}" != 1 ] && xdpyinfo >/dev/null 2>&1; then
  echo "== starting kestrel.exe on $DISPLAY (Windows 98 as Wine reports it); close it to end the demo"
  (cd "$demo" && KESTREL_WINVER=win98 "$wine_run" ./kestrel.exe)
  report
  exit 0
fi

echo "== no display: one upgrade under Xvfb through the demo driver"
# The driver sets Wine's Windows version for kestrel.exe to win98 itself
# (HKCU\Software\Wine\AppDefaults\kestrel.exe) before starting it.
status=0
(unset DISPLAY; cd "$demo" && "$wine_run" "$demo_run" --folder="$demo" --shots="$demo/shots") || status=$?
shopt -s nullglob
for bmp in "$demo/shots"/*.bmp; do
  convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
done
report
echo "== screenshots:"
for png in "$demo/shots"/*.png; do echo "   $png"; done
if [ -f "$demo/shots/demo_after.png" ]; then
  echo "== screenshot of the finished upgrade: $demo/shots/demo_after.png"
fi
exit $status
