#!/usr/bin/env bash
# Installs what is missing, builds, and starts the manager against the simulated keyer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --programs
scripts/build.sh --programs
exec build/bin/krv --demo "$@"
