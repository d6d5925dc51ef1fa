#!/usr/bin/env bash
# Builds VELKOR and runs its benchmarks; each prints its own figures.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --tests
for bench in $(find build/bench -type f -executable -name 'bench_*' | sort); do
  echo "== $bench"
  QT_QPA_PLATFORM=offscreen DBUS_SESSION_BUS_ADDRESS=disabled: "$bench"
done
