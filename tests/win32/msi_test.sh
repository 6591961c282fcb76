#!/usr/bin/env bash
# The installer under Wine: the package the target msi made, and two more builds of it (a
# higher and a lower version) to upgrade and downgrade with; the steps inside a fresh prefix
# are msi_steps.sh.
#   msi_test.sh MSI VERSION WITH_MANAGER BUILD_MSI_SCRIPT BUILD_MSI_COMMAND...
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
msi=$1 version=$2 with_manager=$3 script=$4
shift 4
[ -f "$msi" ] || { echo "no $msi: build the target msi first" >&2; exit 1; }
work=$(mktemp -d "${TMPDIR:-/tmp}/talq-msi.XXXXXX")
trap 'rm -rf "$work"' EXIT

IFS=. read -r major minor patch <<<"$version"
newer_version=$major.$minor.$((patch + 1))
older_version=$((major - 1)).9.0
for v in "$newer_version" "$older_version"; do
  "$@" -DVERSION="$v" -DOUTPUT="$work/talquist-manager-$v-x64.msi" -P "$script" >/dev/null
done
echo "installer: $(stat -c %s "$msi") bytes"
# The refusal's words, which Wine does not show under /qn.
msiinfo export "$msi" LaunchCondition | grep -q 'NOT WIX_DOWNGRADE_DETECTED.A newer version of' ||
  { echo "FAIL: the package has no downgrade message" >&2; exit 1; }
"$here/../../scripts/wine-run.sh" --script "$here/msi_steps.sh" "$work" "$msi" \
  "$work/talquist-manager-$newer_version-x64.msi" "$work/talquist-manager-$older_version-x64.msi" \
  "$newer_version" "$with_manager"
