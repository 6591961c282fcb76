#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need (only what is missing).
# --windows: those of the Windows build and its tests under Wine instead.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config ccache
  libgtest-dev libgmock-dev
  libudev-dev umockdev libumockdev-dev libglib2.0-dev
  qt6-base-dev fonts-dejavu-core
  libcli11-dev nlohmann-json3-dev
  cups-daemon cups-client libcups2-dev
  clang libclang-rt-dev
  desktop-file-utils appstream lintian man-db file
  ansible-core python3-winrm
  ser2net
)

# MinGW-w64 for the 64-bit and 32-bit Windows programs, Wine to run their tests (wine32 for the
# 32-bit ones, from Debian's i386 architecture; Wine's own dialog fonts), zip and wixl/msitools
# for the packages; of CLI11 and nlohmann-json only the header folders are used, and GoogleTest
# is built from its sources.
windows_packages=(
  cmake ninja-build
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine64 wine32:i386 wine fonts-wine
  zip wixl msitools
  libgtest-dev libcli11-dev nlohmann-json3-dev
  ser2net
)
[ "${1:-}" = --windows ] && packages=("${windows_packages[@]}")

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

# wine32 is an i386 package: the architecture is added once, before the package lists are read.
if [[ " ${missing[*]} " == *:i386\ * ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
