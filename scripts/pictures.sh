#!/usr/bin/env bash
# Pictures of the dialogs for docs/: each dialog of the Linux program (Qt) and
# of the Windows program (Win32 under Wine's X11 driver, drawing its own
# frames) shown under a private Xvfb display and captured by ImageMagick.
# Needs both builds (scripts/test.sh makes them):
#   scripts/pictures.sh [LINUX_BUILD [WINDOWS_BUILD]]
set -euo pipefail
cd "$(dirname "$0")/.."
linux=${1:-build} windows=${2:-build-windows}
cmake --build "$linux" --target talq-show-dialog
cmake --build "$windows" --target talq-show-dialog
command -v xvfb-run >/dev/null && command -v import >/dev/null ||
  { echo "pictures: needs xvfb-run and ImageMagick's import" >&2; exit 2; }

declare -A titles=(
  [main]="Talquist Manager(V3.0.6a)"
  [about]="About TALQ"
  [status]="Printer Status (For KTV-520plus/KTV-540/KTV-542/KTV-520plusF V3.0.6a)"
)

# capture PROGRAM... : starts the program, waits for its window and writes $out.
capture() {
  "$@" &
  local pid=$! shot=1
  for _ in $(seq 200); do
    if import -window "$title" "$out" 2>/dev/null; then shot=0; break; fi
    sleep 0.1
  done
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  [ "$shot" = 0 ] || { echo "pictures: no window \"$title\"" >&2; return 1; }
  echo "pictures: $out"
}
export -f capture

shoot_linux() {
  for dialog in main about status; do
    title=${titles[$dialog]} out=docs/linux-$dialog.png \
      capture "$linux/docs/pictures/talq-show-dialog" "$dialog"
  done
}

# Wine's X11 driver in a prefix of its own (not the null-driver prefixes of the tests), its
# windows unmanaged so that Wine draws their frames as Windows does.
shoot_windows() {
  cat >"$work/steps.sh" <<STEPS
set -e
"\$WINE" reg add 'HKCU\\Software\\Wine\\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
"\$WINE" reg add 'HKCU\\Software\\Wine\\X11 Driver' /v Decorated /d Y /f >/dev/null 2>&1
STEPS
  for dialog in main about status; do
    echo "title='${titles[$dialog]}' out=docs/windows-$dialog.png capture \"\$WINE\" $windows/docs/pictures/talq-show-dialog.exe $dialog" >>"$work/steps.sh"
  done
  TALQ_WINE_KEEP_DISPLAY=1 scripts/wine-run.sh --script "$work/steps.sh"
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export -f shoot_linux shoot_windows
declare -p titles >"$work/titles"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c "source '$work/titles'; linux='$linux'; shoot_linux"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c "source '$work/titles'; windows='$windows'; work='$work'; shoot_windows"
