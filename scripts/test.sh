#!/usr/bin/env bash
# The test command. Installs the Debian packages that are missing, builds the
# three targets (host, host with sanitizers, win64, win32), runs the host tests
# natively, again under AddressSanitizer and UndefinedBehaviorSanitizer, and the
# Windows tests under Wine; checks the 32-bit binaries can load on Windows 98
# and NT 4.0.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KESTREL_BUILD:-$root/build}
jobs=$(nproc)

"$root/scripts/install-deps.sh"

configure() {  # dir, extra cmake args...
  local dir=$1; shift
  cmake -S "$root" -B "$build/$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >"$build/$dir.configure.log" 2>&1 \
    || { cat "$build/$dir.configure.log"; return 1; }
  cmake --build "$build/$dir" -j "$jobs"
}

mkdir -p "$build"
echo "== build: host";   configure host
echo "== build: host with sanitizers"; configure host-asan -DKESTREL_SANITIZE=ON
echo "== build: win64";  configure win64 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-win64.cmake"
echo "== build: win32";  configure win32 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-win32.cmake"

summary=()
run_ctest() {  # label, dir, extra ctest args...
  local label=$1 dir=$2; shift 2
  local log="$build/$dir.ctest.log" rc=0
  echo "== tests: $label"
  ctest --test-dir "$build/$dir" --output-on-failure "$@" 2>&1 | tee "$log" || rc=$?
  summary+=("$label: $(grep -E 'tests passed' "$log" | tail -n 1)")
  return $rc
}

status=0
run_ctest "host" host -j "$jobs" || status=1
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  run_ctest "host, sanitizers" host-asan -j "$jobs" || status=1
# One X server for every Windows test; Wine's server stays up between test binaries.
export WINEPREFIX="$build/win64/wineprefix"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  # Wine'"'"'s server and its services are started here, detached from every
  # test'"'"'s output, and kept up until the end: services started by a test
  # would hold that test'"'"'s pipe open and ctest would wait for them.
  "$0/wine-run.sh" cmd /c exit </dev/null >/dev/null 2>&1 || true
  wineserver -k 2>/dev/null || true
  wineserver -p </dev/null >/dev/null 2>&1 || true
  "$0/wine-run.sh" cmd /c exit </dev/null >/dev/null 2>&1 || true
  ctest --test-dir "$0" --output-on-failure -j 2' "$build/win64" 2>&1 | tee "$build/win64.ctest.log" || status=1
summary+=("win64 under Wine: $(grep -E 'tests passed' "$build/win64.ctest.log" | tail -n 1)")
wineserver -k 2>/dev/null || true

echo "== win32: binaries load on Windows 98 and NT 4.0"
legacy="$root/../shared/tools/check-legacy-imports"
[ -x "$legacy" ] || legacy="$root/scripts/check-legacy-imports"
mapfile -t bins < <(find "$build/win32" -maxdepth 3 \( -iname '*.exe' -o -iname '*.dll' \) -not -path '*/CMakeFiles/*' | sort)
if ((${#bins[@]})); then
  bash "$legacy" "${bins[@]}" || status=1
else
  echo "no win32 binaries built"; status=1
fi

echo
printf '%s\n' "${summary[@]}"
passed=0; failed=0
for line in "${summary[@]}"; do
  if [[ $line =~ ([0-9]+)\ tests\ failed\ out\ of\ ([0-9]+) ]]; then
    failed=$((failed + BASH_REMATCH[1])); passed=$((passed + BASH_REMATCH[2] - BASH_REMATCH[1]))
  fi
done
echo "$passed passed, $failed failed"
exit $status
