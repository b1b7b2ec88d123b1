#!/bin/bash
# What the binaries ask of the system and the processor: only imports a clean
# Windows 95 and NT 4.0 both have (the list beside this script), and no
# instruction their processor lacks: the 386 for the 32-bit ones, the first
# x86-64 processors for the 64-bit ones. The hook libraries, in every process,
# import from KERNEL32, USER32 and ADVAPI32 only, nothing that allocates, loads,
# sets or deletes in the registry (their read still creates a missing key),
# export their .def's hooks by plain name and share no section across sessions.
# Hushpane.exe is terminal-server aware with no manifest, so Vista goes on
# virtualising its registry writes.
#   BIN_DIR OBJDUMP OBJDUMP64 SUFFIX64 LIBRARY64 HOST64 (the 64-bit names' suffix, and the pair)
objdump=${2:?} objdump64=${3:?} suffix64=${4:?} library64=${5:?} host64=${6:?}
library64_import=${library64^^}   # as imports() names it
source "$(dirname "${BASH_SOURCE[0]}")/../wine/checks.sh"
shopt -s extglob
# What the 386 lacks, as objdump spells it: the 486's bswap to invlpg, cpuid (not on
# early 486s either), the Pentium's rdtsc to cmpxchg8b, the Pentium Pro's cmov to
# long nop, MMX and SSE (also any %mm or %xmm register).
not_on_386='bswap|cmpxchg[0-9a-z]*|xadd|invd|wbinvd|invlpg|cpuid|rdtscp?|rdpmc|rdmsr|wrmsr|cmov[a-z]+|fcmov[a-z]+|fu?comip?|sys(enter|exit|call|ret)|nop[lw]|emms|fxsave|fxrstor|[ls]dmxcsr|[slm]fence|prefetch[a-z0-9]*|clflush|movnti|fisttp[a-z]*|popcnt|lzcnt|tzcnt|movbe|crc32'
# What the first x86-64 processors lack (they have SSE2): cmpxchg16b, lahf and sahf
# in 64-bit mode, rdtscp, the bit counts, movbe, SSE3 to SSE4.2, AES, and AVX
# (any v-instruction on %xmm, any %ymm or %zmm register).
not_on_first_x64='cmpxchg16b|lahf|sahf|rdtscp|popcnt|lzcnt|tzcnt|movbe|crc32|fisttp[a-z]*|monitor|mwait|addsubp[sd]|h(add|sub)p[sd]|lddqu|mov(ddup|s[hl]dup)|pshufb|ph(add|sub)[a-z]*|pmaddubsw|pmulhrsw|palignr|psign[bwd]|pabs[bwd]|blendv?p[sd]|pblend[a-z]*|dpp[sd]|extractps|insertps|pextr[bdq]|pinsr[bdq]|pm(ax|in)(s[bd]|u[wd])|pmov[sz]x[a-z]*|pmul(dq|ld)|ptest|round[ps][sd]|mpsadbw|packusdw|movntdqa|phminposuw|pcmp(eq|gt)q|pcmp[ei]str[im]|extrq|insertq|movnts[sd]|aes[a-z]*|pclmul[a-z]*'
declare -A tool=([32]=$objdump [64]=$objdump64) processor=([32]="a 386's" [64]="the first x86-64's")
declare -A lacks=([32]="^(($not_on_386)|.*%[xyz]?mm[0-9])( |\$)" [64]="^(($not_on_first_x64)( |\$)|v[a-z0-9]+ .*%xmm|.*%[yz]mm)")
hook_only='KERNEL32:*|USER32:*|ADVAPI32:*'
# The 64-bit library serves the host alone, which never loads the switches: no registry at all.
host_hook_only='KERNEL32:*|USER32:*'
hook_forbidden='*Alloc*|*Heap*|*Free|*LoadLibrary*|*RegSet*|*RegDelete*'
# binary|bits|imports it may have off the list|the only DLLs:functions it may import (empty: any)
binaries=(
    "Hushpane.exe|32|SNAPVEIL:*|"
    "Snapveil.dll|32||$hook_only"
    "Foldwright.dll|32||"
    "$library64|64||$host_hook_only"
    "$host64|64|${library64_import%.DLL}:*|"
)
imports() {   # "DLL function" per import
    "$1" -p "$2" | awk '/DLL Name:/ { dll = toupper($3); sub(/\.DLL$/, "", dll); next }
        dll && /^[ \t]+[0-9a-f]+[ \t]+[0-9]+[ \t]+[A-Za-z_]/ { print dll, $3 }'; }
known=$(grep -v '^#' "$hushpane_source/tests/win/win95_nt4_imports.txt")
for row in "${binaries[@]}"; do
    IFS='|' read -r binary bits off_list only <<<"$row"
    dump=${tool[$bits]} failed_before=$failed
    while read -r dll function; do
        [[ $dll:$function == @($off_list) ]] && continue
        grep -qE "^$dll( .*)? $function( |\$)" <<<"$known" ||
            fail "$binary imports $dll $function, not on the Windows 95 and NT 4.0 list"
        [ -z "$only" ] || { [[ $dll:$function == @($only) && $dll:$function != @($hook_forbidden) ]] ||
            fail "$binary imports $dll $function"; }
    done < <(imports "$dump" "$bin/$binary")
    echo "$binary imports: $(imports "$dump" "$bin/$binary" | awk '{print $2}' | tr '\n' ' ')"
    # Fields: address, bytes, instruction (prefixes such as lock or rep first).
    while read -r line; do fail "$binary holds an instruction beyond ${processor[$bits]}: $line"; done < <(
        "$dump" -d "$bin/$binary" | awk -F'\t' -v bad="${lacks[$bits]}" \
            'NF > 2 { i = $3; while (sub(/^(lock|rep[a-z]*|[c-gs]s|data16|addr16|rex[.A-Z]*) /, "", i)); if (i ~ bad) print }')
    [ "$failed" != "$failed_before" ] || pass "$binary: its imports allowed, every instruction ${processor[$bits]}"
done

# One writer per file: every program and library in bin/ is of the bitness
# its name says, x86-64 where the name ends in the 64-bit suffix, i386 elsewhere.
machine() { od -An -tx2 -j$(($(od -An -tu4 -j60 -N4 "$1") + 4)) -N2 "$1" | tr -d ' '; }   # the PE header's
failed_before=$failed
for file in "$bin"/*.@(exe|dll) "$bin"/*/*.@(exe|dll); do
    name=$(basename "$file") want=014c
    [[ ${name%.*} == *"$suffix64" ]] && want=8664
    [ "$(machine "$file")" = $want ] || fail "${file#"$bin"/} is of machine $(machine "$file"), not $want"
done
[ "$failed" != "$failed_before" ] || pass "every binary in bin/ of the bitness its name says"

check "Hushpane.exe is terminal-server aware" grep -q TERMINAL_SERVICE_AWARE <("$objdump" -p "$bin/Hushpane.exe")
resources=$("${objdump%objdump}windres" -i "$bin/Hushpane.exe" -O rc)   # its resources as a script
check "Hushpane.exe has no manifest and declares no execution level" \
    fails grep -aqE 'RT_MANIFEST|requestedExecutionLevel' - "$bin/Hushpane.exe" <<< "$resources"
expected=$(sed -nE 's/^[[:space:]]+([A-Za-z_][A-Za-z0-9_]*)(@[0-9]+)?[[:space:]]*$/\1/p' \
           "$hushpane_source/filter/snapveil.def" | sort | tr '\n' ' ')
for library in Snapveil.dll:32 "$library64:64"; do
    dll="$bin/${library%:*}" dump=${tool[${library#*:}]}
    exports=$("$dump" -p "$dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' \
              | sed -n 's/^\s*\[\s*[0-9]*\]\s*//p' | sort | tr '\n' ' ')
    expect_same "${library%:*} exports what the .def names, undecorated" "$expected" "$exports"
    check "${library%:*} shares no section across sessions" fails grep -q SHARED <("$dump" -h "$dll")
done
checks_done
