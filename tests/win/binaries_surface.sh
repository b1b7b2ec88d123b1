#!/bin/bash
# What the three binaries ask of the system and the processor: only imports a
# clean Windows 95 and NT 4.0 both have (the list beside this script), and no
# instruction a 386 lacks. Snapveil.dll, in every process, imports nothing that
# allocates, loads or writes the registry, exports the nine hooks by plain name and
# shares no section across sessions. Hushpane.exe is terminal-server aware with no
# manifest, so Vista goes on virtualising its registry writes.   BIN_DIR [OBJDUMP]
set -eu
bin=${1:?folder of the built binaries}
objdump=${2:-i686-w64-mingw32-objdump}
# What the 386 lacks, as objdump spells it: the 486's bswap to invlpg, cpuid (not on
# early 486s either), the Pentium's rdtsc to cmpxchg8b, the Pentium Pro's cmov to
# long nop, MMX and SSE (also any %mm or %xmm register).
not_on_386='bswap|cmpxchg[0-9a-z]*|xadd|invd|wbinvd|invlpg|cpuid|rdtscp?|rdpmc|rdmsr|wrmsr|cmov[a-z]+|fcmov[a-z]+|fu?comip?|sys(enter|exit|call|ret)|nop[lw]|emms|fxsave|fxrstor|[ls]dmxcsr|[slm]fence|prefetch[a-z0-9]*|clflush|movnti|fisttp[a-z]*|popcnt|lzcnt|tzcnt|movbe|crc32'
fail=0
problem() { echo "FAIL: $*"; fail=1; }
imports() {   # "DLL function" per import
    "$objdump" -p "$1" | awk '/DLL Name:/ { dll = toupper($3); sub(/\.DLL$/, "", dll); next }
        dll && /^[ \t]+[0-9a-f]+[ \t]+[0-9]+[ \t]+[A-Za-z_]/ { print dll, $3 }'; }
for binary in Hushpane.exe Snapveil.dll Foldwright.dll; do
    while read -r dll function; do
        [ "$binary:$dll" = Hushpane.exe:SNAPVEIL ] && continue
        grep -v '^#' "$(dirname "$0")/win95_nt4_imports.txt" | grep -qE "^$dll( .*)? $function( |\$)" ||
            problem "$binary imports $dll $function, not on the Windows 95 and NT 4.0 list"
        case "$binary:$dll:$function" in
        Snapveil.dll:GDI32:*|Snapveil.dll:SHELL32:*|Snapveil.dll:COMCTL32:*|Snapveil.dll:*Alloc* | \
        Snapveil.dll:*Heap*|Snapveil.dll:*Free|Snapveil.dll:*LoadLibrary*|Snapveil.dll:*RegSet*|Snapveil.dll:*RegDelete*)
            problem "Snapveil.dll imports $dll $function" ;;
        esac
    done < <(imports "$bin/$binary")
    echo "$binary imports: $(imports "$bin/$binary" | awk '{print $2}' | tr '\n' ' ')"
    # Fields: address, bytes, instruction (prefixes such as lock or rep first).
    while read -r line; do problem "$binary holds an instruction the 386 lacks: $line"; done < <(
        "$objdump" -d "$bin/$binary" | awk -F'\t' -v bad="^(($not_on_386)|.*%[xyz]?mm[0-9])( |\$)" \
            'NF > 2 { i = $3; while (sub(/^(lock|rep[a-z]*|[c-gs]s|data16|addr16) /, "", i)); if (i ~ bad) print }')
done

"$objdump" -p "$bin/Hushpane.exe" | grep -q TERMINAL_SERVICE_AWARE || problem "Hushpane.exe is not terminal-server aware"
resources=$("${objdump%objdump}windres" -i "$bin/Hushpane.exe" -O rc)   # its resources as a script
! grep -aqE 'RT_MANIFEST|requestedExecutionLevel' - "$bin/Hushpane.exe" <<< "$resources" ||
    problem "Hushpane.exe has a manifest or declares an execution level"
dll="$bin/Snapveil.dll"
exports=$("$objdump" -p "$dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' \
          | sed -n 's/^\s*\[\s*[0-9]*\]\s*//p' | sort | tr '\n' ' ')
expected="CBTProc InstallCBTHook InstallKeyDownHook InstallMouseHook KeyDownProc MouseProc UninstallCBTHook UninstallKeyDownHook UninstallMouseHook "
[ "$exports" = "$expected" ] || problem "Snapveil.dll exports $exports, expected $expected"
! "$objdump" -h "$dll" | grep -q 'SHARED' || problem "Snapveil.dll has a section shared across sessions"
[ $fail -eq 0 ] && echo "binaries' surface as required"
exit $fail
