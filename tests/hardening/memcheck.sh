#!/bin/sh
# Runs a program under valgrind's memcheck: any invalid access, use of
# uninitialised memory or definitely lost block fails the run. Exit code 77
# (a skipped test) when valgrind is not installed.
if ! command -v valgrind >/dev/null 2>&1; then
  echo "valgrind is not installed (scripts/setup installs it): memcheck run skipped"
  exit 77
fi
exec valgrind --error-exitcode=1 --leak-check=full --errors-for-leak-kinds=definite \
  --show-leak-kinds=definite "$@"
