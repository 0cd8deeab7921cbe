#!/usr/bin/env bash
# Starts the shell on a private X display, saves a PNG of the screen, stops.
exec "$(dirname "$0")/run.sh" --screenshot
