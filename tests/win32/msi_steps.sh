# The installer's life in one Wine prefix (run by wine-run.sh --script, $WINE set):
#   msi_steps.sh WORK CURRENT.msi NEWER.msi OLDER.msi NEWER_VERSION WITH_MANAGER
# silent install, talq by name from a new console, upgrade in place, downgrade refused,
# silent uninstall leaving the user's files and nothing of ours.
set -uo pipefail
work=$1 current=$2 newer=$3 older=$4 newer_version=$5 with_manager=$6
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
winpath() { echo "Z:${1//\//\\}"; }
millis() { echo $(($(date +%s%N) / 1000000)); }
msiexec() { "$WINE" msiexec "$@" >"$work/msiexec.out" 2>&1; }
reg_value() {  # the data of one registry value, or nothing
  "$WINE" reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"
}
env_key='HKLM\System\CurrentControlSet\Control\Session Manager\Environment'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
folder="$WINEPREFIX/drive_c/Program Files/Talquist Manager"
# Wine makes a per-machine shortcut in the installing user's menu; Windows in the common one.
shortcuts() {
  find "$WINEPREFIX/drive_c/ProgramData" "$WINEPREFIX/drive_c/users" -path '*/Start Menu/*' \
       -name 'Talquist Manager.lnk' 2>/dev/null
}
path_before=$(reg_value "$env_key" PATH)
# Our products in Programs and Features, one "version" line each.
products() {
  "$WINE" reg query "$uninstall_key" /s 2>/dev/null | tr -d '\r' | awk '
    /^HKEY/ { name = ""; version = "" }
    /DisplayName +REG_SZ +Talquist Manager$/ { name = 1 }
    /DisplayVersion +REG_SZ/ { version = $3 }
    name && version { print version; name = 0 }'
}

start=$(millis)
msiexec /i "$(winpath "$current")" /qn || fail "install exits $?: $(cat "$work/msiexec.out")"
echo "silent install: $(($(millis) - start)) ms"
for file in talq.exe README.txt LICENCE.txt; do
  [ -f "$folder/$file" ] || fail "install: no $file"
done
case "$(reg_value "$env_key" PATH)" in
  "$path_before;C:\\Program Files\\Talquist Manager\\") ;;
  *) fail "install: system PATH is $(reg_value "$env_key" PATH)" ;;
esac
entry=$("$WINE" reg query "$uninstall_key" /s 2>/dev/null | tr -d '\r')
for value in 'Publisher +REG_SZ +Talquist Manager developers' \
             'HelpLink +REG_SZ +C:\\Program Files\\Talquist Manager\\README.txt'; do
  grep -Eq "$value" <<<"$entry" || fail "Programs and Features lacks $value"
done
if [ "$with_manager" = yes ]; then
  [ -f "$folder/talq-manager.exe" ] || fail "install: no talq-manager.exe"
  [ -n "$(shortcuts)" ] || fail "install: no Start-menu shortcut"
  "$WINE" reg query 'HKLM\Software\Classes\Installer\Products' /s 2>/dev/null |
    grep -Eaq 'ProductIcon +REG_SZ .*TalqManagerIcon' || fail "Programs and Features has no icon"
fi

# A console started after the install finds talq by name.
help=$("$WINE" cmd /c talq --help 2>&1 | tr -d '\r') || fail "talq --help by name exits $?"
grep -q '^Usage: talq' <<<"$help" || fail "talq --help by name: $help"
ports=$("$WINE" cmd /c talq ports 2>&1 | tr -d '\r') || fail "talq ports by name exits $?"
grep -q '^COM1 ' <<<"$ports" || fail "talq ports by name: $ports"

# The user's own files, which no uninstall may take.
appdata=$("$WINE" winepath -u "$("$WINE" cmd /c echo %APPDATA% | tr -d '\r')")/talquist-manager
mkdir -p "$appdata" && echo 'COM3=C:\dev\com3' >"$appdata/ports.conf"

msiexec /i "$(winpath "$newer")" /qn || fail "upgrade exits $?: $(cat "$work/msiexec.out")"
[ "$(products)" = "$newer_version" ] || fail "after the upgrade: products $(products | tr '\n' ' ')"
[ "$(grep -o 'Talquist Manager' <<<"$(reg_value "$env_key" PATH)" | wc -l)" = 1 ] ||
  fail "after the upgrade: system PATH is $(reg_value "$env_key" PATH)"

msiexec /i "$(winpath "$older")" /qn /l*v "$(winpath "$work/older.log")"
status=$?
# 1603 (installation failed), of which a Unix exit status keeps the low byte.
[ "$status" = $((1603 & 255)) ] || fail "downgrade exits $status, not 1603"
# Wine logs no launch-condition text under /qn; the refusal is the downgrade condition's.
grep -aq 'WIX_DOWNGRADE_DETECTED = {' "$work/older.log" || fail "downgrade: not detected as one"
[ "$(products)" = "$newer_version" ] || fail "after the downgrade: products $(products | tr '\n' ' ')"

start=$(millis)
msiexec /x "$(winpath "$newer")" /qn || fail "uninstall exits $?: $(cat "$work/msiexec.out")"
echo "silent uninstall: $(($(millis) - start)) ms"
[ ! -e "$folder" ] || fail "uninstall left $(ls -A "$folder")"
[ -z "$(shortcuts)" ] || fail "uninstall left the Start-menu shortcut $(shortcuts)"
[ -z "$(products)" ] || fail "uninstall left Programs and Features entries $(products)"
# Wine leaves the separator it put before our entry: compare the entries.
entries() { tr ';' '\n' <<<"$1" | grep -v '^$'; }
[ "$(entries "$(reg_value "$env_key" PATH)")" = "$(entries "$path_before")" ] ||
  fail "uninstall: system PATH is $(reg_value "$env_key" PATH)"
"$WINE" reg query 'HKLM\Software\Talquist Manager' >/dev/null 2>&1 &&
  fail "uninstall left HKLM\\Software\\Talquist Manager"
[ -f "$appdata/ports.conf" ] || fail "uninstall took the user's ports file"
exit $((failures > 0))
