#!/usr/bin/env bash
# Sets VELKOR up and starts the panel. With no rig configured it runs on Hamlib's Dummy rigs.
#   scripts/run.sh [-F settings.ini]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
exec build/velkor "$@"
