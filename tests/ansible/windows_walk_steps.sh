# Inside the Wine prefix of wine-run.sh: install talq.exe with the installer, then the walk.
#   windows_walk_steps.sh MSI PYTHON WALK.py ARGS...
set -euo pipefail
msi=$1
shift
"$WINE" msiexec /i "Z:${msi//\//\\}" /qn
export WINE
"$@"
