#!/usr/bin/env bash
# Makes docs/podglad.png (the report preview of a statement of the demo school); the arguments
# as for `tools/screenshot.sh podglad`.
exec "$(dirname "$0")/screenshot.sh" podglad "$@"
