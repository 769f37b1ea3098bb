#!/usr/bin/env bash
# Installs the Debian packages that building and testing Toravel need, when any is missing.
set -euo pipefail
packages=(g++ cmake make libgtest-dev libcli11-dev libmeshoptimizer-dev libbenchmark-dev
          libassimp-dev assimp-utils nlohmann-json3-dev zlib1g-dev libedit-dev libstb-dev
          clang libclang-rt-14-dev valgrind)
# The Windows build and its tests under Wine in a virtual X display; Wine's recommended
# extras (32-bit Wine, sound, printing) are not needed.
windows_packages=(g++-mingw-w64-x86-64-posix libz-mingw-w64-dev wine wine64 fonts-wine xvfb
                  libgl1-mesa-dri)
missing=()
missing_windows=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
for p in "${windows_packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' ||
        missing_windows+=("$p")
done
[ ${#missing[@]} -eq 0 ] && [ ${#missing_windows[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]} ${missing_windows[*]}"
$sudo apt-get update
if [ ${#missing[@]} -gt 0 ]; then
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${missing[@]}"
fi
if [ ${#missing_windows[@]} -gt 0 ]; then
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends \
        "${missing_windows[@]}"
fi
