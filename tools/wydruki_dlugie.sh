#!/usr/bin/env bash
# Prints every statement and certificate of the reports from a folder whose texts fill their
# stored widths (names of 62 characters, a school name of 50, amounts up to 9 999 999,99) and
# saves them as PDF files in FOLDER (default /tmp/wydruki_dlugie); the first pages of the
# certificates and of the fees due in a month become docs/zaswiadczenie_dlugie.png and
# docs/oplaty_dlugie.png.
#   tools/wydruki_dlugie.sh [FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
BUILD="$ROOT/${BUILD:-build}"
OUT=${1:-/tmp/wydruki_dlugie}
if [ ! -x "$BUILD/tests_reports" ]; then tools/setup.sh; BUILD="$ROOT/build"; fi
command -v pdftoppm >/dev/null || { echo "brak pdftoppm (pakiet poppler-utils)" >&2; exit 1; }
mkdir -p "$OUT" docs
WYDRUKI_PDF="$OUT" QT_QPA_PLATFORM=offscreen "$BUILD/tests_reports" \
  --gtest_filter='WydrukiDlugie.*' >"$OUT/test.log" 2>&1 ||
  { echo "wydruki nie przeszły sprawdzenia układu, zob. $OUT/test.log" >&2; exit 1; }
pdftoppm -png -r 80 -f 1 -l 1 -singlefile "$OUT/zaswiadczenia_pismo.pdf" docs/zaswiadczenie_dlugie
pdftoppm -png -r 80 -f 1 -l 1 -singlefile "$OUT/oplaty.pdf" docs/oplaty_dlugie
echo "Zapisano $(ls "$OUT"/*.pdf | wc -l) wydruków w $OUT, docs/zaswiadczenie_dlugie.png i docs/oplaty_dlugie.png"
