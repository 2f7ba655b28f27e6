#!/usr/bin/env bash
# A throw-away PostgreSQL cluster for the tests.
#   tools/pg_klaster.sh start [--trwaly]   prints the folder of a new cluster listening on a socket in it
#   tools/pg_klaster.sh stop DIR             stops it and removes the folder
# The server never runs as root: under root it runs as the user nobody. It listens on no
# network address, only on its own socket. Without --trwaly it does not sync to disk (its data is
# thrown away); with it every commit is on disk as on an office's server (for benchmarks).
set -euo pipefail

bindir=""
for d in $(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V -r); do
  if [ -x "$d/initdb" ] && [ -x "$d/pg_ctl" ]; then bindir=$d; break; fi
done

as_server() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u nobody -- "$@"; else "$@"; fi
}

case "${1:-}" in
  start)
    if [ -z "$bindir" ]; then echo "brak serwera PostgreSQL (pakiet postgresql-15)" >&2; exit 1; fi
    dir=$(mktemp -d /tmp/szkola_pg.XXXXXX)
    chmod 755 "$dir"
    [ "$(id -u)" -eq 0 ] && chown nobody:nogroup "$dir"
    if ! as_server "$bindir/initdb" -D "$dir/data" -U szkola --auth=trust -E UTF8 --locale=C.UTF-8 >"$dir/initdb.log" 2>&1; then
      echo "initdb nie powiodło się:" >&2; tail -5 "$dir/initdb.log" >&2; rm -rf "$dir"; exit 1
    fi
    opts="-c listen_addresses='' -c unix_socket_directories='$dir' -c port=5432 -c max_connections=300"
    if [ "${2:-}" != "--trwaly" ]; then
      opts="$opts -c fsync=off -c synchronous_commit=off -c full_page_writes=off"
    fi
    if ! as_server "$bindir/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 -o "$opts" start >/dev/null 2>&1; then
      echo "serwer nie wystartował:" >&2; tail -5 "$dir/server.log" >&2 || true; rm -rf "$dir"; exit 1
    fi
    echo "$dir"
    ;;
  stop)
    dir=${2:?folder klastra}
    case "$dir" in /tmp/szkola_pg.*) ;; *) echo "to nie jest folder klastra testowego: $dir" >&2; exit 1 ;; esac
    [ -n "$bindir" ] && as_server "$bindir/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
    rm -rf "$dir"
    ;;
  *)
    echo "użycie: $0 start | stop FOLDER" >&2; exit 2
    ;;
esac
