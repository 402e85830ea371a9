#!/bin/sh
# Runs inside xvfb-run: starts the probe on the SDL backend, takes a
# screenshot once it has presented, focuses its window and types "w".
# Usage: sdl_xvfb_run.sh PROBE OUTDIR
probe=$1
out=$2
"$probe" >"$out/probe.log" 2>"$out/probe.err" &
pid=$!
wait_for() {
  i=0
  while [ $i -lt 300 ]; do
    grep -q "$1" "$out/probe.log" 2>/dev/null && return 0
    sleep 0.1
    i=$((i + 1))
  done
  echo "timed out waiting for $1" >>"$out/script.log"
  return 1
}
wait_for presented
import -window root -depth 8 "ppm:$out/screen.ppm" 2>>"$out/script.log"
wid=$(xdotool search --name QuarreloProbe 2>>"$out/script.log" | head -n 1)
echo "window $wid" >>"$out/script.log"
xdotool mousemove 640 360 2>>"$out/script.log"
[ -n "$wid" ] && xdotool windowfocus "$wid" 2>>"$out/script.log"
wait_for acquired
xdotool keydown w 2>>"$out/script.log"
sleep 0.5
xdotool keyup w 2>>"$out/script.log"
wait $pid
echo "probe exit $?" >>"$out/script.log"
