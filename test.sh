#!/bin/bash
# Builds everything and runs every test: the native unit tests, then the
# Windows-side tests under Wine (on a private X display and Wine prefix of
# their own). Installs the toolchain first when it is missing.
set -eu
cd "$(dirname "$0")"
./install-deps.sh

cmake --workflow --preset native

# 32-bit Windows programs need Wine's 32-bit loader, a 32-bit Linux program.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    cmake --workflow --preset win32
else
    echo "This machine cannot run 32-bit Linux programs, so Wine runs no 32-bit Windows program here:"
    echo "the 32-bit build's binaries are checked from their tables, and the Windows-side tests run"
    echo "on the same sources built for x86-64, under wine64."
    cmake --preset win32
    cmake --build --preset win32
    ctest --preset win32 -R binaries_surface
    cmake --workflow --preset x64
fi
