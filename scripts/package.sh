#!/usr/bin/env bash
# Sets everything up, builds a Release build with Debian's hardening flags in
# build-pkg/ and makes the Debian package build-pkg/orvanta_<version>_<arch>.deb.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
# Every hardening feature; no debugging information, as the package's binary is stripped.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all DEB_CXXFLAGS_MAINT_STRIP=-g
cmake -S . -B build-pkg -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DORVANTA_SANITIZE=OFF -DORVANTA_TESTS=OFF -DORVANTA_BENCH=OFF \
      -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
      -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)"
cmake --build build-pkg
rm -f build-pkg/orvanta_*.deb
(cd build-pkg && cpack -G DEB)
