#!/bin/sh
# One start of the installed game through its launcher, on the X display this
# runs under (started by xvfb-run): waits for the game to reach its menu,
# presses Esc, which ends it, and writes the launcher's exit code to the file
# named by $2.
#
# Usage: launch_session.sh LAUNCHER EXIT_CODE_FILE
# The run log is looked for in $XDG_STATE_HOME/quarrelo/Log.txt.
set -u
launcher=$1
exit_code_file=$2
log=$XDG_STATE_HOME/quarrelo/Log.txt

"$launcher" &
game=$!

started=""
for _ in $(seq 1 200); do
  if grep -q 'Game Specific Objects Initialized' "$log" 2>/dev/null; then
    started=yes
    break
  fi
  kill -0 "$game" 2>/dev/null || break
  sleep 0.1
done
if [ -z "$started" ]; then
  echo "the game did not reach its menu" >&2
  kill "$game" 2>/dev/null
  wait "$game"
  echo "no-menu" >"$exit_code_file"
  exit 0
fi

window=$(xdotool search --name '^Quarrelo$' 2>/dev/null | head -n 1)
[ -n "$window" ] && xdotool windowfocus --sync "$window" 2>/dev/null
sleep 0.3
# Held long enough for the game's once-a-frame read of the keyboard.
xdotool keydown Escape
sleep 0.3
xdotool keyup Escape

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
