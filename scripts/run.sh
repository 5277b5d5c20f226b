#!/usr/bin/env bash
# `make run`: lists the bundled sample database with quotedump.
set -euo pipefail
build=${1:-build}
"$build/tools/quotedump" list data/sample/MASTER
