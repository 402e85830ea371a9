#!/bin/sh
# One start of the installed game through its launcher, on the X display this
# runs under (started by xvfb-run): waits for the game to reach its menu,
# presses Esc, which ends it, and writes the launcher's exit code to the file
# named by $2.
#
# Usage: launch_session.sh LAUNCHER EXIT_CODE_FILE
# The run log is looked for in $XDG_STATE_HOME/quarrelo/Log.txt.
set -u
. "$(dirname "$0")/../e2e/session.sh"

start_game "$XDG_STATE_HOME/quarrelo/Log.txt" "$2" "$1"
sleep 0.3
press Escape
end_game
