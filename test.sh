#!/bin/bash
# Builds everything and runs every test: the native unit tests, then the
# Windows-side tests under Wine (on a private X display and Wine prefix of
# their own). Installs the toolchain first when it is missing.
set -eu
cd "$(dirname "$0")"
./install-deps.sh

cmake --preset native >/dev/null
cmake --build --preset native -j2
ctest --preset native

cmake --preset win32 >/dev/null
cmake --build --preset win32 -j2
ctest --preset win32
