# The installer's life in one Wine prefix (run by wine-run.sh --script, $WINE set):
#   msi_steps.sh WORK CURRENT.msi REBUILD.msi NEWER.msi OLDER.msi VERSION NEWER_VERSION
#                WITH_MANAGER FOLDER
# silent install, talq by name from a new console, the same version rebuilt and then a newer
# one upgrading in place, downgrade refused, silent uninstall leaving the user's files, nothing
# of ours and PATH as it was, byte for byte, also after a second install and uninstall.
set -uo pipefail
work=$1 current=$2 rebuild=$3 newer=$4 older=$5 version=$6 newer_version=$7 with_manager=$8
win_folder=$9
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
winpath() { echo "Z:${1//\//\\}"; }
millis() { echo $(($(date +%s%N) / 1000000)); }
msiexec() { "$WINE" msiexec "$@" >"$work/msiexec.out" 2>&1; }
reg_value() {  # the data of one registry value, or nothing
  "$WINE" reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"
}
env_key='HKLM\System\CurrentControlSet\Control\Session Manager\Environment'
# Programs and Features: a 32-bit package on 64-bit Windows is listed in the 32-bit view.
uninstall_entries() {
  for key in 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' \
             'HKLM\Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall'; do
    "$WINE" reg query "$key" /s 2>/dev/null | tr -d '\r'
  done
}
folder=$("$WINE" winepath -u "$win_folder" 2>/dev/null | tr -d '\r')
# Wine makes a per-machine shortcut in the installing user's menu; Windows in the common one.
shortcuts() {
  find "$WINEPREFIX/drive_c/ProgramData" "$WINEPREFIX/drive_c/users" -path '*/Start Menu/*' \
       -name 'Talquist Manager.lnk' 2>/dev/null
}
path_before=$(reg_value "$env_key" PATH)
# Our products in Programs and Features, one "ProductCode version" line each.
products() {
  uninstall_entries | awk '
    /^HKEY/ { code = $NF; sub(/.*\\/, "", code); name = ""; version = "" }
    /DisplayName +REG_SZ +Talquist Manager$/ { name = 1 }
    /DisplayVersion +REG_SZ/ { version = $3 }
    name && version { print code, version; name = 0 }'
}
product_code() { msiinfo export "$1" Property | tr -d '\r' | sed -n 's/^ProductCode\t//p'; }
path_is() {  # PATH exactly as expected after STEP
  [ "$(reg_value "$env_key" PATH)" = "$2" ] || fail "$1: system PATH is $(reg_value "$env_key" PATH)"
}

start=$(millis)
msiexec /i "$(winpath "$current")" /qn || fail "install exits $?: $(cat "$work/msiexec.out")"
echo "silent install: $(($(millis) - start)) ms"
for file in talq.exe README.txt LICENCE.txt; do
  [ -f "$folder/$file" ] || fail "install: no $file in $win_folder"
done
path_is install "$win_folder\\;$path_before"
entry=$(uninstall_entries)
grep -Eq 'Publisher +REG_SZ +Talquist Manager developers' <<<"$entry" ||
  fail "Programs and Features names no publisher"
grep -Fxq "    HelpLink    REG_SZ    $win_folder\\README.txt" <<<"$entry" ||
  fail "Programs and Features has no help link to the guide: $(grep HelpLink <<<"$entry")"
# The help link's file is the user's guide, Windows text; no file and no entry names a
# placeholder address.
guide=$folder/README.txt
head -1 "$guide" | grep -q "^Talquist Manager $version - a guide for Windows"$'\r$' ||
  fail "README.txt is not the guide: $(head -1 "$guide")"
[ "$(grep -c $'\r$' "$guide")" = "$(wc -l <"$guide")" ] || fail "README.txt has lines without CRLF"
grep -q '%APPDATA%\\talquist-manager\\ports.conf' "$guide" || fail "the guide names no ports file"
grep -l 'example\.' "$folder"/*.txt && fail "a placeholder address is installed"
grep 'example\.' <<<"$entry" && fail "Programs and Features names a placeholder address"
if [ "$with_manager" = yes ]; then
  [ -f "$folder/talq-manager.exe" ] || fail "install: no talq-manager.exe"
  lnk=$(shortcuts | head -1)
  if [ -z "$lnk" ]; then
    fail "install: no Start-menu shortcut"
  else
    # LinkFlags at offset 20; HasWorkingDir (0x10): the install folder is not the user's to write.
    (($(od -An -tu4 -j20 -N4 "$lnk") & 0x10)) && fail "the shortcut has a working folder"
  fi
  # Its key path: HKMU, which a per-machine package resolves to HKLM.
  [ "$(reg_value 'HKLM\Software\Talquist Manager' StartMenuShortcut)" = 0x1 ] ||
    [ "$(reg_value 'HKLM\Software\Wow6432Node\Talquist Manager' StartMenuShortcut)" = 0x1 ] ||
    fail "the shortcut's key path is not in HKLM"
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

# A rebuild of the same version replaces the installed one: one entry, the rebuild's.
msiexec /i "$(winpath "$rebuild")" /qn || fail "rebuild exits $?: $(cat "$work/msiexec.out")"
[ "$(products)" = "$(product_code "$rebuild") $version" ] ||
  fail "after the rebuild: products $(products | tr '\n' ' ')"
path_is "the rebuild" "$win_folder\\;$path_before"
[ -f "$folder/talq.exe" ] || fail "the rebuild left no talq.exe"

msiexec /i "$(winpath "$newer")" /qn || fail "upgrade exits $?: $(cat "$work/msiexec.out")"
[ "$(products)" = "$(product_code "$newer") $newer_version" ] ||
  fail "after the upgrade: products $(products | tr '\n' ' ')"
path_is "the upgrade" "$win_folder\\;$path_before"

msiexec /i "$(winpath "$older")" /qn /l*v "$(winpath "$work/older.log")"
status=$?
# 1603 (installation failed), of which a Unix exit status keeps the low byte.
[ "$status" = $((1603 & 255)) ] || fail "downgrade exits $status, not 1603"
# Wine logs no launch-condition text under /qn; the refusal is the downgrade condition's.
grep -aq 'WIX_DOWNGRADE_DETECTED = {' "$work/older.log" || fail "downgrade: not detected as one"
[ "$(products)" = "$(product_code "$newer") $newer_version" ] ||
  fail "after the downgrade: products $(products | tr '\n' ' ')"

start=$(millis)
msiexec /x "$(winpath "$newer")" /qn || fail "uninstall exits $?: $(cat "$work/msiexec.out")"
echo "silent uninstall: $(($(millis) - start)) ms"
[ ! -e "$folder" ] || fail "uninstall left $(ls -A "$folder")"
[ -z "$(shortcuts)" ] || fail "uninstall left the Start-menu shortcut $(shortcuts)"
[ -z "$(products)" ] || fail "uninstall left Programs and Features entries $(products)"
path_is uninstall "$path_before"
for key in 'HKLM\Software\Talquist Manager' 'HKLM\Software\Wow6432Node\Talquist Manager'; do
  "$WINE" reg query "$key" >/dev/null 2>&1 && fail "uninstall left $key"
done
[ -f "$appdata/ports.conf" ] || fail "uninstall took the user's ports file"

# Again: an uninstall leaves nothing behind that the next one would add to.
msiexec /i "$(winpath "$current")" /qn || fail "second install exits $?"
path_is "the second install" "$win_folder\\;$path_before"
msiexec /x "$(winpath "$current")" /qn || fail "second uninstall exits $?"
path_is "the second uninstall" "$path_before"
exit $((failures > 0))
