#!/usr/bin/env bash
# Prints every payment printout (receipt and pay-out slips, statements of cash payments and of
# transfers analytic and synthetic, the settlement and its control, the interest list) from a
# folder whose texts fill their stored widths and whose amounts reach 9 999 999,99, checks their
# layout, and saves them in FOLDER (default /tmp/wydruki_wplat_dlugie) as PDF files and pictures
# of their first pages; the receipt and the statement of transfers become
# docs/wydruk_kp_dlugi.png and docs/wykaz_przelewow_dlugi.png.
#   tools/wydruki_wplat_dlugie.sh [FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
BUILD="$ROOT/${BUILD:-build}"
OUT=${1:-/tmp/wydruki_wplat_dlugie}
if [ ! -x "$BUILD/tests_payments" ]; then tools/setup.sh; BUILD="$ROOT/build"; fi
mkdir -p "$OUT" docs
WYDRUKI_PDF="$OUT" WYDRUKI_PNG="$OUT" QT_QPA_PLATFORM=offscreen "$BUILD/tests_payments" \
  --gtest_filter='WydrukiDlugie.*' >"$OUT/test.log" 2>&1 ||
  { echo "wydruki nie przeszły sprawdzenia układu, zob. $OUT/test.log" >&2; exit 1; }
cp "$OUT/wydruk_kp_dlugi.png" docs/wydruk_kp_dlugi.png
cp "$OUT/wykaz_przelewow_dlugi.png" docs/wykaz_przelewow_dlugi.png
echo "Zapisano $(ls "$OUT"/*.pdf | wc -l) wydruków w $OUT, docs/wydruk_kp_dlugi.png i docs/wykaz_przelewow_dlugi.png"
