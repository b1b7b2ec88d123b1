#!/bin/bash
# Snapveil.dll is mapped into every process on the desktop: it may import only
# from KERNEL32, USER32 and ADVAPI32, nothing that allocates or writes the
# registry, and it exports
# exactly the nine hook functions by their plain names.
set -eu
dll=${1:?path to Snapveil.dll}
objdump=${2:-i686-w64-mingw32-objdump}
fail=0

dump=$("$objdump" -p "$dll")

dlls=$(printf '%s\n' "$dump" | sed -n 's/^\s*DLL Name: //p' | tr 'a-z' 'A-Z' | sort -u | tr '\n' ' ')
echo "imports from: $dlls"
for name in $dlls; do
    case "$name" in
    KERNEL32.DLL|USER32.DLL|ADVAPI32.DLL) ;;
    *) echo "FAIL: imports from $name"; fail=1 ;;
    esac
done

functions=$(printf '%s\n' "$dump" | awk '/DLL Name:/{in_dll=1; next} in_dll && /^[ \t]+[0-9a-f]+[ \t]+[0-9]+[ \t]+[A-Za-z_]/{print $3}')
echo "imported functions: $(echo $functions)"
for f in $functions; do
    case "$f" in
    *Alloc*|*Heap*|malloc|calloc|realloc|free|*ReAlloc*|*Free|CreateThread|RegSet*|RegDelete*)
        echo "FAIL: imports $f"; fail=1 ;;
    esac
done

exports=$(printf '%s\n' "$dump" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' \
          | sed -n 's/^\s*\[\s*[0-9]*\]\s*//p' | sort | tr '\n' ' ')
expected="CBTProc InstallCBTHook InstallKeyDownHook InstallMouseHook KeyDownProc MouseProc UninstallCBTHook UninstallKeyDownHook UninstallMouseHook "
echo "exports: $exports"
if [ "$exports" != "$expected" ]; then
    echo "FAIL: exports differ from: $expected"
    fail=1
fi

# One copy of the filter state for every process: a shared, writable section.
if ! "$objdump" -h "$dll" | grep -A1 '\.shared' | grep -q 'SHARED'; then
    echo "FAIL: no shared data section"
    fail=1
fi

[ $fail -eq 0 ] && echo "Snapveil.dll surface as required"
exit $fail
