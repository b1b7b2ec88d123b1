#!/bin/bash
# What the three binaries ask of the system when they load, read from their
# tables: every import must exist on a clean Windows 95 and on NT 4.0 (the
# list beside this script); anything newer is resolved at run time. Snapveil.dll,
# mapped into every process, takes only KERNEL32, USER32 and ADVAPI32 and
# nothing that allocates, loads or writes the registry, exports exactly the
# nine hook functions by plain name, and has no section shared by every
# session of the machine.   binaries_surface.sh BIN_DIR [OBJDUMP]
set -eu
bin=${1:?folder of the built binaries}
objdump=${2:-i686-w64-mingw32-objdump}
list="$(dirname "$0")/win95_nt4_imports.txt"
fail=0
problem() { echo "FAIL: $*"; fail=1; }
imports() {   # "DLL function" per import
    "$objdump" -p "$1" | awk '/DLL Name:/ { dll = toupper($3); sub(/\.DLL$/, "", dll); next }
        dll && /^[ \t]+[0-9a-f]+[ \t]+[0-9]+[ \t]+[A-Za-z_]/ { print dll, $3 }'
}

for binary in Hushpane.exe Snapveil.dll Foldwright.dll; do
    while read -r dll function; do
        [ "$binary:$dll" = Hushpane.exe:SNAPVEIL ] && continue
        grep -v '^#' "$list" | grep -qE "^$dll( .*)? $function( |\$)" ||
            problem "$binary imports $dll $function, not on the Windows 95 and NT 4.0 list"
        case "$binary:$dll:$function" in
        Snapveil.dll:GDI32:*|Snapveil.dll:SHELL32:*|Snapveil.dll:COMCTL32:*|Snapveil.dll:*Alloc* | \
        Snapveil.dll:*Heap*|Snapveil.dll:*Free|Snapveil.dll:*LoadLibrary*|Snapveil.dll:*RegSet*|Snapveil.dll:*RegDelete*)
            problem "Snapveil.dll imports $dll $function" ;;
        esac
    done < <(imports "$bin/$binary")
    echo "$binary imports: $(imports "$bin/$binary" | awk '{print $2}' | tr '\n' ' ')"
done

dll="$bin/Snapveil.dll"
exports=$("$objdump" -p "$dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' \
          | sed -n 's/^\s*\[\s*[0-9]*\]\s*//p' | sort | tr '\n' ' ')
expected="CBTProc InstallCBTHook InstallKeyDownHook InstallMouseHook KeyDownProc MouseProc UninstallCBTHook UninstallKeyDownHook UninstallMouseHook "
[ "$exports" = "$expected" ] || problem "Snapveil.dll exports $exports, expected $expected"
! "$objdump" -h "$dll" | grep -q 'SHARED' || problem "Snapveil.dll has a section shared across sessions"

[ $fail -eq 0 ] && echo "binaries' surface as required"
exit $fail
