#!/bin/sh
# Takes the README's screenshots: the editor as it starts, a drag with its
# readout, a small picture drawn with every tool by xdotool, that picture
# with the program preview beside it, and a shape picked with Select, under an
# Xvfb at 96 dpi.
# Usage: scripts/screenshots.sh [path/to/pasdraw]   (needs xwd, xdotool, Xvfb and ImageMagick)
set -eu
cd "$(dirname "$0")/.."
exe=${1:-build/default/pasdraw}
mkdir -p docs

display=:$(( 90 + $$ % 100 ))
while [ -e "/tmp/.X11-unix/X${display#:}" ]; do display=":$(( ${display#:} + 1 ))"; done
Xvfb "$display" -screen 0 1400x700x24 -dpi 96 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY="$display"
app=""
# State folders of our own, one per window: no recovery offer from another
# session shows, and the copies the stopped windows leave go with them.
state=$(mktemp -d)
cleanup() { [ -n "$app" ] && kill "$app" 2>/dev/null; kill "$xvfb" 2>/dev/null; rm -rf "$state"; }
trap cleanup EXIT
sleep 1

start() {
    XDG_STATE_HOME=$(mktemp -d "$state/window.XXXXXX") "$exe" >/dev/null 2>&1 &
    app=$!
    xdotool search --sync --name '^pasdraw$' >/dev/null
    sleep 0.5
}
stop() { kill "$app"; wait "$app" 2>/dev/null || true; app=""; }
shot() { sleep 0.3; xwd -root -silent | convert xwd:- -crop 643x531+0+0 +repage "$1"; }
click() { xdotool mousemove "$1" "$2" click 1; }
drag() { xdotool mousemove "$1" "$2" mousedown 1 mousemove "$3" "$4" mousemove "$5" "$6" mouseup 1; }

start
shot docs/window.png
stop

# A rectangle being dragged: the readout shows the statement it will store.
start
click 484 40; sleep 0.3; click 484 40; click 592 88
xdotool mousemove 40 40 mousedown 1 mousemove 120 100 mousemove 200 150
shot docs/drag.png
xdotool mouseup 1
stop

# Tool buttons and palette buttons, at their pixel centres (15 twips per pixel).
line="484 16" rect="484 40" ellipse="484 64" circle="484 88" fill="484 114"
red="592 88" yellow="592 328" lightblue="592 208" lightgreen="592 232" magenta="592 112" white="592 352"
start
click $rect; click $red; drag 40 40 120 100 200 150
click $fill; click $yellow; click 100 100
click $circle; click $lightblue; drag 320 110 350 140 370 150
click $fill; click $magenta; click 320 110
click $ellipse; click $white; drag 230 190 300 230 400 290
click $line; click $lightgreen; drag 30 300 120 250 250 200
click 592 400   # Value
shot docs/picture.png
# The program preview opens beside the window (Ctrl+F9).
xdotool key ctrl+F9
sleep 1
xwd -root -silent | convert xwd:- -crop 1300x530+0+0 +repage docs/preview.png
stop

# A house whose fills leak until Select and Shift+click give them their
# borders, then a picked ellipse with its handles and its marked line.
grey="592 160" brown="592 136"
sclick() { xdotool mousemove "$1" "$2" keydown shift click 1 keyup shift; }
start
click $rect; click $red; drag 80 140 170 210 260 280
click $line; drag 80 140 120 100 170 70; drag 170 70 220 100 260 140
click $rect; click $grey; drag 150 210 170 240 190 270
click $circle; click $yellow; drag 350 70 370 70 385 70
click $ellipse; click $lightgreen; drag 280 250 350 270 410 300
click $fill; click $yellow; click 350 70
click $brown; click 120 200
xdotool key s; sleep 0.2
click 350 70; sclick $yellow
click 120 200; sclick $red
click 592 424   # Generate
click 280 275
shot docs/select.png
# The same program in the preview, stepped back to statement 13 of 16: the
# text box marks the line that statement stands on.
click $ellipse; click 592 424
xdotool key ctrl+F9; sleep 1.5
click 1146 495; sleep 0.3
for i in 1 2 3; do click 799 495; sleep 0.3; done
sleep 0.5
xwd -root -silent | convert xwd:- -crop 1295x560+0+0 +repage docs/step.png
stop

# Pictures of the later kinds: a labelled bar chart in four fill patterns and
# a smiley of circles, arcs, fills and a label, each opened as a saved program.
program() {
    printf 'uses graph,crt;\r\nvar XK,YK,i,m,d,err:integer;\r\nbegin\r\n'
    printf "m:=detect; initgraph(m,d,''); err:=graphresult;\r\n"
    printf 'if (graphresult <> grOk) then halt;\r\n '
    sed 's/$/\r/' "$1"
    printf 'repeat until keypressed; end.\r\n'
}
cat >"$state/barchart.txt" <<'TEXT'
setfillstyle(1,4);bar(80,300,140,400);
setfillstyle(9,2);bar(170,200,230,400);
setfillstyle(7,14);bar(260,250,320,400);
setfillstyle(11,11);bar(350,120,410,400);
setcolor(15);line(60,400,440,400);
setcolor(15);line(60,100,60,400);
setcolor(15);settextstyle(0,0,2);outtextxy(150,60,'Votes');
setcolor(15);settextstyle(0,0,1);outtextxy(98,410,'Mon');
setcolor(15);settextstyle(0,0,1);outtextxy(188,410,'Tue');
setcolor(15);settextstyle(0,0,1);outtextxy(278,410,'Wed');
setcolor(15);settextstyle(0,0,1);outtextxy(368,410,'Thu');
setcolor(15);settextstyle(0,1,1);outtextxy(40,290,'count');
TEXT
cat >"$state/smiley.txt" <<'TEXT'
setlinestyle(0,0,3);setcolor(14);circle(320,240,120);setlinestyle(0,0,1);
setcolor(15);circle(275,200,18);
setcolor(15);circle(365,200,18);
setcolor(14);arc(275,190,40,140,34);
setcolor(14);arc(365,190,40,140,34);
setlinestyle(0,0,3);setcolor(12);arc(320,240,200,340,70);setlinestyle(0,0,1);
setfillstyle(1,9);floodfill(275,200,15);
setfillstyle(1,9);floodfill(365,200,15);
setcolor(13);settextstyle(0,0,2);outtextxy(272,390,'Hello!');
TEXT
for picture in barchart smiley; do
    program "$state/$picture.txt" >"$state/$picture.pas"
    XDG_STATE_HOME=$(mktemp -d "$state/window.XXXXXX") "$exe" "$state/$picture.pas" >/dev/null 2>&1 &
    app=$!
    xdotool search --sync --name "^$picture.pas - pasdraw\$" >/dev/null
    sleep 0.8
    shot "docs/$picture.png"
    stop
done
