#!/usr/bin/env bash
# One end-to-end test step: runs the harness under Wine, then turns the
# screenshots it saved (24-bit BMP) into PNG artifacts.
#   run_e2e.sh WINE_RUN HARNESS ARTIFACT_DIR [harness arguments...]
set -u
wine_run=$1 harness=$2 artifacts=$3
shift 3
mkdir -p "$artifacts"
# Wine's services (services.exe, winedevice, rpcss, ...) start with the first
# Windows process a wineserver runs and keep that process's stdout and
# stderr. Under a persistent wineserver, started by the harness they would
# hold this step's output pipe open long after it ended, and ctest would wait
# for them; so they are started here, on /dev/null.
"$wine_run" cmd /c exit </dev/null >/dev/null 2>&1 || true
"$wine_run" "$harness" --artifacts="$artifacts" "$@"
rc=$?
shopt -s nullglob
for bmp in "$artifacts"/*.bmp; do
  if convert "$bmp" "${bmp%.bmp}.png"; then
    rm -f "$bmp"
    echo "screenshot: ${bmp%.bmp}.png"
  fi
done
exit $rc
