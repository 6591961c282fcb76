#!/usr/bin/env bash
# Pictures of the dialogs for docs/: each dialog of the Linux program (Qt) and
# of the Windows program (Win32 under Wine's X11 driver, drawing its own
# frames) shown under a private Xvfb display and captured by ImageMagick.
# Needs both builds (scripts/test.sh makes them):
#   scripts/pictures.sh [LINUX_BUILD [WINDOWS_BUILD]]
set -euo pipefail
cd "$(dirname "$0")/.."

titles=("main:Talquist Manager(V3.0.6a)" "about:About TALQ"
        "status:Printer Status (For KTV-520plus/KTV-540/KTV-542/KTV-520plusF V3.0.6a)")

# capture OUT TITLE PROGRAM...: starts the program, waits for its window, writes OUT.
capture() {
  local out=$1 title=$2 shot=1
  "${@:3}" &
  local pid=$!
  local id=
  for _ in $(seq 300); do
    id=$(xwininfo -root -tree 2>/dev/null | grep -F "\"$title\"" | awk '{print $1; exit}' || true)
    [ -n "$id" ] && break
    sleep 0.1
  done
  # A moment for the first paint, then the window as it is drawn.
  sleep 1
  [ -n "$id" ] && import -window "$id" "$out" && shot=0
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  [ "$shot" = 0 ] || { echo "pictures: no window \"$title\"" >&2; return 1; }
  echo "pictures: $out"
}

case "${1:-}" in
  --linux)  # inside Xvfb
    for entry in "${titles[@]}"; do
      capture "docs/linux-${entry%%:*}.png" "${entry#*:}" "$2/docs/pictures/talq-show-dialog" "${entry%%:*}"
    done
    exit 0 ;;
  --windows)  # inside Xvfb and a Wine prefix of its own (wine-run.sh)
    # Unmanaged windows: Wine draws their frames as Windows does.
    "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    for entry in "${titles[@]}"; do
      capture "docs/windows-${entry%%:*}.png" "${entry#*:}" "$WINE" "$2/docs/pictures/talq-show-dialog.exe" "${entry%%:*}"
    done
    exit 0 ;;
esac

linux=${1:-build} windows=${2:-build-windows}
command -v xvfb-run >/dev/null && command -v import >/dev/null && command -v xwininfo >/dev/null ||
  { echo "pictures: needs xvfb-run, ImageMagick's import and xwininfo" >&2; exit 2; }
cmake --build "$linux" --target talq-show-dialog
cmake --build "$windows" --target talq-show-dialog
screen=(-a -s "-screen 0 1024x768x24")
xvfb-run "${screen[@]}" "$0" --linux "$linux"
xvfb-run "${screen[@]}" env TALQ_WINE_GRAPHICS=x11 scripts/wine-run.sh --script "$0" --windows "$windows"
