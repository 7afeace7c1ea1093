#!/usr/bin/env bash
# The program's speed figures, one per line: builds the release preset, then
#   - in a real X window (Xvfb, 824x568 at (20, 20), as the viewer's): frame
#     rates of the program and of the minimal OpenGL program drawing the same
#     frames in the same kind of window (GLX, same size and visual), start
#     view and flythrough, median of N rounds; and the real viewer's rate
#     (the first_frame_probe counting its presented frames), against the
#     baseline's viewer when --baseline is given;
#   - the same program/minimal pairs offscreen (SDL's offscreen driver, no
#     presentation), at 824x568 and 1920x1080; and at 824x568 with both on
#     OpenGL ES 3.0 contexts (EF_GL=es: the layer's path where a driver has
#     no 3.3 core profile);
#   - a callgrind profile: instructions of our code against all;
#   - time to the first presented frame and peak memory of the real
#     endless-field under Xvfb;
#   - the viewer's frame rate, native against the Windows build under Wine,
#     both counted by Mesa's GALLIUM_HUD in the same Xvfb screen.
# Writes the flythrough's frame times and a plot to docs/perf/.
#
# usage: tools/bench/run_benchmarks.sh [--runs N] [--skip-big] [--no-profile] [--no-wine]
#                                      [--baseline BENCH]
#        (EF_BENCH_BUILD=<dir> uses another build folder, configured already;
#        --baseline runs an endless-field-bench built from other sources, say
#        the commit before a change, in the same rounds, and the viewer
#        beside it, ../../endless-field, in the windowed rounds)
set -euo pipefail
unset EF_GL  # the core rows take the layer's own choice
root=$(cd "$(dirname "$0")/../.." && pwd)
runs=5
big=1
profile=1
wine_run=1
baseline=
while [ $# -gt 0 ]; do
  case $1 in
    --runs) runs=$2; shift ;;
    --skip-big) big=0 ;;
    --no-profile) profile=0 ;;
    --no-wine) wine_run=0 ;;
    --baseline) baseline=$2; shift ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
  esac
  shift
done

build=${EF_BENCH_BUILD:-$root/build/release}
if [ -z "${EF_BENCH_BUILD:-}" ]; then
  (cd "$root" && cmake --preset release >/dev/null)
fi
cmake --build "$build" -j2 --target endless-field endless-field-bench first_frame_probe ef_assets \
  >/dev/null
bench=$build/tools/bench/endless-field-bench
plots=$root/docs/perf
mkdir -p "$plots"
work=$(mktemp -d)
cleanup() {
  [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null || true
  [ -n "${EF_XVFB_PID:-}" ] && kill "$EF_XVFB_PID" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
cd "$build"

# Runs of under a second move by 30% with the host's scheduling even on an idle
# machine: the start view runs 2,000 frames (about 3 s at 824x568).
fly="up*600 right*100 up*600"
start="none*2000"

median() { sort -g | awk '{a[NR]=$1} END {if (NR % 2) print a[(NR+1)/2]; else print (a[NR/2]+a[NR/2+1])/2}'; }
field() { sed -n "s/.*\b$1=\([^ ]*\).*/\1/p" | head -n1; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.3f", (b > 0 ? a / b : 0)}'; }

echo "machine: nproc=$(nproc) cpu=\"$(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -n1)\" load=\"$(cut -d' ' -f1-3 /proc/loadavg)\""
"$bench" program --size 824x568 --keys "none*2" --info | grep '^GL_' | sed 's/^/renderer: /'

# run_pair SIZE NAME KEYS [BENCH_OPTION...]: N rounds; each runs the program,
# the minimal OpenGL program and the baseline in turn, so that the machine's
# load hits all alike. The ratio is taken per round (the two runs side by
# side), and its median reported with the medians of the rates.
run_pair() {
  local size=$1 name=$2 keys=$3 i p m b pr mr line tag
  shift 3
  tag=$(tr -c 'A-Za-z0-9\n' '_' <<<"${size}_$name")
  : >"$work/p.txt"
  : >"$work/m.txt"
  : >"$work/r.txt"
  : >"$work/b.txt"
  for i in $(seq "$runs"); do
    pr=$("$bench" program --size "$size" --keys "$keys" --times "$work/p_$tag.dat" "$@" \
      | field fps)
    mr=$("$bench" minimal --size "$size" --keys "$keys" --times "$work/m_$tag.dat" "$@" \
      | field fps)
    echo "$pr" >>"$work/p.txt"
    echo "$mr" >>"$work/m.txt"
    ratio "$pr" "$mr" >>"$work/r.txt"
    echo >>"$work/r.txt"
    if [ -n "$baseline" ]; then
      "$baseline" program --size "$size" --keys "$keys" --times "$work/b_$tag.dat" "$@" \
        2>/dev/null | field fps >>"$work/b.txt" || true
    fi
  done
  p=$(median <"$work/p.txt")
  m=$(median <"$work/m.txt")
  line="fps $size $name: program $p, minimal OpenGL $m, program/minimal $(ratio "$p" "$m"), median of the rounds' ratios $(median <"$work/r.txt") ($(tr '\n' ' ' <"$work/r.txt" | sed 's/ $//'))"
  if [ -n "$baseline" ] && [ -s "$work/b.txt" ]; then
    b=$(median <"$work/b.txt")
    line="$line; baseline $b, program/baseline $(ratio "$p" "$b")"
  elif [ -n "$baseline" ]; then
    line="$line; the baseline did not run ($* unknown to it?)"
  fi
  echo "$line (medians of $runs; program runs: $(tr '\n' ' ' <"$work/p.txt" | sed 's/ $//'))"
}

# The window people see: a 1024x768 Xvfb screen, the windows 824x568 at
# (20, 20), drawn through GLX, as the viewer's.
source "$root/tests/end_to_end/xvfb_common.sh"
ef_start_xvfb
SDL_VIDEODRIVER=x11 run_pair 824x568 "start, X window" "$start" --window
SDL_VIDEODRIVER=x11 run_pair 824x568 "flythrough, X window" "$fly" --window

# The real viewer in its window, the start view: its presented frames counted
# by the probe (3,000 after the first 100), in rounds with the baseline's.
: >"$work/v.txt"
: >"$work/vb.txt"
: >"$work/vr.txt"
baseline_viewer=
[ -n "$baseline" ] && baseline_viewer=$(cd "$(dirname "$baseline")/../.." && pwd)/endless-field
for i in $(seq "$runs"); do
  v=$("$bench" rate -- ./endless-field | field fps)
  echo "$v" >>"$work/v.txt"
  if [ -n "$baseline_viewer" ] && [ -x "$baseline_viewer" ]; then
    vb=$(cd "$(dirname "$baseline_viewer")" && "$bench" rate -- ./endless-field | field fps)
    echo "$vb" >>"$work/vb.txt"
    ratio "$v" "$vb" >>"$work/vr.txt"
    echo >>"$work/vr.txt"
  fi
done
line="viewer fps in its X window (824x568, start view, presented frames counted): $(median <"$work/v.txt") (medians of $runs: $(tr '\n' ' ' <"$work/v.txt" | sed 's/ $//'))"
if [ -s "$work/vb.txt" ]; then
  line="$line; baseline viewer $(median <"$work/vb.txt") ($(tr '\n' ' ' <"$work/vb.txt" | sed 's/ $//')), median of the rounds' ratios $(median <"$work/vr.txt")"
fi
echo "$line"

# Offscreen (SDL's offscreen driver): nothing is presented, so these rows
# show the drawing alone.
sizes="824x568"
[ "$big" = 1 ] && sizes="$sizes 1920x1080"
for size in $sizes; do
  SDL_VIDEODRIVER=offscreen run_pair "$size" "start, offscreen" "$start"
  SDL_VIDEODRIVER=offscreen run_pair "$size" "flythrough, offscreen" "$fly"
done
# The ES rows: the program through the layer's ES path against the minimal
# program on an ES context of its own (the baseline, if any, too).
EF_GL=es SDL_VIDEODRIVER=offscreen run_pair 824x568 "start OpenGL ES, offscreen" "$start"
EF_GL=es SDL_VIDEODRIVER=offscreen run_pair 824x568 "flythrough OpenGL ES, offscreen" "$fly"

# Frame time over the flythrough (the last run of each), and its plot.
paste "$work/p_824x568_flythrough__X_window.dat" "$work/m_824x568_flythrough__X_window.dat" \
  | awk '{print $1, $2, $4}' >"$plots/flythrough_824x568.dat"
if command -v gnuplot >/dev/null; then
  gnuplot <<GP
set terminal pngcairo size 900,420 noenhanced
set output "$plots/flythrough_824x568.png"
set title "Frame time over the flythrough (up*600 right*100 up*600), 824x568 X window (Xvfb, GLX), llvmpipe"
set xlabel "frame"
set ylabel "ms"
set key top right
set logscale y
set yrange [0.1:*]
plot "$plots/flythrough_824x568.dat" using 1:2 with lines title "program (RenderFrame through the layer)", \
     "" using 1:3 with lines title "minimal OpenGL, same draws"
GP
  echo "plot: $plots/flythrough_824x568.png"
fi

if [ "$profile" = 1 ] && command -v valgrind >/dev/null; then
  valgrind --tool=callgrind --instr-atstart=no --callgrind-out-file="$work/callgrind.out" \
    "$bench" profile --size 824x568 --keys "up*40" --skip 10 >/dev/null 2>"$work/valgrind.txt"
  cpu_ms=$("$bench" program --size 824x568 --keys "up*40" | field cpu_ms_per_frame)
  python3 "$root/tools/bench/callgrind_split.py" "$work/callgrind.out" endless-field-bench 30 \
    >"$work/split.txt"
  share=$(field ours_share_percent <"$work/split.txt")
  echo "cpu: our code $(field instructions_per_frame_ours <"$work/split.txt") instructions/frame of $(field instructions_per_frame_total <"$work/split.txt") in all threads (${share}%); CPU time ${cpu_ms} ms/frame, so ours ~$(awk -v s="$share" -v c="$cpu_ms" 'BEGIN {printf "%.0f", s * c * 10}') us/frame"
  grep -E '^(top|object)' "$work/split.txt" | sed 's/^/cpu: /'
  # The same 30 frames replayed by the minimal program: every instruction,
  # Mesa's included, against the program's.
  valgrind --tool=callgrind --instr-atstart=no --callgrind-out-file="$work/callgrind_min.out" \
    "$bench" minimal --size 824x568 --keys "up*40" --skip 10 >/dev/null 2>>"$work/valgrind.txt"
  python3 "$root/tools/bench/callgrind_split.py" "$work/callgrind_min.out" endless-field-bench 30 \
    >"$work/split_min.txt"
  prog_total=$(field instructions_per_frame_total <"$work/split.txt")
  min_total=$(field instructions_per_frame_total <"$work/split_min.txt")
  echo "cpu: all instructions per frame, program $prog_total, minimal OpenGL $min_total, program/minimal $(ratio "$prog_total" "$min_total")"
  grep -E '^object' "$work/split_min.txt" | sed 's/^/cpu: minimal: /'
  # The same pair on OpenGL ES contexts (EF_GL=es).
  for who in profile minimal; do
    EF_GL=es valgrind --tool=callgrind --instr-atstart=no \
      --callgrind-out-file="$work/callgrind_es_$who.out" "$bench" "$who" --size 824x568 \
      --keys "up*40" --skip 10 >/dev/null 2>>"$work/valgrind.txt"
    python3 "$root/tools/bench/callgrind_split.py" "$work/callgrind_es_$who.out" \
      endless-field-bench 30 >"$work/split_es_$who.txt"
  done
  prog_total=$(field instructions_per_frame_total <"$work/split_es_profile.txt")
  min_total=$(field instructions_per_frame_total <"$work/split_es_minimal.txt")
  echo "cpu: OpenGL ES, all instructions per frame, program $prog_total, minimal OpenGL ES $min_total, program/minimal $(ratio "$prog_total" "$min_total")"
fi

# The real executables in the same Xvfb screen: the window is 824x568.
: >"$work/s.txt"
: >"$work/c.txt"
: >"$work/r.txt"
for i in $(seq "$runs"); do
  line=$("$bench" startup --frames 300 -- ./endless-field)
  echo "$line" | field first_frame_ms >>"$work/s.txt"
  echo "$line" | field first_frame_cpu_ms >>"$work/c.txt"
  echo "$line" | field peak_rss_kb >>"$work/r.txt"
done
echo "startup: first frame after $(median <"$work/s.txt") ms wall, $(median <"$work/c.txt") ms CPU (36 image loads; medians of $runs; wall: $(tr '\n' ' ' <"$work/s.txt" | sed 's/ $//')), peak RSS after 300 frames $(median <"$work/r.txt") kB"

# hud_fps DIR COMMAND...: runs COMMAND for 15 s with Mesa's frame counter dumping into DIR
# and prints its frame rate: frames over their summed frame times, after the first 50.
# With a period shorter than a frame every frame writes one value (1 / its frame
# time), so the dump's 4 KB buffer is written out every few hundred frames: Wine
# is killed without flushing it, and with the default period of 0.5 s its dump
# stayed empty.
hud_fps() {
  local dir=$1 pid
  shift
  mkdir -p "$dir"
  GALLIUM_HUD=fps GALLIUM_HUD_PERIOD=0.001 GALLIUM_HUD_DUMP_DIR=$dir GALLIUM_HUD_VISIBLE=false \
    "$@" >/dev/null 2>&1 &
  pid=$!
  sleep 15
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  tail -n +51 "$dir/fps" 2>/dev/null | awk '$1 > 0 {n++; t += 1 / $1} END {printf "%.1f", (n ? n / t : 0)}'
}

native=$(hud_fps "$work/hud_native" ./endless-field)
exe="$root/build/windows/endless-field.exe"
if [ "$wine_run" = 1 ] && command -v wine >/dev/null && [ -f "$exe" ]; then
  export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  wineboot -i >/dev/null 2>&1
  wineserver -w
  # The first start in a new prefix is slow; the Windows build reads its images
  # from the current folder (this one), as the native build does.
  hud_fps "$work/hud_warm" wine "$exe" >/dev/null
  onwine=$(hud_fps "$work/hud_wine" wine "$exe")
  wineserver -k 2>/dev/null || true
  echo "viewer fps under Xvfb (GALLIUM_HUD, 824x568): native $native, Windows build under Wine $onwine, native/Wine $(ratio "$native" "$onwine")"
else
  echo "viewer fps under Xvfb (GALLIUM_HUD, 824x568): native $native (no Wine run)"
fi
