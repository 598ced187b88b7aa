#!/bin/sh
# Runs a network test inside the test bed's client namespace, holding the
# bed's lock so test runs started elsewhere on this machine wait their turn.
# Without root or without the bed it runs the test as it is: the test then
# skips (or fails under CI=true).
ns=tolv-c
lock=/run/lock/tolvane-testbed.lock
case " $* " in
  # Listing tests needs no bed.
  *" --gtest_list_tests "*) exec "$@" ;;
esac
if [ "$(id -u)" = 0 ] && [ -e "/run/netns/$ns" ]; then
  exec 9>"$lock"
  if ! flock -w "${TOLVANE_TESTBED_LOCK_WAIT:-60}" 9; then
    echo "netexec: test bed busy: $lock held for ${TOLVANE_TESTBED_LOCK_WAIT:-60} s" >&2
    exit 1
  fi
  exec ip netns exec "$ns" "$@"
fi
exec "$@"
