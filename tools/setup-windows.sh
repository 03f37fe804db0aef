#!/usr/bin/env bash
# Installs what the Windows builds and their tests under Wine need: the MinGW-w64 compilers
# (posix thread model), Python for the resource step, Wine's own fonts and a Japanese font,
# 64-bit Wine, and 32-bit Wine with, where the kernel runs no 32-bit code itself, qemu-i386
# registered for 32-bit x86 programs. Does only what is missing.
set -euo pipefail
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"

if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
    $sudo apt-get update -qq
fi

packages=(g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine wine64 wine32:i386
    wine32-preloader:i386 libwine:i386 qemu-user googletest xvfb xauth python3 fonts-wine
    fonts-noto-cjk)
missing=()
for package in "${packages[@]}"; do
    dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"
fi

# The MinGW compilers come in two thread models; the posix one is the one the builds use.
for arch in i686 x86_64; do
    for tool in gcc g++; do
        posix=/usr/bin/$arch-w64-mingw32-$tool-posix
        [ -x "$posix" ] || { echo "missing $posix" >&2; exit 1; }
    done
done

# 32-bit Wine: nothing to do where a 32-bit program already runs; where the kernel runs
# none, qemu-i386 is registered for 32-bit x86 programs with binfmt_misc.
runs32() { /usr/lib/wine/wine --version >/dev/null 2>&1; }
runs32 && exit 0
misc=/proc/sys/fs/binfmt_misc
[ -e "$misc/register" ] || $sudo mount -t binfmt_misc binfmt_misc "$misc"
if [ ! -e "$misc/qemu-i386" ]; then
    # 32-bit little-endian x86 ELF executables and shared objects; F opens the interpreter
    # now, so that it also serves other mount namespaces.
    magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
    mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
    printf ':qemu-i386:M::%s:%s:/usr/bin/qemu-i386:F\n' "$magic" "$mask" |
        $sudo tee "$misc/register" >/dev/null
fi
runs32 || { echo "32-bit Wine does not start, even through qemu-i386" >&2; exit 1; }
