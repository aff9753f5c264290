#!/usr/bin/env bash
# Builds everything with warnings as errors and runs every test, once for
# each back-end: the SQLite build in build-test/, the MySQL build in
# build-test-mysql/ (its tests start a MariaDB server of their own; a server
# that cannot start fails the run). The SQLite build also runs the Italian
# edition's tests (tests/italian, the same libraries linked with the Italian
# edition). The SQLite tests run once more built with AddressSanitizer and
# UndefinedBehaviorSanitizer in build-test-asan/, unoptimised and with line
# tables only: enough for the reports, and the quickest to build and run (-O1
# builds a fifth slower and its tests run no faster). Then the script
# configures the Italian program and checks the register its build writes, and
# installs both programs into a temporary folder. SOCIVANT_JOBS sets the
# builds' parallel jobs (all cores unless told).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
jobs=${SOCIVANT_JOBS:-$(nproc)}
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSOCIVANT_WERROR=ON -DSOCIVANT_BACKEND=SQLite >/dev/null
cmake --build build-test -j"$jobs"
# The benchmarks are not run here, but they must still build.
cmake --build build-test -j"$jobs" --target bench_lists bench_open
cmake -S . -B build-test-mysql -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSOCIVANT_WERROR=ON -DSOCIVANT_BACKEND=MySql >/dev/null
cmake --build build-test-mysql -j"$jobs"
cmake --build build-test-mysql -j"$jobs" --target bench_mariadb
cmake -S . -B build-test-asan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O0 -g1" -DSOCIVANT_WERROR=ON \
      -DSOCIVANT_SANITIZE=ON -DSOCIVANT_BACKEND=SQLite >/dev/null
cmake --build build-test-asan -j"$jobs"
status=0
echo "== SQLite"
(cd build-test && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$jobs") || status=1
echo "== MySQL on MariaDB"
(cd build-test-mysql && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$jobs") || status=1
echo "== SQLite under AddressSanitizer and UBSan"
(cd build-test-asan && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$jobs") || status=1

echo "== The Italian edition's register"
cmake -S . -B build-test-it -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSOCIVANT_WERROR=ON -DSOCIVANT_EDITION=Italian \
      -DBUILD_TESTING=OFF >/dev/null
cmake --build build-test-it --target default_database >/dev/null
if [ ! -s build-test-it/bin/merivolo.db3 ] || [ -e build-test-it/bin/socivant.db3 ]; then
  echo "The Italian build must write merivolo.db3 beside its program, and no socivant.db3" >&2
  status=1
fi
echo "== The installed program folder"
# A new register beside the installed program; a second install over a
# register that holds data leaves it byte for byte as it was. The build for a
# server installs the program only.
inst=$(mktemp -d)
trap 'rm -rf "$inst"' EXIT
cmake --install build-test --prefix "$inst/sqlite" >/dev/null
cmake --install build-test-mysql --prefix "$inst/mysql" >/dev/null
if [ ! -x "$inst/sqlite/bin/socivant" ] || [ ! -x "$inst/mysql/bin/socivant" ]; then
  echo "cmake --install must put the program in DIR/bin" >&2
  status=1
elif ! sqlite3 "$inst/sqlite/bin/socivant.db3" \
       "INSERT INTO Anagrafica (Nome, Cognome) VALUES ('Installato', 'Due volte')" >/dev/null; then
  echo "cmake --install must write a register beside the program" >&2
  status=1
else
  before=$(sha256sum <"$inst/sqlite/bin/socivant.db3")
  cmake --install build-test --prefix "$inst/sqlite" >/dev/null
  if [ "$(sha256sum <"$inst/sqlite/bin/socivant.db3")" != "$before" ]; then
    echo "A second cmake --install must leave the register beside the program as it was" >&2
    status=1
  fi
fi
if compgen -G "$inst/mysql/bin/*.db3" >/dev/null; then
  echo "The build for a server installs no register" >&2
  status=1
fi
exit $status
