#!/usr/bin/env bash
# Installs the Debian packages that are missing (with sudo when not root),
# then builds the game in Release and generates its data into build/.
set -euo pipefail
cd "$(dirname "$0")/.."

missing=()
while read -r pkg; do
    [[ -z "$pkg" || "$pkg" == \#* ]] && continue
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$pkg")
    fi
done < scripts/packages.txt

if (( ${#missing[@]} )); then
    echo "Installing: ${missing[*]}"
    sudo=""
    if [[ "$(id -u)" -ne 0 ]]; then sudo="sudo"; fi
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build build -j"$(nproc)"
