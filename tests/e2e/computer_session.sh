#!/bin/bash
# One person alone against the computer on the X display this runs under
# (started by xvfb-run): the game started with --computer right --level 3,
# Enter starts a duel, and the person presses nothing more while the
# computer plays; once the right player's point banner shows (up to 60 s) a
# screenshot is taken, Esc returns to the menu and Esc quits. Run inside the
# folder that holds the game and its assets. Writes exit_code and banner.png.
set -u
. "$(dirname "$0")/session.sh"

start_game Log.txt exit_code ./Quarrelo --computer right --level 3
press Return
# Two pixels of the banner's blue ribbon, 220 apart: no kid covers both.
for _ in $(seq 1 120); do
  sleep 0.5
  import -window root banner.png
  [ "$(pixel banner.png 320 295)" = "#3C7FD6" ] && [ "$(pixel banner.png 540 295)" = "#3C7FD6" ] && break
done
quit_from_duel
end_game
