#!/usr/bin/env bash
# Measures pasdraw's speed and memory and writes docs/benchmarks.md.
#
# Usage (from anywhere; needs the packages of scripts/install-deps.sh):
#   bash bench/run-benchmarks.sh                       # builds the "bench" preset (build/bench)
#   BUILD_DIR=build/mine bash bench/run-benchmarks.sh  # or a Release folder of your own
#
# It builds the benchmark programs, runs the Google Benchmark programs
# (codegen_bench, repaint_bench, slider_bench) with five repetitions each and
# takes the medians, times the start-up of the real window on an Xvfb of its
# own (startup_probe, against a bare Qt window), measures peak memory with GNU
# time, and writes the table together with a description of the machine. It
# takes a few minutes; the raw output stays in a temporary folder whose path it
# prints.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

die() {
    echo "run-benchmarks: $*" >&2
    exit 1
}
for tool in cmake Xvfb xdotool /usr/bin/time lscpu; do
    command -v "$tool" >/dev/null || die "$tool is missing; run scripts/install-deps.sh"
done

targets=(pasdraw codegen_bench repaint_bench select_bench slider_bench program_bench bgi_bench startup_probe bare_window)
if [[ -n ${BUILD_DIR:-} ]]; then
    build=$(cd "$root" && mkdir -p "$BUILD_DIR" && cd "$BUILD_DIR" && pwd)
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DPASDRAW_BUILD_BENCH=ON
    cmake --build "$build" -j2 --target "${targets[@]}"
else
    build=$root/build/bench
    cmake --preset bench
    cmake --build --preset bench --target "${targets[@]}"
fi
grep -q '^CMAKE_BUILD_TYPE:STRING=Release$' "$build/CMakeCache.txt" || die "$build is not a Release build"

out=$(mktemp -d "${TMPDIR:-/tmp}/pasdraw-bench.XXXXXX")
echo "run-benchmarks: raw output in $out"
load_before=$(cut -d' ' -f1-3 /proc/loadavg)

# ---- Google Benchmark programs ---------------------------------------------------
# gbench PROGRAM [WRAPPER...]: five repetitions, medians kept in PROGRAM.csv.
gbench() {
    local name=$1
    shift
    echo "run-benchmarks: $name"
    "$@" "$build/bench/$name" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
        --benchmark_out="$out/$name.csv" --benchmark_out_format=csv | tee "$out/$name.txt"
}
gbench codegen_bench
gbench repaint_bench
gbench select_bench
gbench slider_bench /usr/bin/time -v -o "$out/slider_bench.time" env QT_QPA_PLATFORM=offscreen
gbench program_bench
gbench bgi_bench

# median PROGRAM BENCHMARK [COLUMN]: the median's real time in nanoseconds, or
# the given CSV column as it stands.
median() {
    local line
    line=$(grep "^\"$2_median\"," "$out/$1.csv") || die "no median for $2 in $1"
    awk -F, -v col="${3:-}" '{
        if ($9 != "") { print "error" > "/dev/stderr"; exit 1 }
        if (col != "") { print $col; exit }
        m = ($5 == "ns") ? 1 : ($5 == "us") ? 1e3 : ($5 == "ms") ? 1e6 : 1e9
        printf "%.0f\n", $3 * m
    }' <<<"$line"
}

# ---- start-up and memory on an X server of our own ---------------------------
xvfb_pid="" app_pid="" time_pid=""
cleanup() {
    local p
    for p in "$app_pid" "$time_pid" "$xvfb_pid"; do
        if [[ -n $p ]]; then kill "$p" 2>/dev/null || true; fi
    done
    for p in "$time_pid" "$xvfb_pid"; do
        if [[ -n $p ]]; then wait "$p" 2>/dev/null || true; fi
    done
}
trap cleanup EXIT

# A black root (-br), so that nothing but the program's own paint can put the
# probe's white pixel on the screen.
display=""
base=$((200 + $$ % 400))
for ((n = base; n < base + 30; n++)); do
    [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
    : >"$out/displayfd"
    Xvfb ":$n" -br -displayfd 3 -screen 0 1024x768x24 -dpi 96 -nolisten tcp \
        3>"$out/displayfd" >"$out/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for ((i = 0; i < 200; i++)); do
        [[ -s $out/displayfd ]] && break
        kill -0 "$xvfb_pid" 2>/dev/null || break
        sleep 0.05
    done
    if [[ -s $out/displayfd ]]; then
        display=":$n"
        break
    fi
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=""
done
[[ -n $display ]] || die "could not start Xvfb (see $out/xvfb.log)"
export DISPLAY=$display QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$out/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_AUTO_SCREEN_SCALE_FACTOR QT_FONT_DPI

# The executable runs from a copy so that nothing lands in the build folder.
mkdir -p "$out/app"
cp "$build/pasdraw" "$out/app/pasdraw"
echo "run-benchmarks: start-up of pasdraw and of a bare Qt window"
"$build/bench/startup_probe" --runs 20 --warmup 2 -- "$out/app/pasdraw" >"$out/startup.txt" 2>"$out/startup.log"
"$build/bench/startup_probe" --runs 20 --warmup 2 -- "$build/bench/bare_window" >"$out/bare.txt" 2>"$out/bare.log"
"$build/bench/startup_probe" --runs 20 --warmup 2 -- "$build/bench/bare_window" --controls >"$out/controls.txt" 2>"$out/controls.log"
probe() { sed -n "s/^$2 median=\([0-9.]*\) min=\([0-9.]*\) max=\([0-9.]*\).*/\\$3/p" "$out/$1.txt"; }

# Peak memory of the editor in use: started, then a few shapes, a fill,
# Generate, Value and both sliders, driven by xdotool.
echo "run-benchmarks: peak memory of pasdraw in use"
(cd "$out/app" && exec /usr/bin/time -v -o "$out/pasdraw.time" ./pasdraw >"$out/pasdraw.log" 2>&1) &
time_pid=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^pasdraw$' | head -n 1) || true
[[ -n $window ]] || die "pasdraw showed no window"
app_pid=$(xdotool getwindowpid "$window")
[[ $(ps -o ppid= -p "$app_pid" | tr -d ' ') == "$time_pid" ]] || die "the window does not belong to the pasdraw we started"
eval "$(xdotool getwindowgeometry --shell "$window")"
click() { xdotool mousemove $((X + $1)) $((Y + $2)) click 1; }
drag() { xdotool mousemove $((X + $1)) $((Y + $2)) mousedown 1 mousemove $((X + $3)) $((Y + $4)) mouseup 1; }
click 484 40 && click 592 88 && drag 40 40 200 150            # red rectangle
click 484 114 && click 592 328 && click 120 95                 # yellow fill inside
click 484 64 && click 592 208 && drag 250 50 400 200           # light blue ellipse
click 484 88 && click 592 232 && drag 300 250 340 280          # light green circle
click 484 16 && click 592 352 && drag 20 300 420 20            # white line
click 592 424 && click 592 400                                 # Generate, Value
xdotool key Tab Right Right Tab Right                          # both sliders
sleep 1
kill -0 "$app_pid" 2>/dev/null || die "pasdraw ended while in use (see $out/pasdraw.log)"
kill "$app_pid"
wait "$time_pid" || true
app_pid="" time_pid=""
rss() { sed -n 's/^[[:space:]]*Maximum resident set size (kbytes): //p' "$out/$1.time"; }
[[ -n $(rss pasdraw) && -n $(rss slider_bench) ]] || die "GNU time reported no peak memory"

load_after=$(cut -d' ' -f1-3 /proc/loadavg)

# ---- the table -------------------------------------------------------------------
us() { awk -v v="$1" 'BEGIN { printf "%.0f µs", v / 1e3 }'; }
ms() { awk -v v="$1" 'BEGIN { printf "%.2f ms", v / 1e6 }'; }
mib() { awk -v v="$1" 'BEGIN { printf "%.1f MiB", v / 1024 }'; }
# verdict VALUE LIMIT: whether the figure is within its target.
verdict() { awk -v v="$1" -v l="$2" 'BEGIN { print (v + 0 < l + 0) ? "met" : "**missed**" }'; }

abs=$(median codegen_bench BM_Absolute)
abs_pp=$(median codegen_bench BM_Absolute_PieceByPiece)
val=$(median codegen_bench BM_ValueForm)
val_pp=$(median codegen_bench BM_ValueForm_PieceByPiece)
sld=$(median codegen_bench BM_SliderForm)
sld_pp=$(median codegen_bench BM_SliderForm_PieceByPiece)
drowob=$(median repaint_bench BM_DrowobFullPicture)
drowob10=$(median repaint_bench BM_DrowobFullPictureAt10TwipsPerPixel)
commit=$(median repaint_bench BM_CommitOneMoreShape)
flood=$(median repaint_bench BM_FloodFillWholeImage)
spread=$(median repaint_bench BM_DrowobSpreadPicture/15)
spanning=$(median repaint_bench BM_DrowobSpanningPicture/15)
step_mid=$(median program_bench BM_StepCut/0)
step_end=$(median program_bench BM_StepCut/1)
click=$(median program_bench BM_ClickLookup)
pick=$(median select_bench BM_PickAt5005Shapes/0)
pick_span=$(median select_bench BM_PickAt5005Shapes/1)
nudge=$(median select_bench BM_NudgeStepAt5005Shapes/0)
nudge_span=$(median select_bench BM_NudgeStepAt5005Shapes/1)
flood_rate=$(median repaint_bench BM_FloodFillWholeImage 7)
s1=$(median slider_bench BM_Slider1Change_Painted)
s1h=$(median slider_bench BM_Slider1Change_Handler)
s2=$(median slider_bench BM_Slider2Change_Painted)
gen=$(median slider_bench BM_GenerateClick_Painted)
genh=$(median slider_bench BM_GenerateClick_Handler)
valc=$(median slider_bench BM_ValueClick_Painted)
valch=$(median slider_bench BM_ValueClick_Handler)
pv_abs=$(median program_bench BM_PreviewAbsolute)
pv_val=$(median program_bench BM_PreviewValueForm)
pv_sld=$(median program_bench BM_PreviewSliderForm)
pv_leak=$(median program_bench BM_PreviewLeakingFills)
pv_slider=$(median slider_bench BM_Slider1Change_WithPreview/real_time)
pv_slider_flood=$(median slider_bench BM_Slider1Change_WithPreview_FloodingFills/real_time)
fpc_build=$(median program_bench BM_FreePascalCompileAndLink/iterations:3/real_time)
pv_same=$(median program_bench BM_PreviewOfTheCompiledPicture)
import=$(median slider_bench BM_PictureFromText)
every_abs=$(median codegen_bench BM_Absolute_EveryKind)
every_val=$(median codegen_bench BM_ValueForm_EveryKind)
every_sld=$(median codegen_bench BM_SliderForm_EveryKind)
every_drowob=$(median repaint_bench BM_DrowobEveryKindPicture/15)
every_s1=$(median slider_bench BM_Slider1Change_Painted/EveryKind)
every_gen=$(median slider_bench BM_GenerateClick_Painted/EveryKind)
every_valc=$(median slider_bench BM_ValueClick_Painted/EveryKind)
drag_ro=$(median slider_bench BM_DragMove_WithReadout)
drag_no=$(median slider_bench BM_DragMove_WithoutReadout)
box_pp200=$(median slider_bench BM_TextBoxPieceByPiece/200)
box_pp500=$(median slider_bench BM_TextBoxPieceByPiece/500)
box_once500=$(median slider_bench BM_TextBoxSetOnce/500)
paint=$(probe startup paint_ms 1) paint_min=$(probe startup paint_ms 2) paint_max=$(probe startup paint_ms 3)
map=$(probe startup map_ms 1) paint_cpu=$(probe startup cpu_ms 1)
bare_paint=$(probe bare paint_ms 1) bare_map=$(probe bare map_ms 1) bare_cpu=$(probe bare cpu_ms 1)
controls_paint=$(probe controls paint_ms 1) controls_map=$(probe controls map_ms 1) controls_cpu=$(probe controls cpu_ms 1)
rss_app=$(rss pasdraw) rss_full=$(rss slider_bench)

cpu=$(lscpu | sed -n 's/^Model name:[[:space:]]*//p' | head -n 1)
memory=$(awk '/^MemTotal:/ { printf "%.1f GiB", $2 / 1048576 }' /proc/meminfo)
os=$(sed -n 's/^PRETTY_NAME="\{0,1\}\([^"]*\)"\{0,1\}$/\1/p' /etc/os-release)
cxx=$(sed -n 's/^CMAKE_CXX_COMPILER:[A-Z]*=//p' "$build/CMakeCache.txt")
compiler=$("$cxx" --version | head -n 1)
qt=$(sed -n "s/^qt_version: //p" "$out/slider_bench.csv" | head -n 1)
gbench_version=$(dpkg-query -W -f='${Version}' libbenchmark-dev 2>/dev/null || echo unknown)
revision=$(git -C "$root" rev-parse --short HEAD 2>/dev/null || echo unknown)

mkdir -p "$root/docs"
cat >"$root/docs/benchmarks.md" <<EOF
# Benchmarks

Produced by one command, from the repository's root:

\`\`\`
bash bench/run-benchmarks.sh
\`\`\`

It builds the \`bench\` preset (or the Release folder named by \`BUILD_DIR\`), runs the benchmark
programs in \`bench/\` and rewrites this file. Timings are the medians of five repetitions (Google
Benchmark) or of twenty start-ups; "full picture" means 1001 records of every kind, the most the
editor holds, 5005 lines of program text.

| Measure | Figure | Target | |
|---|---|---|---|
| Text generation, full picture, "Generate" form | $(us "$abs") (piece by piece: $(ms "$abs_pp")) | under 1 ms | $(verdict "$abs" 1e6) |
| Text generation, full picture, "Value" form | $(us "$val") (piece by piece: $(ms "$val_pp")) | under 1 ms | $(verdict "$val" 1e6) |
| Text generation, full picture, slider form | $(us "$sld") (piece by piece: $(ms "$sld_pp")) | under 1 ms | $(verdict "$sld" 1e6) |
| Repaint (\`drowob\`), full picture, 96 dpi | $(ms "$drowob") | under 10 ms | $(verdict "$drowob" 1e7) |
| Repaint (\`drowob\`), full picture, 144 dpi (10 twips per pixel) | $(ms "$drowob10") | under 10 ms | $(verdict "$drowob10" 1e7) |
| One more rectangle onto a full picture (press, move, release, repaint) | $(ms "$commit") | | |
| Repaint of 5005 shapes whose 1001 fills leak (\`spreadPicture\`) / flood the screen (\`spanningPicture\`), 96 dpi | $(ms "$spread") / $(ms "$spanning") | under 16 ms | $(verdict "$spanning" 1.6e7) |
| Preview: a step to the middle / the last statement of a full picture's 10,012 statements | $(ms "$step_mid") / $(ms "$step_end") | under 16 ms | $(verdict "$step_end" 1.6e7) |
| Preview: which statement painted a clicked pixel (lookup and statement text) | $(us "$click") | under 1 ms | $(verdict "$click" 1e6) |
| Select: a press that picks among 5005 shapes, spread / spanning picture | $(us "$pick") / $(us "$pick_span") | under 1 ms | $(verdict "$pick" 1e6) |
| Select: one arrow-key step of a picked shape with its repaint, spread / spanning picture | $(ms "$nudge") / $(ms "$nudge_span") | under 16 ms | $(verdict "$nudge_span" 1.6e7) |
| Flood fill of the whole image (643 x 531 pixels) | $(us "$flood") per fill, $(awk -v r="$flood_rate" 'BEGIN { printf "%.0f", r / 1e6 }') Mpixel/s | | |
| Slider1 change, full picture, text box updated and painted | $(ms "$s1") (handler alone: $(ms "$s1h")) | under 16 ms | $(verdict "$s1" 1.6e7) |
| Slider2 change, full picture, text box updated and painted | $(ms "$s2") | under 16 ms | $(verdict "$s2" 1.6e7) |
| "Generate" click, full picture, text box updated and painted | $(ms "$gen") (handler alone: $(ms "$genh")) | | |
| "Value" click, full picture, text box updated and painted | $(ms "$valc") (handler alone: $(ms "$valch")) | | |
| Preview: a full picture parsed, run and drawn on the 640 x 480 screen, "Generate" / "Value" / slider form | $(ms "$pv_abs") / $(ms "$pv_val") / $(ms "$pv_sld") | under 5 ms | $(verdict "$pv_sld" 5e6) |
| Preview of a full picture whose 1001 fills each flood the screen (worst case, on the worker thread) | $(ms "$pv_leak") | | |
| Slider1 step with the preview open: handler, preview run, both windows painted | $(ms "$pv_slider") (fills flooding the screen: $(ms "$pv_slider_flood")) | under 16 ms | $(verdict "$pv_slider" 1.6e7) |
| Free Pascal compiling and linking a 1500-line saved program, against the preview of the same text | $(ms "$fpc_build") against $(ms "$pv_same"): $(awk -v a="$fpc_build" -v b="$pv_same" 'BEGIN { printf "%.0f", a / b }') times | | |
| "Picture from text", full picture, repaint included | $(ms "$import") | under 16 ms | $(verdict "$import" 1.6e7) |
| Every kind in every style (1001 each of the ten kinds, 10,010 lines): text generation, "Generate" / "Value" / slider form | $(ms "$every_abs") / $(ms "$every_val") / $(ms "$every_sld") | under 16 ms | $(verdict "$every_sld" 1.6e7) |
| Every kind in every style: repaint (\`drowob\`), 96 dpi | $(ms "$every_drowob") | under 16 ms | $(verdict "$every_drowob" 1.6e7) |
| Every kind in every style: Slider1 change / "Generate" / "Value" click, text box updated and painted | $(ms "$every_s1") / $(ms "$every_gen") / $(ms "$every_valc") | under 16 ms | $(verdict "$every_s1" 1.6e7) |
| A rubber-band move on a full picture, with / without the readout | $(us "$drag_ro") / $(us "$drag_no") | | |
| Text box filled piece by piece (read, append, set back): 200 / 500 pieces | $(ms "$box_pp200") / $(ms "$box_pp500") (500 pieces set once: $(ms "$box_once500")) | | |
| Start-up to the first painted window under Xvfb | ${paint} ms (${paint_min} to ${paint_max}; window mapped at ${map} ms; processor time ${paint_cpu} ms) | under 100 ms | $(verdict "$paint" 100) |
| The same for a bare Qt window of the same size, for comparison | ${bare_paint} ms (mapped at ${bare_map} ms; processor time ${bare_cpu} ms) | | |
| The same for that window holding stock buttons, a text box and two sliders like the editor's | ${controls_paint} ms (mapped at ${controls_map} ms; processor time ${controls_cpu} ms) | | |
| Peak memory of the editor in use (max. resident set) | $(mib "$rss_app") | under 50 MB | $(verdict "$rss_app" 48828) |
| Peak memory with a full picture (slider_bench process) | $(mib "$rss_full") | under 50 MB | $(verdict "$rss_full" 48828) |

## How each figure is taken

- **Text generation** (\`codegen_bench\`): the three text forms built from a full picture, each record
  formatted once into one pre-sized string. "Piece by piece" is the old way of filling a text box:
  for every colour prefix and every statement, copy the whole text, add the piece, assign it back;
  the benchmark checks at start that both ways give the same text.
- **Repaint** (\`repaint_bench\`): \`drowob\` of a full picture (1000 boxes with a line, an ellipse
  and a circle each, and a fill in every box) into the 32-bit canvas image. The commit row adds the
  press, one rubber-band move and the release before that repaint.
- **Every kind in every style** (\`bench/pictures.h\` \`everyKindPicture\`): the five first kinds of
  the spread picture with random line styles, widths and fill patterns, and 1001 each of bars,
  arcs, pie slices, polygons (3 to 8 corners) and labels (1 to 12 characters) of random sizes,
  styles and colours over the screen; the slider and click rows swap it into the same window
  as the other slider rows.
- **Flood fill**: one fill over the whole canvas image with no border pixel in it.
- **Slider, "Generate", "Value"** (\`slider_bench\`): the real \`Form1\` with a full picture on Qt's
  offscreen platform (\`QT_QPA_PLATFORM=offscreen\`). The handler figure is \`QSlider::setValue\`
  or \`QPushButton::click\` until the handler returns: the whole text rebuilt and set into the text
  box (the event loop's turn after it runs untimed). The first figure adds that turn, in which the
  text box lays out and paints what is visible (the benchmark counts the paints and refuses a run
  without one). It does not include putting the pixels on a real screen. Building the slider text
  is $(awk -v a="$sld" -v b="$s1" 'BEGIN { printf "%.0f", 100 * a / b }') % of the slider figure; the rest is the text box taking in 5005 lines. The two
  figures of one action come from separate runs, so on a busy machine the handler alone can come
  out above handler and paint.
- **Preview** (\`program_bench\`): the interpreter runs the text on a fresh BGI screen, as the
  preview's worker thread does. The full picture is drawn as a user might: 4004 outlines 4 to 60
  pixels across and each fill inside a circle of its own. In the worst case (\`spanningPicture\`)
  every fill floods a screen cut by 4004 outlines. The slider row (\`slider_bench\`) waits for the
  preview's run and the event loop's turn that paints both windows, real time; the run starts as
  the text box begins taking the new text, so on two cores the two overlap. The Free Pascal row
  writes the saved program of the first 300 shapes of every kind with its units changed as the
  README says and runs \`fpc test.pas\` three times; the program's own start and drawing come on
  top of that.
- **Picture from text** (\`slider_bench\`): the "Value" text of the repaint benchmark's picture
  (1001 of every kind) imported into the window, the canvas repainted.
- **Rubber band**: one pointer move of a rectangle drag through the canvas widget and the event
  loop's turn; without the readout the canvas's signals are blocked.
- **Start-up** (\`startup_probe\` under \`Xvfb -br\`, 1024 x 768 x 24, 96 dpi): the clock starts when
  the probe spawns the program and stops when the X server reports the map of its first top-level
  window ("mapped"), and when a pixel of that window read back from the server has the colour the
  first paint gives it ("painted": client pixel (0, 100), the white canvas frame; white for the bare
  window). The pixel is polled every millisecond. Two warm-up start-ups are not counted, so shared
  libraries come from the page cache. There is no window manager. The processor time is what the
  program used in all its threads until it was ended just after the paint: start-up is the
  program's own work more than waiting (${paint} ms elapsed against ${paint_cpu} ms of processor
  time), and pasdraw uses $(awk -v a="$paint_cpu" -v b="$bare_cpu" 'BEGIN { printf "%.0f", a - b }') ms more of it than the bare window but only $(awk -v a="$paint_cpu" -v b="$controls_cpu" 'BEGIN { printf "%.0f", a - b }') ms more than the window with stock controls (\`bare_window --controls\`): most of the gap is what Qt spends on fonts (fontconfig's set-up is about a third of all instructions to the first paint, by callgrind), text layout and styling, which any window with captions pays. Both grow when other
  processes compete for the two cores.
- **Peak memory** (GNU \`/usr/bin/time -v\`, maximum resident set size): the editor under the same
  Xvfb, driven by xdotool through four shapes, a fill, "Generate", "Value" and both sliders, then
  ended; and the \`slider_bench\` process, which holds a full picture and its 5005-line text in the
  text box (it also holds the benchmark library). The 50 MB target is read as 50,000,000 bytes.

## Machine

| | |
|---|---|
| CPU | ${cpu} |
| Cores | $(nproc) |
| Memory | ${memory} |
| OS | ${os}, Linux $(uname -r) |
| Compiler | ${compiler} |
| Qt | ${qt} |
| Google Benchmark | ${gbench_version} (Debian's package announces itself as a debug build; the code measured here is built Release) |
| Load average (1, 5, 15 min) | ${load_before} before, ${load_after} after: the machine is shared, so figures vary from run to run |
| Revision | ${revision}, $(date -u '+%Y-%m-%d %H:%M UTC') |
EOF
echo "run-benchmarks: wrote docs/benchmarks.md"
