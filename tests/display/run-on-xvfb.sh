#!/usr/bin/env bash
# Runs a test program on a virtual X server of its own (a free display number
# each, so display tests can run in parallel), with no window manager.
set -euo pipefail
exec xvfb-run --auto-servernum --server-args="-screen 0 1600x900x24 -nolisten tcp" "$@"
