#!/usr/bin/env bash
# Builds everything with warnings as errors and runs every test, once for
# each back-end: the SQLite build in build-test/, the MySQL build in
# build-test-mysql/ (its tests start a MariaDB server of their own; a server
# that cannot start fails the run).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
jobs=$(nproc)
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSOCIVANT_WERROR=ON -DSOCIVANT_BACKEND=SQLite >/dev/null
cmake --build build-test -j"$jobs"
cmake -S . -B build-test-mysql -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSOCIVANT_WERROR=ON -DSOCIVANT_BACKEND=MySql >/dev/null
cmake --build build-test-mysql -j"$jobs"
status=0
echo "== SQLite"
(cd build-test && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$jobs") || status=1
echo "== MySQL on MariaDB"
(cd build-test-mysql && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$jobs") || status=1
exit $status
