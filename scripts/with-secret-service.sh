#!/usr/bin/env bash
# Runs a command inside a private D-Bus session with a secret service of its own: a keyring
# daemon, unlocked with a throwaway password, over a home folder that is removed when the
# command ends. The tests that keep passwords in the desktop's secret store find it there
# (HSSCHOOL_TEST_SECRET_SERVICE is set; without it they skip). Works as root on a machine
# without a desktop.
#   bash scripts/with-secret-service.sh ctest --preset default -L app
set -euo pipefail

[ $# -gt 0 ] || { echo "usage: $0 COMMAND [ARGUMENTS...]" >&2; exit 2; }
for tool in dbus-run-session gnome-keyring-daemon; do
  command -v "$tool" >/dev/null || { echo "with-secret-service: $tool not found (install dbus-daemon and gnome-keyring)" >&2; exit 1; }
done

folder=$(mktemp -d "${TMPDIR:-/tmp}/hsschool-secrets-XXXXXX")
trap 'rm -rf "$folder"' EXIT
trap 'exit 130' INT TERM
mkdir -p "$folder/home" "$folder/runtime"
chmod 700 "$folder/runtime"

# The keyring keeps its files under the home folder and its sockets under the runtime folder.
export HOME="$folder/home" XDG_RUNTIME_DIR="$folder/runtime" XDG_DATA_HOME="$folder/home/.local/share"
export HSSCHOOL_TEST_SECRET_SERVICE=1
unset DISPLAY WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS

exec dbus-run-session -- bash -c '
  set -euo pipefail
  # The daemon is unlocked by the password it reads, and creates the login keyring with it.
  printf throwaway | gnome-keyring-daemon --unlock --components=secrets --daemonize >/dev/null
  "$@"
' with-secret-service "$@"
