#!/bin/bash
# One short session of the real game on the X display this runs under
# (started by xvfb-run): Enter starts a duel, F throws the left airplane, a
# screenshot is taken, Esc returns to the menu, Esc quits. Run inside the
# folder that holds the game and its assets. Writes exit_code and shot.png.
set -u
. "$(dirname "$0")/session.sh"

start_game Log.txt exit_code ./Quarrelo
start_duel_and_throw shot.png
quit_from_duel
end_game
