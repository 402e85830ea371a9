# What the session scripts share (sourced, POSIX sh): they drive the real
# game on the X display they run under (started by xvfb-run) with xdotool,
# take screenshots with import and write the game's exit code to a file.

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
  xdotool windowfocus --sync "$window" 2>/dev/null || true
  for _ in $(seq 1 200); do
    grep -q 'Game Specific Objects Initialized' "$log" 2>/dev/null && return 0
    kill -0 "$game" 2>/dev/null || break
    sleep 0.1
  done
  give_up "the game did not reach its menu" no-menu
}

# start_duel_and_throw SHOT: from the menu, Enter starts a duel and F
# throws the left airplane; then a screenshot is written to SHOT.
start_duel_and_throw() {
  sleep 0.3
  press Return
  sleep 0.6
  press f
  sleep 0.3
  import -window root "$1"
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
