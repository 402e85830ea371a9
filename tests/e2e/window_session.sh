#!/bin/bash
# The real game on the X display this runs under (started by xvfb-run on a
# 1280x720 screen), the player switching its look on the title menu:
# full.png full screen; Alt+Enter (Alt let go after Enter) and window.png,
# the picture in a window of its own size; F11 and full_again.png; Alt+Enter
# (Alt let go before Enter), the window resized to 1000x500 and resized.png;
# Esc quits. Run inside the folder that holds the game and its assets.
# Writes exit_code and the five screenshots (window_again.png between the
# last two).
set -u
. "$(dirname "$0")/session.sh"

start_game Log.txt exit_code ./Quarrelo
settled_shot full.png

# Each key is held across several of the game's frames.
xdotool keydown alt; sleep 0.1; xdotool keydown Return; sleep 0.3
xdotool keyup Return; sleep 0.1; xdotool keyup alt
wait_for_change full.png
settled_shot window.png

xdotool keydown F11; sleep 0.3; xdotool keyup F11
wait_for_change window.png
settled_shot full_again.png

xdotool keydown alt; sleep 0.1; xdotool keydown Return; sleep 0.3
xdotool keyup alt; sleep 0.3; xdotool keyup Return
wait_for_change full_again.png
settled_shot window_again.png
xdotool windowsize "$window" 1000 500
wait_for_change window_again.png
settled_shot resized.png

# On the menu Esc ends the game; anywhere else it would only lead there.
press Escape
end_game
