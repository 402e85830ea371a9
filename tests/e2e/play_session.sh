#!/bin/bash
# One short session of the real game on the X display this runs under
# (started by xvfb-run): Enter starts a duel, F throws the left airplane, a
# screenshot is taken, Esc returns to the menu, Esc quits. Run inside the
# folder that holds the game and its assets. Writes exit_code and shot.png.
set -u

press() {  # holds a key long enough for the game's once-a-frame read
  xdotool keydown "$1"
  sleep 0.3
  xdotool keyup "$1"
}

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
# Keys count only once the game runs its frames: after its start-up line.
for _ in $(seq 1 200); do
  grep -q 'Game Specific Objects Initialized' Log.txt 2>/dev/null && break
  sleep 0.1
done
sleep 0.3
press Return
sleep 0.6
press f
sleep 0.3
import -window root shot.png
press Escape
sleep 0.5
press Escape

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
