#!/bin/bash
# The real game on the X display this runs under (started by xvfb-run), and
# another program's window that takes the focus away and gives it back:
# Enter starts a duel and F throws the left airplane (before.png); a small
# window at the top-left corner takes the focus (away.png); it goes while
# the game is still in the background (uncovered.png); the game's window is
# chosen again (after.png); Esc, Esc quit. Run inside the folder that holds
# the game and its assets; OTHER is the other window's program. Writes
# exit_code and the four screenshots.
# Usage: focus_session.sh OTHER
set -u
other_program=$1

press() {  # holds a key long enough for the game's once-a-frame read
  xdotool keydown "$1"
  sleep 0.3
  xdotool keyup "$1"
}

find_window() {  # NAME: the id of the window of that name, waiting for it
  local id=""
  for _ in $(seq 1 100); do
    id=$(xdotool search --name "^$1\$" 2>/dev/null | head -n 1)
    [ -n "$id" ] && break
    sleep 0.1
  done
  echo "$id"
}

./Quarrelo &
game=$!
window=$(find_window Quarrelo)
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
sleep 0.3
press Return
sleep 0.6
press f
sleep 0.3
import -window root before.png

"$other_program" > other.out 2>&1 &
other=$!
other_window=$(find_window QuarreloOther)
[ -n "$other_window" ] && xdotool windowfocus --sync "$other_window" 2>/dev/null
sleep 1
import -window root away.png
kill "$other" 2>/dev/null
wait "$other"
sleep 1
import -window root uncovered.png

xdotool windowfocus --sync "$window" 2>/dev/null || true
sleep 1
import -window root after.png
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
