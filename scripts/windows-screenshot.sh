#!/usr/bin/env bash
# Refreshes docs/windows-main-window.png: runs the Windows tests under Wine, whose GUI test
# photographs the main window after its typical run, and copies the picture.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/test-windows.sh
cp build/windows/main-window.png docs/windows-main-window.png
echo "Wrote docs/windows-main-window.png"
