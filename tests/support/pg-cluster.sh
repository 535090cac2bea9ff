#!/usr/bin/env bash
# A private, throwaway PostgreSQL cluster for the tests: start DIR | stop DIR; halt DIR stops
# the server at once as a crash would, keeping its data, and resume DIR starts it again.
# It listens on a Unix socket in DIR only (no TCP), trusts local connections and runs as an
# unprivileged user: the server refuses root, so under root it runs as `postgres`.
set -euo pipefail
action=${1:?start or stop}
dir=${2:?directory}
port=${3:-5432}
bin=${PG_BIN:-$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n1)}
[[ -x "$bin/initdb" ]] || { echo "PostgreSQL server binaries not found (install postgresql-15)" >&2; exit 1; }

as_owner() {
    if [[ $(id -u) -eq 0 ]]; then
        runuser -u postgres -- "$@"
    else
        "$@"
    fi
}

case "$action" in
start)
    if [[ -f "$dir/data/postmaster.pid" ]]; then
        as_owner "$bin/pg_ctl" -D "$dir/data" stop -m immediate >/dev/null 2>&1 || true
    fi
    rm -rf "$dir"
    mkdir -p "$dir"
    [[ $(id -u) -eq 0 ]] && chown postgres: "$dir"
    chmod 700 "$dir"
    as_owner "$bin/initdb" -D "$dir/data" -U orvane -A trust -E UTF8 --locale=C.UTF-8 >"$dir/initdb.log" 2>&1 \
        || { cat "$dir/initdb.log" >&2; exit 1; }
    # Durability is the server's business, not the tests': fsync off keeps the suite quick.
    as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 start \
        -o "-k $dir -c listen_addresses= -p $port -c fsync=off -c synchronous_commit=off -c full_page_writes=off -c max_connections=200" \
        >/dev/null || { cat "$dir/server.log" >&2; exit 1; }
    # Root runs the tests: it must reach the socket in the private directory.
    chmod 755 "$dir"
    echo "cluster on $dir port $port"
    ;;
stop)
    # A server a test has just halted may be gone already.
    # Its data is thrown away: no shutdown checkpoint, and the files of the hundreds of test
    # databases are removed after the suite has its answer.
    if [[ -f "$dir/data/postmaster.pid" ]]; then
        as_owner "$bin/pg_ctl" -D "$dir/data" -w -t 60 stop -m immediate >/dev/null 2>&1 || true
    fi
    trash="$dir.removed.$$"
    mv "$dir" "$trash" 2>/dev/null && { nohup rm -rf "$trash" >/dev/null 2>&1 & }
    ;;
halt)
    as_owner "$bin/pg_ctl" -D "$dir/data" -w -t 60 stop -m immediate >/dev/null
    ;;
resume)
    as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 start \
        -o "-k $dir -c listen_addresses= -p $port -c max_connections=50" >/dev/null || { cat "$dir/server.log" >&2; exit 1; }
    ;;
*)
    echo "usage: $0 start|stop|halt|resume DIR [PORT]" >&2
    exit 2
    ;;
esac
