#!/usr/bin/env bash
# Runs a Windows program under Wine in a prefix of the build folder's own:
#   wine-run.sh PREFIX BITS PROGRAM [ARGUMENTS...]     (BITS: 32 or 64)
#   wine-run.sh PREFIX BITS --stop                     ends the prefix's server
#   wine-run.sh PREFIX BITS --display PROGRAM [...]    runs it on a private Xvfb screen
# The prefix is made on first use. Wine's own processes outlive the program and inherit its
# descriptors, so the program writes to a file that is shown once it has ended: nothing that
# reads this script's output waits on Wine's services.
set -uo pipefail
export WINEPREFIX=$1
bits=$2
shift 2
export WINEDEBUG=-all
# No Mono or Gecko installer dialogs when the prefix is made.
export WINEDLLOVERRIDES="mscoree,mshtml="
# The 64-bit loader runs natively; the 32-bit one may run through an emulator, so it is
# used only for the 32-bit programs themselves.
loader64=/usr/lib/wine/wine64
loader=/usr/lib/wine/wine
[ "$bits" = 64 ] && loader=$loader64
export WINELOADER=$loader
if [ "${1-}" = --stop ]; then
    wineserver -k >/dev/null 2>&1 </dev/null
    exit 0
fi
if [ "${1-}" = --display ]; then
    shift
    # Wine's desktop process serves one display for the life of the server, so the server
    # is ended before (it may serve none) and after (its display is gone).
    "$0" "$WINEPREFIX" "$bits" --stop
    xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" "$0" "$WINEPREFIX" "$bits" "$@"
    code=$?
    "$0" "$WINEPREFIX" "$bits" --stop
    exit $code
fi
mkdir -p "$WINEPREFIX"
caption_font=F4FFFFFF000000000000000000000000BC02000000000001000000004D0053002000550049002000
caption_font+=47006F00740068006900630000000000000000000000000000000000000000000000000000000000
caption_font+=000000000000000000000000
(
    flock 9
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        WINELOADER=$loader64 "$loader64" wineboot -i >/dev/null 2>&1 </dev/null
        # The program's face "MS UI Gothic" is not in Wine: an installed Japanese font
        # (fonts-noto-cjk) stands in for it, so that the Japanese texts render. Wine's own
        # Tahoma and Marlett (fonts-wine) go into the prefix, where Wine finds them for the
        # tool buttons' captions and the title bars. Wine draws the title bars and frames
        # itself: no window manager runs beside the tests' Xvfb.
        WINELOADER=$loader64 "$loader64" reg add 'HKCU\Software\Wine\Fonts\Replacements' \
            /v 'MS UI Gothic' /t REG_SZ /d 'Noto Sans CJK JP' /f >/dev/null 2>&1 </dev/null
        cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null
        WINELOADER=$loader64 "$loader64" reg add 'HKCU\Software\Wine\X11 Driver' \
            /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1 </dev/null
        # Title bars in "MS UI Gothic" bold, height -12 (a LOGFONTW), so that Japanese
        # captions render in them too.
        WINELOADER=$loader64 "$loader64" reg add 'HKCU\Control Panel\Desktop\WindowMetrics' \
            /v CaptionFont /t REG_BINARY /d "$caption_font" /f >/dev/null 2>&1 </dev/null
        wineserver -w >/dev/null 2>&1 </dev/null
    fi
) 9>"$WINEPREFIX.lock"
output=$(mktemp)
"$loader" "$@" >"$output" 2>&1 </dev/null
code=$?
cat "$output"
rm -f "$output"
exit $code
