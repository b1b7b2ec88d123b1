#!/bin/bash
# Installs what building and testing Hushpane needs on Debian 12, quietly, and
# only what is missing. Then makes sure 32-bit Windows programs run: where the
# kernel cannot run i386 code, every 32-bit Linux process (Wine's 32-bit
# loader among them) is handed to qemu-i386 through binfmt_misc. That entry is
# lost at a reboot, so it is checked on every run. Run as root.
set -eu
cd "$(dirname "$0")"

packages=(
    cmake make gcc g++ libc6-dev libgtest-dev python3
    g++-mingw-w64-i686 binutils-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
    wine wine64 wine32:i386
    xvfb xauth x11-utils xdotool imagemagick
    nsis zip unzip
)
helpers=/usr/local/lib/wine-qemu
binfmt=/proc/sys/fs/binfmt_misc
entry=qemu-i386-wine
# The i386 ELF header: class 32-bit, little-endian, executable or shared object, machine 386.
elf_magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
elf_mask='\xff\xff\xff\xff\xff\xff\xff\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'

is_installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
need_root() { [ "$(id -u)" -eq 0 ] || { echo "$1; run as root" >&2; exit 1; }; }

# A mirror caught mid-sync can fail one index (seen: bookworm-security's i386
# list). The rest is still usable, so a failed index is reported, not fatal.
apt_update() {
    apt-get update -qq || echo "apt-get update reported errors; going on with the indexes it has" >&2
}

# Multi-Arch libraries must be at one version in both architectures. Without
# the i386 security index, the security suite would lift the amd64 side past
# anything i386 can match, so the retry ranks that suite below the release for
# this one command (a preferences file of its own, removed afterwards).
apt_install() {
    apt-get install -y -qq --no-install-recommends "$@" >/dev/null && return 0
    echo "retrying without the security suite's newer versions, so both architectures match" >&2
    local pin
    pin=$(mktemp)
    printf 'Package: *\nPin: release l=Debian-Security\nPin-Priority: 100\n' >"$pin"
    local status=0
    apt-get -o Dir::Etc::Preferences="$pin" install -y -qq --no-install-recommends "$@" >/dev/null || status=$?
    rm -f "$pin"
    return $status
}

missing=()
for p in "${packages[@]}"; do is_installed "$p" || missing+=("$p"); done
if [ ${#missing[@]} -gt 0 ]; then
    need_root "missing packages: ${missing[*]}"
    echo "installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
    apt_update
    apt_install "${missing[@]}"
fi

# --- 32-bit programs: is i386 code runnable, natively or through our entry? ---
# The probe is kept only where the route is installed; elsewhere it is built
# for this run alone, so a machine that runs i386 code is left as it was.
probe=$helpers/probe32
if [ ! -x "$probe" ]; then
    scratch_probe=$(mktemp)
    trap 'rm -f "$scratch_probe"' EXIT
    probe=$scratch_probe
    gcc -m32 -static -nostdlib -fno-pie -no-pie -O2 -o "$probe" cmake/run32/probe32.c
fi
"$probe" 2>/dev/null && exit 0

need_root "this kernel cannot run i386 code and the qemu-i386 route is not registered"
export DEBIAN_FRONTEND=noninteractive
# qemu-user 10 from backports: bookworm's 7.2 emulates mmap so slowly that a
# 32-bit Wine process takes about a minute to start.
if ! /usr/bin/qemu-i386 --version 2>/dev/null | grep -qE 'version ([1-9][0-9])\.'; then
    if ! grep -rqs bookworm-backports /etc/apt/sources.list /etc/apt/sources.list.d/; then
        uri=$(awk '/^URIs:/ {print $2; exit}' /etc/apt/sources.list.d/debian.sources 2>/dev/null || true)
        [ -n "$uri" ] || uri=$(awk '/^deb / {print $2; exit}' /etc/apt/sources.list 2>/dev/null || true)
        printf 'Types: deb\nURIs: %s\nSuites: bookworm-backports\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
            "${uri:-http://deb.debian.org/debian}" >/etc/apt/sources.list.d/bookworm-backports.sources
    fi
    apt_update
    # qemu-user 10 breaks an older qemu-user-static: upgrade that one with it.
    qemu=(qemu-user)
    is_installed qemu-user-static && qemu+=(qemu-user-static)
    apt-get install -y -qq --no-install-recommends -t bookworm-backports "${qemu[@]}" >/dev/null
fi

mkdir -p "$helpers" /usr/local/lib/i386-linux-gnu /usr/local/lib/x86_64-linux-gnu
[ "$probe" = "$helpers/probe32" ] || { cp "$probe" "$helpers/probe32" && probe=$helpers/probe32; }
gcc -m32 -shared -fPIC -O2 -fno-stack-protector -nostdlib \
    -o /usr/local/lib/i386-linux-gnu/libwinetrapfix.so cmake/run32/trapno_fix.c
# 64-bit Wine processes inherit LD_PRELOAD: an empty twin answers for them.
echo 'void winetrapfix_unused(void) {}' | gcc -x c -shared -fPIC -O2 -o /usr/local/lib/x86_64-linux-gnu/libwinetrapfix.so -
gcc -static -O2 -o "$helpers/qemu-i386-wine" cmake/run32/qemu_i386_wine.c

[ -e $binfmt/register ] || mount -t binfmt_misc binfmt_misc $binfmt
[ -e $binfmt/$entry ] && echo -1 >$binfmt/$entry
# F: the interpreter is opened now, so it serves every mount namespace.
printf '%s' ":$entry:M::$elf_magic:$elf_mask:$helpers/qemu-i386-wine:F" >$binfmt/register
"$probe" || { echo "i386 programs still do not run after registering $entry" >&2; exit 1; }
echo "32-bit programs run through qemu-i386 ($binfmt/$entry)"
