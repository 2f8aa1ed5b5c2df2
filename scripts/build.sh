#!/usr/bin/env bash
# Configures (once) and builds into build/, with warnings as errors.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/ensure-deps.sh"
if [ ! -f "$root/build/build.ninja" ]; then
  cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKD_WERROR=ON "$@"
elif ! grep -qx 'KD_WERROR:BOOL=ON' "$root/build/CMakeCache.txt"; then
  # A build folder configured before the option existed, or by hand without it.
  cmake "$root/build" -DKD_WERROR=ON
fi
cmake --build "$root/build" -j2
