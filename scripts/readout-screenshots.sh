#!/bin/sh
# Takes the README's readout screenshots at 96 and 144 dpi: the offer to
# restore the work a killed window left, and the note after saving a stale
# text to a long path, each whole in the readout (the window's right part).
# Usage: scripts/readout-screenshots.sh [path/to/pasdraw]   (needs xwd, xdotool, Xvfb and ImageMagick)
set -eu
cd "$(dirname "$0")/.."
exe=$(realpath "${1:-build/default/pasdraw}")
mkdir -p docs
work=$(mktemp -d)
long="$work/a folder with a long name for the drawings of the class/and one more level/lessons"
mkdir -p "$long"
app=""
xvfb=""
cleanup() { [ -n "$app" ] && kill "$app" 2>/dev/null; [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT

for dpi in 96 144; do
    display=:$(( 120 + $$ % 100 ))
    while [ -e "/tmp/.X11-unix/X${display#:}" ]; do display=":$(( ${display#:} + 1 ))"; done
    Xvfb "$display" -screen 0 1400x900x24 -dpi "$dpi" -nolisten tcp >/dev/null 2>&1 &
    xvfb=$!
    export DISPLAY="$display"
    sleep 1
    # Qt takes the dpi from its own setting rather than the X screen.
    export QT_ENABLE_HIGHDPI_SCALING=0 QT_FONT_DPI="$dpi"
    state="$work/state-$dpi"
    mkdir -p "$state"
    px() { echo $(( $1 * dpi / 1440 )); }  # twips to pixels
    shot() { sleep 0.5; xwd -root -silent | convert xwd:- -crop "$(px 3245)x$(px 7965)+$(px 6400)+0" +repage "$1"; }
    start() {
        XDG_STATE_HOME="$state" "$exe" "$@" >/dev/null 2>&1 &
        app=$!
        xdotool search --sync --name 'pasdraw$' >/dev/null
        sleep 0.7
    }
    drag() { xdotool mousemove "$(px $1)" "$(px $2)" mousedown 1 mousemove "$(px $3)" "$(px $4)" mouseup 1; }

    # Drawn, killed before any save, started again: the readout offers the work.
    start
    xdotool key r; drag 600 600 3000 2250
    xdotool key e; drag 3300 600 5700 2400
    sleep 2  # the copy is written a second after the change
    kill -9 "$app"; wait "$app" 2>/dev/null || true
    start
    sleep 1
    shot "docs/readout-restore-$dpi.png"
    kill "$app"; wait "$app" 2>/dev/null || true
    rm -rf "$state"/pasdraw

    # A file from a long path, drawn on and saved without Generate.
    printf 'setcolor(4);rectangle(60,60,300,225);\r\n' >"$long/house drawing.pas"
    start "$long/house drawing.pas"
    xdotool key c; drag 4000 1500 4600 1500
    xdotool key l; drag 600 3600 5400 4200
    xdotool key ctrl+s
    shot "docs/readout-saved-$dpi.png"
    kill "$app"; wait "$app" 2>/dev/null || true
    app=""
    kill "$xvfb"; wait "$xvfb" 2>/dev/null || true
    xvfb=""
done
