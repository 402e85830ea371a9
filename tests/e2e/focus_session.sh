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
. "$(dirname "$0")/session.sh"

start_game Log.txt exit_code ./Quarrelo
start_duel_and_throw before.png

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
end_game
