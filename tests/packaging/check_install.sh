#!/usr/bin/env bash
# Installs the build into a DESTDIR and checks the tree as a user's system would see it:
# exactly the expected files, programs that run from there, entries and pages that the
# distribution's validators accept, manual pages and completion in step with --help, and a
# udev rule for the USB printers that discovery knows.
#   check_install.sh BUILD_DIR SOURCE_DIR
set -uo pipefail
build=$1
source=$2
here=$(dirname "$0")
. "$here/common.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root=$work/root
DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null || { echo "install failed"; exit 1; }
usr=$root/usr

# The tree: nothing missing, nothing a user does not need.
if ! diff -u <(LC_ALL=C sort "$here/installed-files.txt") <(files_below "$root"); then
    fail "installed files differ from installed-files.txt"
fi

# Help of each program, and of each talq command.
help_of() { "$usr/bin/$1" "${@:2}" --help 2>&1; }
talq_commands=(ports map unmap find check get set replace show diff factory self-test doctor)
for program in talq talq-manager talq-printer-sim; do
    help_of "$program" >"$work/$program.help" || fail "$program --help exits with $?"
    [ -s "$work/$program.help" ] || fail "$program --help prints nothing"
done
for command in "${talq_commands[@]}"; do
    help_of talq "$command" >>"$work/talq.help" || fail "talq $command --help exits with $?"
done

# The validators of the desktop.
desktop-file-validate "$usr/share/applications/org.talquist.Manager.desktop" ||
    fail "desktop-file-validate"
appstreamcli validate --no-net "$usr/share/metainfo/org.talquist.Manager.metainfo.xml" \
    >"$work/appstream.log" 2>&1 || { cat "$work/appstream.log"; fail "appstreamcli validate"; }
grep -qx "Icon=org.talquist.Manager" "$usr/share/applications/org.talquist.Manager.desktop" ||
    fail "the desktop entry names another icon"

# Manual pages: no warnings from the formatter, and every option, command and exit code of
# --help present. The page source is compared with its escapes removed, so a word the
# formatter hyphenates at a line end still counts.
page_text() { zcat "$1" | sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g' -e 's/\\(..//g'; }
for program in talq talq-manager talq-printer-sim; do
    page=$usr/share/man/man1/$program.1.gz
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "man --warnings $program.1: $warnings"
    page_text "$page" >"$work/$program.page"
    for option in $(grep -oE '(^|[][ ,|])--?[a-zA-Z][a-zA-Z0-9-]*' "$work/$program.help" |
                    sed 's/^[][ ,|]//' | sort -u); do
        grep -qe "$option\b" "$work/$program.page" || fail "$program.1 lacks option $option"
    done
done
for command in "${talq_commands[@]}"; do
    grep -qE "^\.B $command\b" "$work/talq.page" || fail "talq.1 lacks command $command"
done
exit_codes=$(sed -n '/^Exit codes:/,$p' "$work/talq.help" | grep -oE '^ *[0-9]+ ' | sort -un)
[ -n "$exit_codes" ] || fail "talq --help lists no exit codes"
# The section is read once: a grep -q that stops early would end sed with SIGPIPE, which
# pipefail reports as a missing code.
exit_section=$(sed -n '/^\.SH "EXIT STATUS"/,/^\.SH [^"]*[A-Z]/p' "$work/talq.page")
for code in $exit_codes; do
    grep -qx "\.B $code" <<<"$exit_section" || fail "talq.1 lacks exit code $code"
done

# Bash completion, against a stand-in talq whose port list holds one USB printer.
mkdir -p "$work/path"
cat >"$work/path/talq" <<'STUB'
#!/bin/sh
printf 'COM1  serial  /dev/ttyS0  can be opened\n520plus:/dev/usb/lp0  usb  /dev/usb/lp0  can be opened\n'
STUB
chmod +x "$work/path/talq"
cat >"$work/complete.sh" <<'DRIVER'
# Completes the line $2 with the completion file $1, as bash's default word breaks split it.
COMP_WORDBREAKS=$' \t\n"\'><=;|&(:'
. "$1"
COMP_LINE=$2
COMP_POINT=${#2}
_talq
printf '%s\n' "${COMPREPLY[@]}"
DRIVER
complete_line() {
    PATH="$work/path:$PATH" bash "$work/complete.sh" \
        "$usr/share/bash-completion/completions/talq" "$1"
}
expect_completion() {
    local got
    got=$(complete_line "$1" | LC_ALL=C sort | tr '\n' ' ')
    [ "$got" = "$2 " ] || fail "completion of '$1': got '$got', expected '$2 '"
}
expect_completion "talq se" "self-test set"
expect_completion "talq get --model KTV-5" "KTV-520plus KTV-520plusF KTV-540/542"
expect_completion "talq check --port LPT" "LPT1 LPT2 LPT3"
expect_completion "talq set --port 520" "520plus:/dev/usb/lp0"
expect_completion "talq set --port 520plus:/dev/u" "/dev/usb/lp0"
expect_completion "talq -q get --port COM1 --parity " "Even None Odd"
expect_completion "talq set --printer-flow " "DTR/DSR Xon/Xoff"
for command in "${talq_commands[@]}"; do
    offered=$(complete_line "talq $command -")
    for option in $("$usr/bin/talq" "$command" --help | sed -n '/^Options:/,/^$/p' |
                    grep -oE '(^|[ ,])--?[a-z][a-z-]*' | sed 's/^[ ,]//'); do
        grep -qx -- "$option" <<<"$offered" || fail "completion of talq $command lacks $option"
    done
done

# The udev rule: well formed, tags uaccess, and covers the vendor and every product id that
# USB discovery labels.
rule=$usr/lib/udev/rules.d/70-talquist-printers.rules
key='[A-Z]+(\{[A-Za-z0-9_]+\})?'
pair="$key(==|!=|=|\+=|-=|:=)\"[^\"]*\""
while IFS= read -r line; do
    [[ -z $line || $line == \#* ]] && continue
    [[ $line =~ ^$pair(,\ $pair)*$ ]] || fail "udev rule line is malformed: $line"
done <"$rule"
grep -q 'TAG+="uaccess"' "$rule" || fail "the udev rule does not tag uaccess"
discovery=$source/src/link/usb_discovery.cpp
vendor=$(grep -oE 'kMakerVendorId = 0x[0-9a-f]{4}' "$discovery" | grep -oE '[0-9a-f]{4}$')
grep -q "ATTRS{idVendor}==\"$vendor\"" "$rule" || fail "the udev rule lacks vendor '$vendor'"
products=$(grep -oE 'productId == 0x[0-9a-f]{4}' "$discovery" | grep -oE '[0-9a-f]{4}$' | sort -u)
[ -n "$products" ] || fail "no product ids found in USB discovery"
rule_products=$(grep -oE 'ATTRS\{idProduct\}=="[^"]*"' "$rule" | cut -d'"' -f2 | tr '|' '\n' | sort -u)
[ "$products" = "$rule_products" ] ||
    fail "udev rule products '$(echo $rule_products)' differ from discovery's '$(echo $products)'"

finish
