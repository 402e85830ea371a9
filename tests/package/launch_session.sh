#!/bin/sh
# One start of the installed game through its launcher, on the X display this
# runs under (started by xvfb-run): waits for the game to reach its menu,
# presses Esc, which ends it, and writes the launcher's exit code to the file
# named by $2.
#
# Usage: launch_session.sh LAUNCHER EXIT_CODE_FILE [OPTION...]
# The options are the launcher's. The run log is looked for in
# $XDG_STATE_HOME/quarrelo/Log.txt.
set -u
. "$(dirname "$0")/../e2e/session.sh"

launcher=$1
exit_code_file=$2
shift 2
start_game "$XDG_STATE_HOME/quarrelo/Log.txt" "$exit_code_file" "$launcher" "$@"
press Escape
end_game
