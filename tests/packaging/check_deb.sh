#!/usr/bin/env bash
# Builds the Debian package with CPack and checks it as the archive would: its files, a
# Depends line of run-time libraries only, no maintainer scripts, the project's version, and
# lintian without errors (its warnings are printed).
#   check_deb.sh BUILD_DIR SOURCE_DIR VERSION SANITIZED
set -uo pipefail
build=$1
version=$3
here=$(dirname "$0")
. "$here/common.sh"

# An instrumented build would depend on the sanitizer runtimes: it is not what ships.
if [ "$4" = ON ]; then
    echo "skipped in the sanitizer build"
    exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; echo "cpack failed"; exit 1; }
deb=$(ls "$work"/*.deb)

mkdir "$work/tree"
dpkg-deb -x "$deb" "$work/tree"
diff -u <(LC_ALL=C sort "$here/installed-files.txt") <(files_below "$work/tree") ||
    fail "package files differ from installed-files.txt"
bad_modes=$(dpkg-deb -c "$deb" | awk '$2 != "root/root" || ($1 !~ /^-rw-r--r--|^-rwxr-xr-x|^drwxr-xr-x/)')
[ -z "$bad_modes" ] || fail "owners or modes other than root and 644/755: $bad_modes"

[ "$(dpkg-deb -f "$deb" Package)" = talquist-manager ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "version is not $version"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
names=$(tr ',|' '\n\n' <<<"$depends" | awk '{print $1}')
for library in libc6 libqt6core6 libqt6gui6 libqt6widgets6 libudev1 libstdc++6; do
    grep -qxF "$library" <<<"$names" || fail "Depends lacks $library"
done
grep -E -- '-dev$|-dbg$|asan|ubsan|^cmake$|^qt6-base-dev' <<<"$names" &&
    fail "Depends names a build-time package"
controls=$(dpkg-deb --ctrl-tarfile "$deb" | tar -t | sed 's|^\./||' | grep -v '^$' | sort | tr '\n' ' ')
[ "$controls" = "control md5sums " ] || fail "control files are '$controls', not only control and md5sums"

lintian -I --pedantic "$deb" >"$work/lintian.log" 2>&1
grep -E '^[EWIP]:' "$work/lintian.log"
grep -q '^E:' "$work/lintian.log" && fail "lintian reports errors"
echo "Installed-Size: $(dpkg-deb -f "$deb" Installed-Size) KiB, package $(stat -c %s "$deb") bytes"

finish
