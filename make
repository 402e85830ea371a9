#!/usr/bin/env bash
# The README's commands, on a machine that may not even have make yet:
#   ./make play    installs what building and playing need, builds the game, starts it
#   ./make test    installs everything else too, builds and runs every test
# Any other Makefile goal works the same way (./make bench, ./make windows, ...).
# First installs the missing Debian packages (scripts/setup, through apt-get,
# as root or with sudo): the play set when play is the only goal, the web set
# when the goals are web and web-serve, everything otherwise. Then runs make
# with the same arguments.
set -euo pipefail
self=$(realpath "$0")
cd "$(dirname "$self")"

play=0 web=0 other=0
for arg in "$@"; do
  case "$arg" in
    -* | *=*) ;;
    play) play=1 ;;
    web | web-serve) web=1 ;;
    *) other=1 ;;
  esac
done
set_name="test"  # make's default goal, and any mix of sets, installs everything
if [[ $other -eq 0 && $play -eq 1 && $web -eq 0 ]]; then
  set_name="play"
elif [[ $other -eq 0 && $play -eq 0 && $web -eq 1 ]]; then
  set_name="web"
fi

bash scripts/setup "$set_name"

# The make on the path, never this script itself.
real_make=$(type -P make || true)
if [[ -z "$real_make" || "$real_make" -ef "$self" ]]; then
  real_make=/usr/bin/make
fi
exec "$real_make" "$@"
