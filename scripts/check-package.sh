#!/usr/bin/env bash
# Checks the desktop integration and the Debian package: validates the launcher
# and the metainfo, builds the package (scripts/package.sh), runs lintian on it,
# unpacks it into a scratch root and starts the unpacked program offscreen.
set -euo pipefail
cd "$(dirname "$0")/.."

step() { printf '\n== %s\n' "$*"; }

step "AppStream metainfo"
# --no-net: without it the validator downloads every address the metainfo names
# (the web site, the contact page and the screenshots, which AppStream takes
# only as web addresses) and fails on each one it cannot reach, so the check
# would fail on any machine without network.
appstreamcli validate --no-net resources/example.orvanta.Orvanta.metainfo.xml

step "Debian package"
bash scripts/package.sh
deb=$(ls build-pkg/orvanta_*.deb)
dpkg-deb --info "$deb"
for dependency in fonts-liberation qt6-translations-l10n; do
  dpkg-deb --field "$deb" Depends | grep -qw "$dependency" || { echo "The package does not depend on $dependency"; exit 1; }
done

step "lintian $deb"
lintian --fail-on error,warning --info "$deb"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root"

step "Launcher"
# Its mode is the one given at install time, whatever the umask of the source tree.
mode=$(dpkg-deb --contents "$deb" | awk '$6 == "./usr/share/applications/example.orvanta.Orvanta.desktop" { print $1 }')
[ "$mode" = "-rw-r--r--" ] || { echo "The launcher has mode '$mode' in the package instead of -rw-r--r--"; exit 1; }
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
