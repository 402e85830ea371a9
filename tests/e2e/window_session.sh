#!/bin/bash
# The real game on the X display this runs under (started by xvfb-run on a
# 1280x720 screen), the player switching its look on the title menu:
# full.png full screen; Alt+Enter (Alt let go after Enter) and window.png,
# the picture in a window of its own size; F11 and full_again.png; Alt+Enter
# (Alt let go before Enter), the window resized to 1000x500 and resized.png;
# Esc quits. Run inside the folder that holds the game and its assets.
# Writes exit_code and the four screenshots.
set -u

./Quarrelo &
game=$!
window=""
for _ in $(seq 1 100); do
  window=$(xdotool search --name '^Quarrelo$' 2>/dev/null | head -n 1)
  [ -n "$window" ] && break
  sleep 0.1
done
if [ -z "$window" ]; then
  echo "the game's window did not appear" >&2
  kill "$game" 2>/dev/null
  wait "$game"
  echo "no-window" > exit_code
  exit 0
fi
xdotool windowfocus --sync "$window" 2>/dev/null || true
for _ in $(seq 1 200); do
  grep -q 'Game Specific Objects Initialized' Log.txt 2>/dev/null && break
  sleep 0.1
done
sleep 0.5
import -window root full.png

# Each key is held across several of the game's frames.
xdotool keydown alt; sleep 0.1; xdotool keydown Return; sleep 0.3
xdotool keyup Return; sleep 0.1; xdotool keyup alt
sleep 0.8
import -window root window.png

xdotool keydown F11; sleep 0.3; xdotool keyup F11
sleep 0.8
import -window root full_again.png

xdotool keydown alt; sleep 0.1; xdotool keydown Return; sleep 0.3
xdotool keyup alt; sleep 0.3; xdotool keyup Return
sleep 0.8
xdotool windowsize "$window" 1000 500
sleep 0.8
import -window root resized.png

# On the menu Esc ends the game; anywhere else it would only lead there.
xdotool keydown Escape; sleep 0.3; xdotool keyup Escape
for _ in $(seq 1 100); do
  kill -0 "$game" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$game" 2>/dev/null; then
  echo "the game did not end" >&2
  kill "$game"
fi
wait "$game"
echo $? > exit_code
