#!/usr/bin/env bash
# Checks the desktop integration and the Debian package: validates the launcher
# and the metainfo, builds the package (scripts/package.sh), runs lintian on it,
# unpacks it into a scratch root and starts the unpacked program offscreen.
set -euo pipefail
cd "$(dirname "$0")/.."

step() { printf '\n== %s\n' "$*"; }

step "AppStream metainfo"
appstreamcli validate --no-net resources/example.orvanta.Orvanta.metainfo.xml

step "Debian package"
bash scripts/package.sh
deb=$(ls build-pkg/orvanta_*.deb)
dpkg-deb --info "$deb"
dpkg-deb --field "$deb" Depends | grep -qw fonts-liberation || { echo "The package does not depend on fonts-liberation"; exit 1; }

step "lintian $deb"
lintian --fail-on error,warning --info "$deb"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root"

step "Launcher"
desktop=$root/usr/share/applications/example.orvanta.Orvanta.desktop
desktop-file-validate "$desktop"
grep -qx 'Exec=/usr/lib/orvanta/orvanta' "$desktop" || { echo "The launcher does not start /usr/lib/orvanta/orvanta"; exit 1; }
appstreamcli validate --no-net "$root/usr/share/metainfo/example.orvanta.Orvanta.metainfo.xml"

step "The unpacked program starts and shows its window"
status=0
QT_QPA_PLATFORM=offscreen timeout 5 "$root/usr/bin/orvanta" || status=$?
if [ "$status" -ne 124 ]; then
  echo "The unpacked program ended with status $status instead of running until stopped"
  exit 1
fi
echo "ran until stopped after 5 s"
