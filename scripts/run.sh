#!/usr/bin/env bash
# Builds the program and starts it on the database beside the executable
# (written from data/*.sql the first time, never overwritten afterwards).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target socivant default_database
exec build/bin/socivant "$@"
