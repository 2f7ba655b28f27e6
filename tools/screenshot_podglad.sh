#!/usr/bin/env bash
# Makes docs/podglad.png: the report preview showing a statement of the demo school (the pupil
# list unless another is named: lista, posilki, zaleglosci; then a date), from a real window
# under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
BUILD="$ROOT/${BUILD:-build}"  # another build folder may be named in BUILD
if [ ! -x "$BUILD/zrzut_podgladu" ] || [ ! -x "$BUILD/szkola_demo" ]; then tools/setup.sh; BUILD="$ROOT/build"; fi
if ! command -v xvfb-run >/dev/null; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq && DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq xvfb xauth
fi
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT
"$BUILD/szkola_demo" "$TMP/demo" >/dev/null
mkdir -p docs
cd "$TMP/demo"
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x900x24" "$BUILD/zrzut_podgladu" "$ROOT/docs/podglad.png" "$@"
echo "Zapisano docs/podglad.png"
