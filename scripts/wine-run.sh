#!/usr/bin/env bash
# Runs one Windows program under Wine in a prefix of its own, made for this
# run and removed after it. Wine maps com1 to /dev/ttyS0 and lptN to /dev/lpN
# when it sets a prefix up; before the program starts, every COM and LPT link
# of the prefix is pointed at a path that does not exist, or at the pseudo-
# terminal a caller names:
#   TALQ_WINE_PORTS="com5=/tmp/x/printer com6=/tmp/y/printer" wine-run.sh prog.exe args...
#   wine-run.sh --script steps.sh args...   (steps.sh runs with $WINE set, in the prefix)
#   TALQ_WINE_GRAPHICS=x11 wine-run.sh ...  (the X11 driver; default: null, no display)
#   TALQ_WINE_ARCH=win32 wine-run.sh ...    (a 32-bit Windows; default: win64, a 64-bit
#                                            one, where 32-bit programs run as on WoW64)
#   TALQ_WINE_TEMPLATES=DIR wine-run.sh ... (start from a copy of a prefix made once in DIR)
# The prefix's wineserver stays up for the whole run (so Wine does not set the
# links up again) and is ended afterwards.
set -euo pipefail

case "${TALQ_WINE_ARCH:=win64}" in
  win64) wine=/usr/lib/wine/wine64 fallback=wine64 ;;
  win32) wine=/usr/lib/wine/wine fallback=wine ;;  # wine32's loader (Debian's i386 package)
  *) echo "wine-run: TALQ_WINE_ARCH is win64 or win32, not $TALQ_WINE_ARCH" >&2; exit 2 ;;
esac
[ -x "$wine" ] || wine=$(command -v "$fallback") ||
  { echo "wine-run: no Wine loader for $TALQ_WINE_ARCH (scripts/install-deps.sh --windows)" >&2; exit 2; }
wineserver=/usr/lib/wine/wineserver64
[ -x "$wineserver" ] || wineserver=$(command -v wineserver)

prefix=$(mktemp -d "${TMPDIR:-/tmp}/talq-wine.XXXXXX")
export WINEPREFIX=$prefix WINEARCH=$TALQ_WINE_ARCH WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installer prompts while the prefix is made.
export WINEDLLOVERRIDES="mscoree,mshtml=;${WINEDLLOVERRIDES:-}"
# Tests run without a display (the null graphics driver); pictures keep theirs (X11).
[ "${TALQ_WINE_GRAPHICS:-null}" = x11 ] || unset DISPLAY
unset WAYLAND_DISPLAY
# Wine's spooler would list the machine's CUPS queues: it gets a scheduler of its own, none.
export CUPS_SERVER="$prefix/no-cups.sock"

finish() {
  "$wineserver" -k 2>/dev/null || true
  "$wineserver" -w 2>/dev/null || true
  rm -rf "$prefix"
}
trap finish EXIT

# Making a prefix takes most of a run's time: with TALQ_WINE_TEMPLATES (a folder), the first
# run of each arch and user (the profile folder is named by $USER when a prefix is made) makes
# one there, its server stopped, and every run starts from a copy of it. Its links are pointed
# below like those of a new prefix.
if [ -n "${TALQ_WINE_TEMPLATES:-}" ]; then
  template=$TALQ_WINE_TEMPLATES/$TALQ_WINE_ARCH-$(printf %s "${USER:-}" | cksum | cut -d' ' -f1)
  mkdir -p "$TALQ_WINE_TEMPLATES"
  (
    flock 9
    if [ ! -e "$template/made" ]; then
      rm -rf "$template"
      mkdir -p "$template"
      WINEPREFIX=$template "$wineserver" -p
      WINEPREFIX=$template "$wine" wineboot.exe -i >/dev/null 2>&1
      WINEPREFIX=$template "$wineserver" -k 2>/dev/null || true
      WINEPREFIX=$template "$wineserver" -w 2>/dev/null || true
      touch "$template/made"
    fi
  ) 9>"$template.lock"
  cp -a "$template/." "$prefix/"
  rm -f "$prefix/made"
  "$wineserver" -p
else
  "$wineserver" -p
  "$wine" wineboot.exe -i >/dev/null 2>&1
fi
nowhere="$prefix/no-such-port"
# Windows of our programs (the dialogs, and talq.exe's hidden session-end window) need a
# graphics driver: with no display the null one (TALQ_WINE_GRAPHICS, default null; x11 for
# pictures). It counts from the next wineserver start, and that start sets the port links up
# again: first every COM and LPT name is pinned in the registry (to its pseudo-terminal or to
# nowhere: device paths, as Wine keeps them), so that none is given to a real port, then the
# services come back before the links are pointed below.
{
  printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Wine\\Drivers]\n"Graphics"="%s"\n' \
    "${TALQ_WINE_GRAPHICS:-null}"
  printf '\n[HKEY_LOCAL_MACHINE\\Software\\Wine\\Ports]\n'
  for n in $(seq 1 32); do
    target=$nowhere
    for mapping in ${TALQ_WINE_PORTS:-}; do
      [ "${mapping%%=*}" = "com$n" ] && target=${mapping#*=}
    done
    printf '"COM%s"="%s"\n' "$n" "$target"
  done
  for n in 1 2 3; do printf '"LPT%s"="%s"\n' "$n" "$nowhere"; done
  # A program that crashes ends there: Wine's own debugger can wait for ever without a display,
  # so the debugger started is one that ends at once, and the crash fails the test quickly.
  printf '\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug]\n"Auto"="1"\n"Debugger"="C:\\\\windows\\\\system32\\\\cmd.exe /c exit 1"\n'
} >"$prefix/pinned.reg"
"$wine" regedit.exe /S "$prefix/pinned.reg" >/dev/null 2>&1
"$wineserver" -k
"$wineserver" -w
"$wineserver" -p
"$wine" wineboot.exe >/dev/null 2>&1
shopt -s nullglob
for link in "$prefix"/dosdevices/com[0-9]* "$prefix"/dosdevices/lpt[0-9]*; do
  ln -sfn "$nowhere" "$link"
done
for n in $(seq 1 10); do ln -sfn "$nowhere" "$prefix/dosdevices/com$n"; done
for n in 1 2 3; do ln -sfn "$nowhere" "$prefix/dosdevices/lpt$n"; done
for mapping in ${TALQ_WINE_PORTS:-}; do
  name=${mapping%%=*}
  case "$name" in com[0-9]*|lpt[0-9]*) ;; *) echo "wine-run: bad port $name" >&2; exit 2 ;; esac
  ln -sfn "${mapping#*=}" "$prefix/dosdevices/$name"
done
# A link that leads, through any chain of links, to a real serial or parallel
# node stops the run; so does one that Wine put back while the program ran.
check_links() {
  for link in "$prefix"/dosdevices/com[0-9]* "$prefix"/dosdevices/lpt[0-9]*; do
    case "$(readlink -f "$link")" in /dev/tty[!p]*|/dev/lp*|/dev/usb/*|/dev/parport*)
      echo "wine-run: $link leads to a real port" >&2; return 1 ;;
    esac
  done
}
check_links || exit 2

status=0
if [ "${1:-}" = --script ]; then
  shift
  WINE=$wine bash "$@" || status=$?
else
  "$wine" "$@" || status=$?
fi
check_links || status=2
exit "$status"
