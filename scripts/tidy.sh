#!/usr/bin/env bash
# Runs clang-tidy with the checks in .clang-tidy over every source in src/
# (or in the folders or files of src/ given, as src/platform/), on the
# compile commands of a build configured in build-tidy/ (nothing is built).
# Any report fails the run. Not part of the test command: the static analyser
# makes it slow, about 8 and a half minutes on 3 jobs on the development
# machine (8 cores). SOCIVANT_JOBS sets the parallel jobs (all cores unless
# told).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh clang-tidy
jobs=${SOCIVANT_JOBS:-$(nproc)}
cmake -S . -B build-tidy -DCMAKE_EXPORT_COMPILE_COMMANDS=ON -DBUILD_TESTING=OFF >/dev/null
root=$(pwd)
[ $# -gt 0 ] || set -- src/
# run-clang-tidy takes regular expressions for the paths in the compile
# commands: anchored at the source folder, they leave out the generated files
# of build-tidy/src/.
paths=()
for p in "$@"; do
  paths+=("^$root/${p#./}")
done
# clang-tidy counts the warnings it hid in Qt's headers on its error output.
run-clang-tidy -quiet -j "$jobs" -p build-tidy "${paths[@]}" 2> >(grep -v ' warnings\? generated\.$' >&2)
