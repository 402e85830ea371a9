# What the session scripts share (sourced, POSIX sh): they drive the real
# game on the X display they run under (started by xvfb-run) with xdotool,
# take screenshots with import and write the game's exit code to a file.
# The server comes from tests/support/xvfb_run.

# Holds a key long enough for the game's once-a-frame read of the keyboard.
press() {
  xdotool keydown "$1"
  sleep 0.3
  xdotool keyup "$1"
}

# Prints the id of the window named NAME, waiting up to 10 s for it.
find_window() {
  id=""
  for _ in $(seq 1 100); do
    id=$(xdotool search --name "^$1\$" 2>/dev/null | head -n 1)
    [ -n "$id" ] && break
    sleep 0.1
  done
  echo "$id"
}

# start_game LOG EXIT_CODE_FILE COMMAND...: starts the game ($game), focuses
# its window ($window) and waits up to 20 s for its start-up line in LOG.
# When the window or the line does not come, ends the game, writes
# "no-window" or "no-menu" to EXIT_CODE_FILE and exits the script.
start_game() {
  log=$1
  exit_code_file=$2
  shift 2
  "$@" &
  game=$!
  window=$(find_window Quarrelo)
  if [ -z "$window" ]; then
    give_up "the game's window did not appear" no-window
  fi
  focus "$window"
  for _ in $(seq 1 200); do
    if grep -q 'Game Specific Objects Initialized' "$log" 2>/dev/null; then
      # SDL makes the window anew when it gives it a renderer of another
      # kind: the one to drive is the window there once the menu is.
      window=$(find_window Quarrelo)
      focus "$window"
      settled_shot started.png  # the menu is on the screen
      return 0
    fi
    kill -0 "$game" 2>/dev/null || break
    sleep 0.1
  done
  give_up "the game did not reach its menu" no-menu
}

# Gives the focus to window WINDOW, waiting up to 5 s for it to arrive.
focus() {
  [ -n "$1" ] && timeout 5 xdotool windowfocus --sync "$1" 2>/dev/null
}

# wait_for FILE TEXT: waits up to 10 s for TEXT to be in FILE; fails
# (writing what it waited for to the script's error output) when it is not.
wait_for() {
  for _ in $(seq 1 100); do
    grep -q "$2" "$1" 2>/dev/null && return 0
    sleep 0.1
  done
  echo "waited in vain for \"$2\" in $1" >&2
  return 1
}

# wait_for_count FILE TEXT N: waits up to 10 s for N lines holding TEXT in
# FILE, as wait_for does for one.
wait_for_count() {
  for _ in $(seq 1 100); do
    [ "$(grep -c "$2" "$1" 2>/dev/null)" -ge "$3" ] && return 0
    sleep 0.1
  done
  echo "waited in vain for $3 lines of \"$2\" in $1" >&2
  return 1
}

# start_duel_and_throw SHOT: from the menu, Enter starts a duel (once it
# shows) and F throws the left airplane; once it flies, a screenshot is
# written to SHOT.
start_duel_and_throw() {
  import -window root "$1.menu.png"
  press Return
  wait_for_change "$1.menu.png"
  settled_shot "$1.duel.png"
  press f
  wait_for_change "$1.duel.png"
  import -window root "$1"
}

# quit_from_duel: Esc back to the menu and, once it shows, Esc again: the end.
quit_from_duel() {
  import -window root leaving.png
  press Escape
  wait_for_change leaving.png
  press Escape
}

# wait_for_change FILE: waits up to 10 s for the screen to differ from the
# screenshot in FILE (what a key asked for is on its way).
wait_for_change() {
  for _ in $(seq 1 100); do
    import -window root "$1.now.png"
    if [ "$(compare -metric AE "$1" "$1.now.png" null: 2>&1)" != 0 ]; then
      rm -f "$1.now.png"
      return 0
    fi
    sleep 0.1
  done
  rm -f "$1.now.png"
  echo "the screen did not change from $1" >&2
  return 1
}

# settled_shot FILE: a screenshot of the screen in FILE once two taken
# 0.3 s apart are alike (up to 10 s): what the game or the X server was
# asked to show is there, not on its way.
settled_shot() {
  import -window root "$1"
  for _ in $(seq 1 30); do
    sleep 0.3
    import -window root "$1.next.png"
    if [ "$(compare -metric AE "$1" "$1.next.png" null: 2>&1)" = 0 ]; then
      rm -f "$1.next.png"
      return 0
    fi
    mv "$1.next.png" "$1"
  done
  echo "the screen did not settle for $1" >&2
}

# pixel FILE X Y: the colour of a pixel of an image, as "#RRGGBB".
pixel() {
  convert "$1" -crop "1x1+$2+$3" -depth 8 -format '#%[hex:p{0,0}]' info:
}

give_up() {
  echo "$1" >&2
  kill "$game" 2>/dev/null
  wait "$game"
  echo "$2" >"$exit_code_file"
  exit 0
}

# Waits up to 10 s for the game to end (killing it after that) and writes
# its exit code to the file start_game was given.
end_game() {
  for _ in $(seq 1 100); do
    kill -0 "$game" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$game" 2>/dev/null; then
    echo "the game did not end" >&2
    kill "$game"
  fi
  wait "$game"
  echo $? >"$exit_code_file"
}
