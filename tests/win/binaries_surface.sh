#!/bin/bash
# What the three binaries ask of the system and the processor: only imports a
# clean Windows 95 and NT 4.0 both have (the list beside this script), and no
# instruction a 386 lacks. Snapveil.dll, in every process, imports nothing that
# allocates, loads or writes the registry, exports its .def's hooks by plain name
# and shares no section across sessions. Hushpane.exe is terminal-server aware
# with no manifest, so Vista goes on virtualising its registry writes.   BIN_DIR [OBJDUMP]
set -u
bin=${1:?folder of the built binaries}
objdump=${2:-i686-w64-mingw32-objdump}
source "$(dirname "${BASH_SOURCE[0]}")/../wine/checks.sh"
shopt -s extglob
# What the 386 lacks, as objdump spells it: the 486's bswap to invlpg, cpuid (not on
# early 486s either), the Pentium's rdtsc to cmpxchg8b, the Pentium Pro's cmov to
# long nop, MMX and SSE (also any %mm or %xmm register).
not_on_386='bswap|cmpxchg[0-9a-z]*|xadd|invd|wbinvd|invlpg|cpuid|rdtscp?|rdpmc|rdmsr|wrmsr|cmov[a-z]+|fcmov[a-z]+|fu?comip?|sys(enter|exit|call|ret)|nop[lw]|emms|fxsave|fxrstor|[ls]dmxcsr|[slm]fence|prefetch[a-z0-9]*|clflush|movnti|fisttp[a-z]*|popcnt|lzcnt|tzcnt|movbe|crc32'
# binary|imports it may have off the list|imports it must not have (DLL:function patterns)
binaries=(
    'Hushpane.exe|SNAPVEIL:*|'
    'Snapveil.dll||GDI32:*|SHELL32:*|COMCTL32:*|*Alloc*|*Heap*|*Free|*LoadLibrary*|*RegSet*|*RegDelete*'
    'Foldwright.dll||'
)
imports() {   # "DLL function" per import
    "$objdump" -p "$1" | awk '/DLL Name:/ { dll = toupper($3); sub(/\.DLL$/, "", dll); next }
        dll && /^[ \t]+[0-9a-f]+[ \t]+[0-9]+[ \t]+[A-Za-z_]/ { print dll, $3 }'; }
for row in "${binaries[@]}"; do
    IFS='|' read -r binary off_list forbidden <<<"$row"
    failed_before=$failed
    while read -r dll function; do
        [[ $dll:$function == @($off_list) ]] && continue
        grep -v '^#' "$(dirname "$0")/win95_nt4_imports.txt" | grep -qE "^$dll( .*)? $function( |\$)" ||
            fail "$binary imports $dll $function, not on the Windows 95 and NT 4.0 list"
        [[ $dll:$function != @($forbidden) ]] || fail "$binary imports $dll $function"
    done < <(imports "$bin/$binary")
    echo "$binary imports: $(imports "$bin/$binary" | awk '{print $2}' | tr '\n' ' ')"
    # Fields: address, bytes, instruction (prefixes such as lock or rep first).
    while read -r line; do fail "$binary holds an instruction the 386 lacks: $line"; done < <(
        "$objdump" -d "$bin/$binary" | awk -F'\t' -v bad="^(($not_on_386)|.*%[xyz]?mm[0-9])( |\$)" \
            'NF > 2 { i = $3; while (sub(/^(lock|rep[a-z]*|[c-gs]s|data16|addr16) /, "", i)); if (i ~ bad) print }')
    [ "$failed" != "$failed_before" ] || pass "$binary: its imports allowed, every instruction a 386's"
done

tsaware() { "$objdump" -p "$bin/Hushpane.exe" | grep -q TERMINAL_SERVICE_AWARE; }
check "Hushpane.exe is terminal-server aware" tsaware
resources=$("${objdump%objdump}windres" -i "$bin/Hushpane.exe" -O rc)   # its resources as a script
check "Hushpane.exe has no manifest and declares no execution level" \
    fails grep -aqE 'RT_MANIFEST|requestedExecutionLevel' - "$bin/Hushpane.exe" <<< "$resources"
dll="$bin/Snapveil.dll"
exports=$("$objdump" -p "$dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' \
          | sed -n 's/^\s*\[\s*[0-9]*\]\s*//p' | sort | tr '\n' ' ')
expected=$(sed -nE 's/^[[:space:]]+([A-Za-z_][A-Za-z0-9_]*)(@[0-9]+)?[[:space:]]*$/\1/p' \
           "$hushpane_source/filter/snapveil.def" | sort | tr '\n' ' ')
expect_same "Snapveil.dll exports what its .def names, undecorated" "$expected" "$exports"
shared() { "$objdump" -h "$dll" | grep -q 'SHARED'; }
check "Snapveil.dll shares no section across sessions" fails shared
checks_done
