#!/bin/bash
# The real game on the X display this runs under (started by xvfb-run), and
# another program's window that takes the focus away and gives it back:
# Enter starts a duel and F throws the left airplane (before.png); a small
# window at the top-left corner takes the focus (away.png, once the game
# has found its device lost); it goes while the game is still in the
# background (uncovered.png, once the game has painted where it was); the
# game's window is chosen again (after.png, once the device is reset); the
# other window takes the focus and gives it back twice more (after2.png,
# after3.png, once the device is reset each time); Esc, Esc quit. Run inside
# the folder that holds the game and its assets; OTHER is the other window's
# program. Writes exit_code and the six screenshots.
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

# The reset is logged once the first frame after it is presented.
focus "$window"
wait_for Log.txt 'Direct3D device reset'
import -window root after.png

# Twice more: each loss is reset with the parameters the device was made with.
for round in 2 3; do
  "$other_program" > other.out 2>&1 &
  other=$!
  wait_for other.out shown
  focus "$(find_window QuarreloOther)"
  wait_for_count Log.txt 'Direct3D device lost' "$round"
  kill "$other" 2>/dev/null
  wait "$other"
  focus "$window"
  wait_for_count Log.txt 'Direct3D device reset' "$round"
  import -window root "after$round.png"
done
quit_from_duel
end_game
