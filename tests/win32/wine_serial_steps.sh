#!/usr/bin/env bash
# Runs inside the Wine prefix that wine_serial_test.sh prepared: COM5 leads to
# an answering simulated printer at $work/printer, COM6 to a silent one.
#   wine_serial_steps.sh WORK SERIAL_TESTS_EXE TALQ_EXE [LINUX_TALQ]
set -uo pipefail
work=$1 serial=$2 talq=$3 linux_talq=${4:-}
failures=0
fail() { echo "FAILED: $*" >&2; failures=$((failures + 1)); }
# Every step is bounded: a hung program fails its step instead of the run.
run() { timeout 120 "$WINE" "$@"; }
talq() { run "$talq" "$1" --model 0 --port COM5 "${@:2}"; }

run "$serial" || fail "the serial backend's tests"

# The line settings as the terminal itself holds them, seen from Linux.
line_is() {
  TALQ_TEST_LINE=$1 run "$serial" --gtest_filter='*LeavesTheLineSettings*' >/dev/null ||
    fail "opening COM5 with $1"
  local settings
  settings=" $(stty -F "$work/printer" -a | tr '\n;' '  ') "
  for word in "${@:2}"; do
    [[ $settings == *" $word "* ]] || fail "COM5 opened with $1 lacks '$word' in: $settings"
  done
}
line_is 115200,2,0 "speed 115200 baud" cstopb crtscts -ixon -ixoff cs8 -parenb
# Xon/Xoff still paces output by CTS, as the DCB asks (fOutxCtsFlow).
line_is 9600,0,1 "speed 9600 baud" -cstopb crtscts ixon ixoff

cd "$work" || exit 1
talq check >check.out 2>check.err || fail "talq check: $(cat check.err)"
talq get -o x.sts >get.out 2>get.err || fail "talq get: $(cat get.err)"
[ "$(stat -c %s x.sts 2>/dev/null)" = 216 ] || fail "x.sts is not 216 bytes"
talq set x.sts --pin 2.3=1 --verify >set.out 2>set.err || fail "talq set: $(cat set.err)"
grep -q "switch 2 pin 3: 0 -> 1" set.out || fail "talq set said: $(cat set.out)"
talq set --pin 2.3=1 >again.out 2>&1 || fail "a repeated set: $(cat again.out)"
grep -q "COM5: unchanged" again.out || fail "a repeated set said: $(cat again.out)"
talq get -o y.sts >/dev/null 2>get2.err || fail "the second get: $(cat get2.err)"
run "$talq" show y.sts >show.out 2>&1 || fail "talq show: $(cat show.out)"
grep -q "Memory switch 2" show.out || fail "talq show said: $(cat show.out)"
run "$talq" diff x.sts y.sts >diff.out 2>&1
[ $? = 1 ] || fail "talq diff of two different files: $(cat diff.out)"
grep -q "switch 2 pin 3" diff.out || fail "talq diff said: $(cat diff.out)"
run "$talq" factory --model 0 -o f.sts >/dev/null 2>factory.err || fail "talq factory: $(cat factory.err)"
[ "$(stat -c %s f.sts 2>/dev/null)" = 216 ] || fail "f.sts is not 216 bytes"

# The doctor finds the printer on COM5 and bundles the trace of its check; nothing is wrong.
run "$talq" doctor --port COM5 --bundle ticket.txt >doctor.out 2>doctor.err ||
  fail "talq doctor --port COM5: $(cat doctor.out doctor.err)"
grep -q "printer       a KTV-520plus answers" doctor.out || fail "talq doctor said: $(cat doctor.out)"
grep -q " COM5 write 1B 40  |.@|" ticket.txt || fail "the bundle lacks the check's trace: $(cat ticket.txt)"

# Names outside the ANSI code page: the profile folder is "Łukasz" (wine_serial_test.sh sets
# the user), the status file "Café №1.sts". COM7 reaches the printer on COM5 by a mapping.
profile="$WINEPREFIX/drive_c/users/Łukasz"
ports_file="$profile/AppData/Roaming/talquist-manager/ports.conf"
[ -d "$profile" ] || fail "the prefix has no profile folder Łukasz: $(ls "$WINEPREFIX/drive_c/users")"
run "$talq" map COM7 COM5 >map.out 2>&1 || fail "talq map COM7 COM5: $(cat map.out)"
grep -qF 'written: C:\users\Łukasz\AppData\Roaming\talquist-manager\ports.conf' map.out ||
  fail "talq map said: $(cat map.out)"
grep -qx 'COM7=COM5' "$ports_file" 2>/dev/null || fail "the profile's ports file lacks COM7=COM5"
[ ! -e "$WINEPREFIX/drive_c/users/Lukasz" ] || fail "a folder under the ANSI name was made"
# A line Notepad saved in the ANSI code page (1252 here): read so, not the end of talq.
printf 'COM3=C:\\caf\xe9\\x\r\n' >>"$ports_file"
run "$talq" ports >ports.out 2>&1 || fail "talq ports over an ANSI ports file: $(cat ports.out)"
grep -qF 'C:\café\x' ports.out || fail "talq ports did not read the ANSI line: $(cat ports.out)"
run "$talq" get --model 0 --port COM7 -o "Café №1.sts" >/dev/null 2>cafe.err ||
  fail "talq get -o \"Café №1.sts\": $(cat cafe.err)"
cmp -s "Café №1.sts" y.sts || fail "\"Café №1.sts\" is not what COM5's printer holds"
run "$talq" show "Café №1.sts" >cafe.out 2>&1 || fail "talq show of Café №1.sts: $(cat cafe.out)"
grep -q "Memory switch 2" cafe.out || fail "talq show of Café №1.sts said: $(cat cafe.out)"

# The same printer read by the Linux build gives the very same bytes.
if [ -n "$linux_talq" ]; then
  TALQ_COM5=$work/printer timeout 120 "$linux_talq" get --model 0 --port COM5 -o linux.sts \
    >/dev/null 2>linux.err || fail "the Linux talq get: $(cat linux.err)"
  cmp -s y.sts linux.sts || fail "the status files of talq.exe and the Linux talq differ"
fi

[ "$failures" = 0 ] && echo "talq.exe and the serial backend under Wine: all steps passed"
exit $((failures > 0))
