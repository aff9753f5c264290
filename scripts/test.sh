#!/usr/bin/env bash
# Builds everything with warnings as errors and runs every test: the English
# edition's tests and the Italian edition's (tests/italian, the same libraries
# linked with the Italian edition). Then configures the Italian program and
# checks the register its build writes.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSOCIVANT_WERROR=ON >/dev/null
cmake --build build-test -j"$(nproc)"
(cd build-test && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)")

cmake -S . -B build-test-it -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSOCIVANT_WERROR=ON -DSOCIVANT_EDITION=Italian \
      -DBUILD_TESTING=OFF >/dev/null
cmake --build build-test-it --target default_database >/dev/null
if [ ! -s build-test-it/bin/merivolo.db3 ] || [ -e build-test-it/bin/socivant.db3 ]; then
  echo "The Italian build must write merivolo.db3 beside its program, and no socivant.db3" >&2
  exit 1
fi
