#!/usr/bin/env bash
# Builds Quaymark and starts it on the demo heat (made on first use in the
# user's data folder). Does its own set-up on a fresh Debian machine.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/install-deps.sh"
build="$here/build/release"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQM_BUILD_TESTS=OFF -DQM_BUILD_BENCH=OFF
cmake --build "$build" -j "$(nproc)"
data_dir="${XDG_DATA_HOME:-$HOME/.local/share}/Quaymark"
demo_dir="$data_dir/demo"
# A first start would ask to create the settings file; the demo starts straight away.
mkdir -p "$data_dir"
[ -f "$data_dir/Quaymark.ini" ] || : > "$data_dir/Quaymark.ini"
demo="$demo_dir/Demo_Heat1.kv2"
if [ ! -f "$demo" ] && "$build/tools/qmtool/qmtool" --help 2>/dev/null | grep -q "qmtool demo"; then
  mkdir -p "$demo_dir"
  "$build/tools/qmtool/qmtool" demo -o "$demo"
fi
if [ -f "$demo" ]; then
  exec "$build/app/quaymark" "$demo"
else
  exec "$build/app/quaymark"
fi
