#!/bin/bash
# The real game on the X display this runs under (started by xvfb-run), and
# another program's window that takes the focus away and gives it back:
# Enter starts a duel and F throws the left airplane (before.png); a small
# window at the top-left corner takes the focus (away.png, once the game
# has found its device lost); it goes while the game is still in the
# background (uncovered.png, once the game has painted where it was); the
# game's window is chosen again (after.png, once the device is reset); Esc,
# Esc quit. Run inside the folder that holds the game and its assets; OTHER
# is the other window's program. Writes exit_code and the four screenshots.
# Usage: focus_session.sh OTHER
set -u
other_program=$1
. "$(dirname "$0")/session.sh"

start_game Log.txt exit_code ./Quarrelo
start_duel_and_throw before.png

"$other_program" > other.out 2>&1 &
other=$!
wait_for other.out shown
focus "$(find_window QuarreloOther)"
wait_for Log.txt 'Direct3D device lost'
settled_shot away.png
grey=$(pixel away.png 100 75)
kill "$other" 2>/dev/null
wait "$other"
for _ in $(seq 1 50); do
  import -window root uncovered.png
  [ "$(pixel uncovered.png 100 75)" != "$grey" ] && break
  sleep 0.2
done
settled_shot uncovered.png

focus "$window"
wait_for Log.txt 'Direct3D device reset'
sleep 0.5
import -window root after.png
press Escape
sleep 0.5
press Escape
end_game
