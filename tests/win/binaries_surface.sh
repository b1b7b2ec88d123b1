#!/bin/bash
# What the three binaries ask of the system when they load, read from their
# tables: every import must exist on a clean Windows 95 and on NT 4.0 (the
# list beside this script), anything newer is resolved at run time. Snapveil.dll,
# mapped into every process, also takes nothing that allocates or writes the
# registry, exports exactly the nine hook functions by plain name, and has no
# section shared between all processes of the machine: its state is per session.
#   binaries_surface.sh BIN_DIR OBJDUMP
set -eu
bin=${1:?folder of the built binaries}
objdump=${2:-i686-w64-mingw32-objdump}
list="$(dirname "$0")/win95_nt4_imports.txt"
fail=0
problem() { echo "FAIL: $*"; fail=1; }

# "DLL function" per import, DLL names upper-cased.
imports() {
    "$objdump" -p "$1" | awk '
        /DLL Name:/ { dll = toupper($3); next }
        dll && /^[ \t]+[0-9a-f]+[ \t]+[0-9]+[ \t]+[A-Za-z_]/ { print dll, $3 }'
}
known() {   # known DLL FUNCTION
    grep -v '^#' "$list" | awk -v d="${1%.DLL}" -v f="$2" \
        'toupper($1) == d { for (i = 2; i <= NF; i++) if ($i == f) found = 1 } END { exit !found }'
}

for binary in Hushpane.exe Snapveil.dll Foldwright.dll; do
    while read -r dll function; do
        case "$dll" in
        KERNEL32.DLL|USER32.DLL|GDI32.DLL|ADVAPI32.DLL|SHELL32.DLL|COMCTL32.DLL) ;;
        SNAPVEIL.DLL) [ "$binary" = Hushpane.exe ] || problem "$binary imports from $dll"; continue ;;
        *) problem "$binary imports from $dll ($function)"; continue ;;
        esac
        known "$dll" "$function" || problem "$binary imports $dll $function, not on the Windows 95 and NT 4.0 list"
    done < <(imports "$bin/$binary")
    echo "$binary imports: $(imports "$bin/$binary" | awk '{print $2}' | tr '\n' ' ')"
done

dll="$bin/Snapveil.dll"
while read -r from function; do
    case "$from:$function" in
    USER32.DLL:*|KERNEL32.DLL:*|ADVAPI32.DLL:*) ;;
    *) problem "Snapveil.dll imports from $from" ;;
    esac
    case "$function" in
    *Alloc*|*Heap*|*ReAlloc*|*Free|CreateThread|RegSet*|RegDelete*|LoadLibrary*)
        problem "Snapveil.dll imports $function" ;;
    esac
done < <(imports "$dll")

exports=$("$objdump" -p "$dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' \
          | sed -n 's/^\s*\[\s*[0-9]*\]\s*//p' | sort | tr '\n' ' ')
expected="CBTProc InstallCBTHook InstallKeyDownHook InstallMouseHook KeyDownProc MouseProc UninstallCBTHook UninstallKeyDownHook UninstallMouseHook "
[ "$exports" = "$expected" ] || problem "Snapveil.dll exports $exports, expected $expected"

# A section flagged shared is one copy for every session of the machine.
if "$objdump" -h "$dll" | grep -q 'SHARED'; then
    problem "Snapveil.dll has a section shared across sessions"
fi

[ $fail -eq 0 ] && echo "binaries' surface as required"
exit $fail
