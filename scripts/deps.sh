#!/usr/bin/env bash
# Installs the Debian packages that building and testing Toravel need, when any is missing.
set -euo pipefail
packages=(g++ cmake make libgtest-dev libcli11-dev libmeshoptimizer-dev libbenchmark-dev
          libassimp-dev assimp-utils nlohmann-json3-dev zlib1g-dev libedit-dev libstb-dev)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${missing[@]}"
