#!/usr/bin/env bash
# Checks a built package: its contents, lintian with no errors, the desktop entry, and an
# install into a scratch root from which the packaged program plays a macro under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
deb=$1
scratch=$(mktemp -d)
xvfb_pid=""
cleanup() {
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT

contents=$(dpkg-deb --contents "$deb")
for path in ./usr/bin/tapewright ./usr/bin/tapewright-macro ./usr/share/tapewright/TAPEWRT.HLP \
    ./usr/share/applications/tapewright.desktop ./usr/share/man/man1/tapewright.1.gz \
    ./usr/share/icons/hicolor/48x48/apps/tapewright.png ./usr/share/doc/tapewright/copyright \
    ./usr/share/doc/tapewright/README.Debian \
    ./lib/udev/rules.d/60-tapewright-uinput.rules ./usr/lib/modules-load.d/tapewright.conf \
    ./usr/share/gnome-shell/extensions/tapewright-pointer@tapewright/extension.js \
    ./usr/share/gnome-shell/extensions/tapewright-pointer-43@tapewright/extension.js; do
    grep -q " $path\$" <<<"$contents" || { echo "package lacks $path"; exit 1; }
done
dpkg-deb --field "$deb" Depends | grep -q 'libfltk' || { echo "no shared-library dependencies"; exit 1; }
lintian --fail-on error --allow-root --tag-display-limit 0 "$deb"

dpkg -x "$deb" "$scratch/root"
desktop=$scratch/root/usr/share/applications/tapewright.desktop
desktop-file-validate "$desktop"
# The shell takes an extension only from the folder its metadata names.
for metadata in "$scratch"/root/usr/share/gnome-shell/extensions/*/metadata.json; do
    uuid=$(basename "$(dirname "$metadata")")
    grep -q "\"uuid\": \"$uuid\"" "$metadata" || { echo "$metadata: not $uuid"; exit 1; }
done
# The steps after installing name each extension the package installs, and no other.
extensions=$scratch/root/usr/share/gnome-shell/extensions
named=$(grep -o 'tapewright-pointer[^ ]*@tapewright' "$scratch/root/usr/share/doc/tapewright/README.Debian" | sort -u)
installed=$(ls "$extensions" | sort)
[ "$named" = "$installed" ] || { echo "README.Debian names $(echo $named), the package has $(echo $installed)"; exit 1; }
# KWin's fake input is offered only to the program the entry names by its installed path.
grep -qx 'Exec=/usr/bin/tapewright %f' "$desktop" || { echo "desktop entry: $(grep Exec "$desktop")"; exit 1; }

# Two moves due at once: the pointer ends where the second one puts it.
printf '\x00\x02\x00\x00\x0b\x00\x00\x00\x0c\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00' >"$scratch/x.mcr"
printf '\x00\x02\x00\x00\x79\x00\x00\x00\x59\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00' >>"$scratch/x.mcr"
display=:$((200 + RANDOM % 300))
Xvfb "$display" -nolisten tcp -noreset -screen 0 800x600x24 >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do DISPLAY=$display xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
HOME=$scratch DISPLAY=$display TAPEWRIGHT_JOURNAL=x11 timeout 30 "$scratch/root/usr/bin/tapewright" "$scratch/x.mcr" /S /E /D
where=$(DISPLAY=$display xdotool getmouselocation)
[[ $where == "x:121 y:89 "* ]] || { echo "the packaged program did not play the macro: $where"; exit 1; }
"$scratch/root/usr/bin/tapewright-macro" check "$scratch/x.mcr"
echo "package checked: $deb"
