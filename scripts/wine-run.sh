#!/usr/bin/env bash
# ctest's emulator: runs one Windows test executable in the prepared prefix.
# The environment (WINEPREFIX, DISPLAY, WINELOADER) comes from scripts/test.sh.
exec "${WINELOADER:?run the tests through scripts/test.sh}" "$@"
