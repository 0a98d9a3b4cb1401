#!/usr/bin/env bash
# Builds everything, starts the school server with its demo school on a free loopback port and
# runs the client against it. Without a display the client is served over VNC instead.
# Demo accounts: teacher "wangfang" / "teacher123", parent "jz1001" / "parent123".
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset default
cmake --build --preset default

build=build/default
data=$(mktemp -d)
server_out="$data/server.out"
server_pid=""

cleanup() {
  if [ -n "$server_pid" ] && kill -0 "$server_pid" 2>/dev/null; then
    kill "$server_pid"
    wait "$server_pid" 2>/dev/null || true
  fi
  rm -rf "$data"
}
trap cleanup EXIT

"$build/server/hsschool-server" --port 0 --seed --db "$data/school.sqlite3" >"$server_out" 2>"$data/server.log" &
server_pid=$!

base_url=""
for _ in $(seq 1 100); do
  first_line=$(head -n 1 "$server_out" 2>/dev/null || true)
  case "$first_line" in
    *http://*) base_url=${first_line##* }; break ;;
  esac
  kill -0 "$server_pid" 2>/dev/null || { cat "$data/server.log" >&2; echo "the server did not start" >&2; exit 1; }
  sleep 0.1
done
[ -n "$base_url" ] || { echo "the server did not report its address" >&2; exit 1; }
endpoint="$base_url/school/services/schoolSvc"
echo "school server: $base_url (teacher wangfang / teacher123, parent jz1001 / parent123)"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  vnc_port=${HSSCHOOL_VNC_PORT:-5900}
  export QT_QPA_PLATFORM="vnc:size=320x568:port=$vnc_port"
  echo "no display: connect a VNC viewer to $(hostname -I 2>/dev/null | awk '{print $1}' || echo 127.0.0.1):$vnc_port" \
       "(or 127.0.0.1:$vnc_port on this machine)"
fi
echo "send a notification: $build/src/app/hsschool --notify '{\"aps\":{\"badge\":1}}'"
"$build/src/app/hsschool" --endpoint "$endpoint"
