#!/bin/bash
# Builds everything and runs every test: the native unit tests, then the
# Windows-side tests under Wine (on a private X display and Wine prefix of
# their own), on the 32-bit binaries that ship and their 64-bit part.
# Installs the toolchain first when it is missing.
set -eu
cd "$(dirname "$0")"
./install-deps.sh

cmake --workflow --preset native
cmake --workflow --preset win32
