#!/usr/bin/env bash
# Installs what the program, its tests, its benchmarks and its Debian package
# need on Debian 12; with arguments, installs just the packages named.
set -euo pipefail
packages=(g++ cmake ninja-build qt6-base-dev qt6-base-dev-tools libgtest-dev libgmock-dev
          libbenchmark-dev fonts-liberation xvfb xauth librsvg2-bin pkg-config libglib2.0-dev trash-cli
          dosfstools fusefat exfatprogs exfat-fuse
          dpkg-dev file lintian desktop-file-utils appstream locales-all
          qt6-translations-l10n)
if [ $# -gt 0 ]; then
  packages=("$@")
fi
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  apt-get install -y "${missing[@]}"
fi
