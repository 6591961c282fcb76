#!/usr/bin/env bash
# Runs inside the Wine prefix that wine_identity_test.sh prepared: COM12 leads to a simulated
# printer. Wine's device-setup services list what the registry's Enum tree describes.
#   wine_identity_steps.sh WORK TALQ_EXE
set -uo pipefail
work=$1 talq=$2
failures=0
fail() { echo "FAILED: $*" >&2; failures=$((failures + 1)); }
run() { timeout 120 "$WINE" "$talq" "$@"; }
cd "$work" || exit 1

ports='{4d36e978-e325-11ce-bfc1-08002be10318}'
enum='HKEY_LOCAL_MACHINE\System\CurrentControlSet\Enum'
device() {  # instance id, friendly name, port name, location
  printf '[%s\\%s]\n"ClassGUID"="%s"\n"FriendlyName"="%s"\n' "$enum" "$1" "$ports" "$2"
  [ -n "$4" ] && printf '"LocationInformation"="%s"\n' "$4"
  printf '\n[%s\\%s\\Device Parameters]\n"PortName"="%s"\n\n' "$enum" "$1" "$3"
}
{
  printf 'REGEDIT4\n\n'
  device 'USB\VID_0403&PID_6001\A10K1ABC' 'USB Serial Port (COM12)' COM12 'Port_#0003.Hub_#0001'
  device 'FTDIBUS\VID_0403+PID_6010+FT4XYZB\0000' 'USB Serial Port (COM14)' COM14 ''
  device 'USB\VID_067B&PID_2303&MI_00\6&2F3A&0&0000' 'Prolific USB-to-Serial Comm Port (COM7)' COM7 'Port_#0002.Hub_#0001'
  device 'ACPI\PNP0501\1' 'Communications Port (COM1)' COM1 ''
  device 'ACPI\PNP0401\1' 'ECP Printer Port (LPT1)' LPT1 ''
} >devices.reg
"$WINE" regedit.exe /S devices.reg || fail "regedit"

run map COM3 'usb:serial=A10K1ABC' >map.out 2>&1 || fail "talq map COM3 usb:serial=...: $(cat map.out)"
run map --list >list.out 2>list.err || fail "talq map --list: $(cat list.err)"
expected='COM1  Communications Port (COM1)
COM7  Prolific USB-to-Serial Comm Port (COM7)  usb:vid=067b,pid=2303  067b:2303  at Port_#0002.Hub_#0001
COM12  USB Serial Port (COM12)  usb:serial=A10K1ABC  0403:6001  at Port_#0003.Hub_#0001  COM3
COM14  USB Serial Port (COM14)  usb:serial=FT4XYZ  0403:6010'
[ "$(tr -d '\r' <list.out)" = "$expected" ] || fail "talq map --list said:
$(cat list.out)
instead of:
$expected"

run ports --json >ports.json 2>ports.err || fail "talq ports --json: $(cat ports.err)"
python3 - ports.json <<'PY' || fail "talq ports --json: $(cat ports.json)"
import json, sys
entries = json.load(open(sys.argv[1]))
com3 = entries[2]
assert com3["device"] == "\\\\.\\COM12", com3
assert com3["identity"] == "usb:serial=A10K1ABC", com3
assert com3["usb"]["vendorId"] == "0403" and com3["usb"]["serialNumber"] == "A10K1ABC", com3
# The FTDI port no COM1..COM10 reaches is listed by its identity; COM7's has none to give.
extra = [e for e in entries[13:] if e["interface"] == "serial"]
assert [e["name"] for e in extra] == ["usb:serial=FT4XYZ"], extra
assert extra[0]["device"] == "\\\\.\\COM14" and extra[0]["usb"]["interface"] == 1, extra
PY

# The printer on COM12, by the adapter's serial number and through COM3's mapping.
for port in 'usb:serial=a10k1abc' COM3; do
  run check --model 0 --port "$port" >check.out 2>&1 || fail "talq check --port $port: $(cat check.out)"
done
run check --model 0 --port 'usb:serial=NOPE' >none.out 2>&1
[ $? = 3 ] || fail "a serial number nothing has: $(cat none.out)"
grep -qF 'usb:serial=NOPE matches no USB printer or serial adapter; present: usb:vid=067b,pid=2303 (067b:2303, \\.\COM7), usb:serial=A10K1ABC (0403:6001, \\.\COM12), usb:serial=FT4XYZ (0403:6010, \\.\COM14)' none.out ||
  fail "a serial number nothing has said: $(cat none.out)"

[ "$failures" = 0 ] && echo "talq.exe's serial ports by the device-setup services: all steps passed"
exit $((failures > 0))
