#!/usr/bin/env bash
# The MariaDB servers of the test run, in a folder of their own:
#
#   mariadb-server.sh start DIR   makes a data folder, starts the servers and
#                                 waits until they answer (fails otherwise)
#   mariadb-server.sh stop DIR    stops them and removes DIR
#
# DIR/main.sock: the server the tests use, with table names compared without
# regard to case (lower_case_table_names=1), as a shared register needs. It
# also listens on 127.0.0.1 at a free port, written to DIR/main.port, where
# the desks log in as the README sets them up: the user "scrivania" with a
# password and the README's grants, on the test registers (t...).
# DIR/case.sock: a copy of it that compares them with case, for the test
# that such a server is refused; it listens on its socket only. root has no
# password. mariadbd refuses to run as root unless told to: it is told.
set -euo pipefail
cmd=${1:?start or stop}
dir=${2:?folder}

# SOCIVANT_MARIADB_OPTS: more server options (the benchmark's larger buffer pool).
server_opts=(--skip-log-bin --innodb-buffer-pool-size=32M
             --innodb-log-file-size=16M --innodb-flush-log-at-trx-commit=0
             --innodb-doublewrite=0 --max-connections=400 --skip-name-resolve
             ${SOCIVANT_MARIADB_OPTS:-})
as_user=(--user="$(id -un)")

start_one() { # name lower_case_table_names network-options...
  local name=$1 lctn=$2
  shift 2
  mariadbd --no-defaults "${as_user[@]}" --datadir="$dir/$name" --socket="$dir/$name.sock" \
           --pid-file="$dir/$name.pid" --log-error="$dir/$name.err" --tmpdir="$dir" \
           --lower-case-table-names="$lctn" "${server_opts[@]}" "$@" >/dev/null 2>&1 &
}

# A port nothing listens on (other test runs may be starting servers too;
# a port taken in between makes the server fail, and the run with it).
free_port() {
  local port
  for _ in $(seq 1 50); do
    port=$(( 20000 + RANDOM % 40000 ))
    if ! (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
      echo "$port"
      return 0
    fi
  done
  return 1
}

wait_for() { # name
  local name=$1
  for _ in $(seq 1 300); do
    if mariadb-admin --no-defaults --socket="$dir/$name.sock" -uroot ping >/dev/null 2>&1; then
      return 0
    fi
    sleep 0.1
  done
  echo "the test server $name did not start; its log:" >&2
  cat "$dir/$name.err" >&2 || true
  return 1
}

stop_one() { # name
  local name=$1
  if [ -f "$dir/$name.pid" ]; then
    local pid
    pid=$(cat "$dir/$name.pid")
    mariadb-admin --no-defaults --socket="$dir/$name.sock" -uroot shutdown >/dev/null 2>&1 || kill "$pid" 2>/dev/null || true
    for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  fi
}

case $cmd in
  start)
    for tool in mariadb-install-db mariadbd mariadb-admin mariadb; do
      command -v "$tool" >/dev/null || { echo "$tool is missing: install mariadb-server" >&2; exit 1; }
    done
    "$0" stop "$dir" 2>/dev/null || true
    mkdir -p "$dir"
    if ! mariadb-install-db --no-defaults "${as_user[@]}" --datadir="$dir/main" \
         --auth-root-authentication-method=normal --skip-test-db \
         --lower-case-table-names=1 >"$dir/install.log" 2>&1; then
      echo "mariadb-install-db failed:" >&2
      cat "$dir/install.log" >&2
      exit 1
    fi
    cp -a "$dir/main" "$dir/case"
    port=$(free_port)
    echo "$port" >"$dir/main.port"
    start_one main 1 --bind-address=127.0.0.1 --port="$port"
    start_one case 0 --skip-networking
    wait_for main
    wait_for case
    mariadb --no-defaults --socket="$dir/main.sock" -uroot -e \
      "CREATE USER 'scrivania'@'%' IDENTIFIED BY 'una password';
       GRANT SELECT, INSERT, UPDATE, DELETE, CREATE ON \`t%\`.* TO 'scrivania'@'%';"
    ;;
  stop)
    stop_one main
    stop_one case
    rm -rf "$dir"
    ;;
  *)
    echo "usage: $0 start|stop DIR" >&2
    exit 2
    ;;
esac
