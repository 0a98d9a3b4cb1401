#!/usr/bin/env bash
# Runs a command beside a throwaway PostgreSQL cluster of its own: initdb into a temporary folder,
# the server on a free loopback port, stopped and removed when the command ends. The command finds
# the cluster in HSSCHOOL_TEST_POSTGRES_URI (a superuser's address of the "postgres" database) and
# can stop and start it with "$HSSCHOOL_TEST_POSTGRES_CTL stop|start", or freeze its processes
# and let them go on with "freeze|thaw" (a database host that hangs). Run as root, the cluster
# runs as the postgres user. Fails when the cluster cannot start.
#   bash scripts/with-postgres.sh ctest --preset default
set -euo pipefail

[ $# -gt 0 ] || { echo "usage: $0 COMMAND [ARGUMENTS...]" >&2; exit 2; }
pg_bin=${HSSCHOOL_POSTGRES_BIN:-$(find /usr/lib/postgresql -maxdepth 2 -name bin -type d 2>/dev/null | sort -V | tail -n 1)}
[ -x "$pg_bin/initdb" ] || { echo "with-postgres: no PostgreSQL server found (install postgresql)" >&2; exit 1; }

folder=$(mktemp -d "${TMPDIR:-/tmp}/hsschool-postgres-XXXXXX")
as_owner=()
if [ "$(id -u)" = 0 ]; then
  chown postgres: "$folder"
  as_owner=(runuser -u postgres --)
fi
data="$folder/data"
ctl="$folder/ctl"

finish() {
  "${as_owner[@]}" "$pg_bin/pg_ctl" -D "$data" -m immediate stop >/dev/null 2>&1 || true
  rm -rf "$folder"
}
trap finish EXIT
trap 'exit 130' INT TERM

"${as_owner[@]}" "$pg_bin/initdb" -D "$data" -U hsschool -A trust -E UTF8 --no-locale --no-sync \
  >"$folder/initdb.log" 2>&1 || { cat "$folder/initdb.log" >&2; exit 1; }

# The cluster only lives as long as the command: no disk flushes, and room for many test servers.
cat >"$ctl" <<CTL
#!/usr/bin/env bash
case "\$1" in
  stop) exec ${as_owner[*]} "$pg_bin/pg_ctl" -D "$data" -m fast -w stop ;;
  start)
    ${as_owner[*]} "$pg_bin/pg_ctl" -D "$data" -l "$folder/server.log" -w -t 60 start \
      -o "-c port=\$(cat "$folder/port") -c listen_addresses=127.0.0.1 -k $folder -c fsync=off \
          -c full_page_writes=off -c max_connections=400 -c shared_buffers=64MB" \
      || { tail -n 20 "$folder/server.log" >&2; exit 1; } ;;
  freeze|thaw)
    [ "\$1" = freeze ] && signal=STOP || signal=CONT
    postmaster=\$(head -n 1 "$data/postmaster.pid")
    exec kill -\$signal \$postmaster \$(cat /proc/\$postmaster/task/*/children) ;;
  *) echo "usage: \$0 stop|start|freeze|thaw" >&2; exit 2 ;;
esac
CTL
chmod 755 "$ctl"

# A port below the range the system hands out to outgoing connections, so that no client socket
# holds it when the tests restart the cluster on it.
ephemeral_low=$(cut -f1 /proc/sys/net/ipv4/ip_local_port_range 2>/dev/null || echo 32768)
started=0
for _ in $(seq 1 20); do
  port=$((10000 + RANDOM % (ephemeral_low > 11000 ? ephemeral_low - 10000 : 1000)))
  echo "$port" >"$folder/port"
  if "$ctl" start >/dev/null 2>&1; then
    started=1
    break
  fi
done
if [ "$started" != 1 ]; then
  echo "with-postgres: the PostgreSQL cluster did not start" >&2
  cat "$folder/server.log" >&2 || true
  exit 1
fi

export HSSCHOOL_TEST_POSTGRES_URI="postgresql://hsschool@127.0.0.1:$port/postgres"
export HSSCHOOL_TEST_POSTGRES_CTL="$ctl"
echo "with-postgres: cluster at $HSSCHOOL_TEST_POSTGRES_URI"
"$@"
