#!/usr/bin/env bash
# The installer under Wine: the package the target msi made, a rebuild of it (the same version,
# a new ProductCode) and two more builds (a higher and a lower version) to upgrade and
# downgrade with; its tables against the validation rules first (msi_ice_rules.py). The steps
# inside a fresh prefix (TALQ_WINE_ARCH: win64 or win32) are msi_steps.sh.
#   msi_test.sh MSI VERSION WITH_MANAGER ARCH BUILD_MSI_SCRIPT BUILD_MSI_COMMAND...
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
msi=$1 version=$2 with_manager=$3 arch=$4 script=$5
shift 5
[ -f "$msi" ] || { echo "no $msi: build the target msi first" >&2; exit 1; }
work=$(mktemp -d "${TMPDIR:-/tmp}/talq-msi.XXXXXX")
trap 'rm -rf "$work"' EXIT

"$here/msi_ice_rules.py" "$msi"
IFS=. read -r major minor patch <<<"$version"
newer_version=$major.$minor.$((patch + 1))
older_version=$((major - 1)).9.0
for v in "$version" "$newer_version" "$older_version"; do
  "$@" -DVERSION="$v" -DOUTPUT="$work/talquist-manager-$v-$arch.msi" -P "$script" >/dev/null
done
echo "installer: $(stat -c %s "$msi") bytes"
# The refusal's words, which Wine does not show under /qn.
msiinfo export "$msi" LaunchCondition | grep -q 'NOT WIX_DOWNGRADE_DETECTED.A newer version of' ||
  { echo "FAIL: the package has no downgrade message" >&2; exit 1; }
# ProgramFilesFolder of a 32-bit package is the 32-bit programs' folder of a 64-bit Windows.
folder='C:\Program Files\Talquist Manager'
[ "$arch-${TALQ_WINE_ARCH:-win64}" = x86-win64 ] && folder='C:\Program Files (x86)\Talquist Manager'
"$here/../../scripts/wine-run.sh" --script "$here/msi_steps.sh" "$work" "$msi" \
  "$work/talquist-manager-$version-$arch.msi" "$work/talquist-manager-$newer_version-$arch.msi" \
  "$work/talquist-manager-$older_version-$arch.msi" "$version" "$newer_version" "$with_manager" \
  "$folder"
