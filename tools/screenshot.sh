#!/usr/bin/env bash
# Makes a picture for docs/ from a real window of the demo school under Xvfb:
#   tools/screenshot.sh [glowny]        docs/glowny.png: the main window with the register
#   tools/screenshot.sh podglad [ZESTAWIENIE [DATA]]
#                                       docs/podglad.png: the report preview of a statement
#                                       (lista, the default, posilki, zaleglosci, oplaty, gminy,
#                                       plec or pesel; DATA YYYY-MM-DD)
#   tools/screenshot.sh generator       docs/generator.png: the statement template designer
set -euo pipefail
RODZAJ=${1:-glowny}
[ $# -gt 0 ] && shift
case "$RODZAJ" in
  glowny)  PROGRAM=zrzut_ekranu;   EKRAN=1280x800x24 ;;
  podglad) PROGRAM=zrzut_podgladu; EKRAN=1280x900x24 ;;
  generator) PROGRAM=zrzut_generatora; EKRAN=1280x800x24 ;;
  *) echo "użycie: $0 [glowny | podglad [lista|posilki|zaleglosci|oplaty|gminy|plec|pesel [DATA]] | generator]" >&2; exit 2 ;;
esac
cd "$(dirname "$0")/.."
ROOT=$(pwd)
BUILD="$ROOT/${BUILD:-build}"  # another build folder may be named in BUILD
if [ ! -x "$BUILD/$PROGRAM" ] || [ ! -x "$BUILD/szkola_demo" ]; then tools/setup.sh; BUILD="$ROOT/build"; fi
if ! command -v xvfb-run >/dev/null; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq && DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq xvfb xauth
fi
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT
"$BUILD/szkola_demo" "$TMP/demo" >/dev/null
mkdir -p docs
cd "$TMP/demo"
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 $EKRAN" "$BUILD/$PROGRAM" "$ROOT/docs/$RODZAJ.png" "$@"
echo "Zapisano docs/$RODZAJ.png"
