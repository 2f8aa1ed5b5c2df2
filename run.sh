#!/usr/bin/env bash
# Installs what is missing, builds into build/ and starts the program.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
"$root/scripts/build.sh" >&2
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  cat >&2 <<TXT
No display found: the formula collection window cannot be shown here.
Start it on a desktop, or under a virtual display:   xvfb-run ./run.sh
Without a display, use the command-line tool instead, for example:
  $root/build/src/cli/kdformel-cli lib show ~/.local/share/KDFormel/Formelsammlung/Mathematik.pqb
  $root/build/src/cli/kdformel-cli --help
TXT
  exit 1
fi
exec "$root/build/src/gui/kdformel" "$@"
