#!/usr/bin/env bash
# Installs what the build needs (Debian packages) and builds into ./build.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake ninja-build g++ qt6-base-dev libqt6sql6-sqlite libqt6sql6-psql libpq-dev libpugixml-dev
          libgtest-dev sqlite3 libsqlite3-dev postgresql poppler-utils xvfb clang libclang-rt-14-dev
          qt6-translations-l10n librsvg2-bin dpkg-dev file desktop-file-utils shared-mime-info)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
