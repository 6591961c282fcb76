#!/usr/bin/env bash
# Builds the Debian package, prints its size and installed size, unpacks it and measures the
# resident memory of the programs as installed.
#   package_footprint.sh BUILD_DIR FOOTPRINT_BENCH
set -euo pipefail
out=$1/bench-package
rm -rf "$out"
cpack --config "$1/CPackConfig.cmake" -G DEB -B "$out" >/dev/null
deb=$(ls "$out"/*.deb)
dpkg-deb -x "$deb" "$out/root"
echo "package $(basename "$deb"): $(stat -c %s "$deb") bytes," \
     "Installed-Size $(dpkg-deb -f "$deb" Installed-Size) KiB," \
     "unpacked $(du -sk "$out/root" | cut -f1) KiB"
"$2" "$out/root"
