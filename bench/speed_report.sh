#!/usr/bin/env bash
# Runs the benchmarks of long motions, start-up, playback and a waiting
# lesson from a build folder and prints each figure with the machine's load
# (the 1, 5 and 15 minute averages of /proc/loadavg) at its start.
#   bench/speed_report.sh [build folder, default build] [repetitions, default 5]
# The key benchmarks report the median of the repetitions. The program
# benchmarks (timeline_bench) need an X display: without DISPLAY they run
# under xvfb-run, as ./test runs the tests.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}
REPS=${2:-5}
BIN=$BUILD/bin
export LIBGL_ALWAYS_SOFTWARE=1

load() { cut -d' ' -f1-3 /proc/loadavg; }

keys() { # program filter
  echo "## $1 $2   load $(load)"
  "$BIN/$1" --benchmark_filter="$2" --benchmark_repetitions="$REPS" --benchmark_report_aggregates_only \
    2>/dev/null | grep -E '_median'
}

keys view3d_bench 'AnimFKStep|AnimIKRootStep'
keys core_bench 'ImportMotion|ReadMotion'
keys robot_bench 'PutOnFloorOverKeys|AlignBasePartOverRange|ImportMotionMdm'

echo "## timeline_bench   load $(load)"
if [ -n "${DISPLAY:-}" ]; then
  "$BIN/timeline_bench" 2>/dev/null | grep -E '^BM'
else
  xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$BIN/timeline_bench" 2>/dev/null | grep -E '^BM'
fi
