#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it on the bundled data.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"

build="$root/build/release"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBW_TESTS=OFF -DBW_BENCH=OFF >/dev/null
cmake --build "$build" --target orvane

export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-}
game=("$build/bin/orvane" --data_path "$root" "$@")
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  echo "No display: running under Xvfb."
  exec xvfb-run -a -s "-screen 0 1366x768x24" "${game[@]}"
fi
exec "${game[@]}"
