#!/usr/bin/env bash
# Installs what is missing, builds, generates the data and starts the game.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
exec build/quibbit "$@"
