#!/bin/bash
# A throwaway PostgreSQL server for the tests that run on a server.
#
#   testserver.sh start INFO   starts one in a new folder /tmp/cvdpg.XXXXXX
#   testserver.sh stop INFO    stops the one INFO describes and removes its folder
#
# The server is the newest under /usr/lib/postgresql (else pg_config's), or
# the one whose programs are in the folder CVD_TEST_PGBIN names.
#
# start writes INFO as key=value lines:
#   conninfo=host=/tmp/cvdpg.XXXXXX port=5432 user=cvd dbname=cvdtest
#   datadir=..., bin=..., socketdir=... (the folder)
# The server listens on a socket in its folder only (no TCP), so it never
# meets a cluster of the system's or another test's private server.  Run as
# root, the server runs as nobody (PostgreSQL refuses root).
#
# When no server can be started, INFO says "unavailable: <why>" and the
# script still ends with 0: the tests on the server then report themselves
# skipped, instead of CTest calling them not run for a failed setup.
set -u

cmd=${1:-}
info=${2:-}
if [ -z "$info" ] || { [ "$cmd" != start ] && [ "$cmd" != stop ]; }; then
    echo "usage: $0 start|stop INFO" >&2
    exit 2
fi

# The environment's libpq settings must not point the tools elsewhere.
unset PGHOST PGHOSTADDR PGPORT PGDATABASE PGUSER PGPASSWORD PGSERVICE PGOPTIONS PGDATA PGSSLMODE

value() { sed -n "s/^$1=//p" "$info" 2>/dev/null | head -n 1; }

# Runs a server program as the user the server runs as.
as_owner() {
    if [ "$(id -u)" != 0 ]; then
        "$@"
    elif command -v runuser >/dev/null; then
        runuser -u nobody -- "$@"
    else
        setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups -- "$@"
    fi
}

stop_server() {
    local folder datadir bin
    [ -f "$info" ] || return 0
    folder=$(value socketdir)
    datadir=$(value datadir)
    bin=$(value bin)
    if [ -n "$datadir" ] && [ -n "$bin" ] && [ -f "$datadir/postmaster.pid" ]; then
        (cd "$folder" && as_owner "$bin/pg_ctl" -D "$datadir" -m fast -w -t 30 stop) >/dev/null 2>&1
    fi
    # Only a folder this script made is removed.
    case "$folder" in
        /tmp/cvdpg.??????) rm -rf "$folder" ;;
    esac
    rm -f "$info"
}

# Says why there is no server, and removes what was made of one.
unavailable() {
    echo "unavailable: $*" >"$info"
    echo "testserver: no PostgreSQL server: $*" >&2
    case "${folder:-}" in
        /tmp/cvdpg.??????)
            [ -f "$folder/log" ] && tail -n 20 "$folder/log" >&2
            if [ -f "$folder/data/postmaster.pid" ]; then
                (cd "$folder" && as_owner "$bin/pg_ctl" -D "$folder/data" -m immediate stop) >/dev/null 2>&1
            fi
            rm -rf "$folder" ;;
    esac
    exit 0
}

if [ "$cmd" = stop ]; then
    stop_server
    exit 0
fi

# A server left by a run that was cut short goes first.
stop_server

# The newest server installed, or the one CVD_TEST_PGBIN names.
folder=
bin=${CVD_TEST_PGBIN:-}
if [ -z "$bin" ]; then
    bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
    if [ -z "$bin" ] || [ ! -x "$bin/initdb" ]; then
        bin=$(pg_config --bindir 2>/dev/null)
    fi
fi
[ -n "$bin" ] && [ -x "$bin/initdb" ] || unavailable "no initdb in ${bin:-/usr/lib/postgresql} (install postgresql)"

folder=$(mktemp -d /tmp/cvdpg.XXXXXX) || unavailable "cannot make a folder in /tmp"
if [ "$(id -u)" = 0 ]; then
    chown nobody: "$folder" || unavailable "cannot give $folder to nobody"
fi
chmod 700 "$folder"
cd "$folder" || unavailable "cannot enter $folder"

as_owner "$bin/initdb" -N -D "$folder/data" -U cvd --auth=trust -E UTF8 --locale=C.UTF-8 >"$folder/initdb.log" 2>&1 \
    || unavailable "initdb failed: $(tail -n 1 "$folder/initdb.log")"
as_owner "$bin/pg_ctl" -D "$folder/data" -w -t 30 -l "$folder/log" \
    -o "-k $folder -c listen_addresses='' -c fsync=off -c synchronous_commit=off -c full_page_writes=off -c max_connections=200" \
    start >/dev/null 2>&1 || unavailable "the server did not start"

conninfo="host=$folder port=5432 user=cvd dbname=cvdtest"
"$bin/createdb" -h "$folder" -p 5432 -U cvd cvdtest 2>"$folder/createdb.log" \
    || unavailable "createdb failed: $(tail -n 1 "$folder/createdb.log")"
"$bin/psql" -X -q -v ON_ERROR_STOP=1 -d "$conninfo" -c "CREATE EXTENSION citext" >/dev/null 2>"$folder/citext.log" \
    || unavailable "no citext: $(tail -n 1 "$folder/citext.log")"

{
    echo "conninfo=$conninfo"
    echo "datadir=$folder/data"
    echo "bin=$bin"
    echo "socketdir=$folder"
} >"$info"
echo "testserver: PostgreSQL $("$bin/postgres" --version | sed 's/^[^0-9]*\([0-9.]*\).*/\1/') at $folder"
exit 0
