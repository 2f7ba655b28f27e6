#!/usr/bin/env bash
# Installs what is missing on a Debian machine, then configures and builds in build/: the targets
# named as arguments (with what they need), or everything when none is named.
set -euo pipefail
cd "$(dirname "$0")/.."
# The program's own packages; the tests, benchmarks, style check and the test server only when
# everything is built (a first ./run does not wait for them).
PKGS="cmake g++ ninja-build pkg-config qt6-base-dev libgl-dev libsqlite3-dev libsodium-dev libpq-dev fonts-dejavu-core qt6-translations-l10n"
[ $# -eq 0 ] && PKGS="$PKGS libgtest-dev libbenchmark-dev postgresql-15 poppler-utils clang-format"
missing=""
for p in $PKGS; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  echo "Instaluję pakiety:$missing"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq $missing
fi
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
targets=()
for t in "$@"; do targets+=(--target "$t"); done
cmake --build build -j"$(nproc)" "${targets[@]}"
