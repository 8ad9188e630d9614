#!/usr/bin/env bash
# Sets up the machine, builds everything and starts Talvorn3.
# Without a display the program runs on the offscreen platform.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then export XDG_RUNTIME_DIR="$(mktemp -d)"; fi
# The TCP client connects only to 127.0.0.0/8 while this is set: nothing started
# from here reaches a radar network by mistake.
export GPR_LOOPBACK_ONLY=1
BUILD_DIR=${BUILD_DIR:-build}
./scripts/setup.sh
./scripts/build.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  export QT_QPA_PLATFORM=offscreen
fi
# The program runs from a folder of its own, whose settings keep the Wi-Fi
# radar on this machine (the program folder is the executable's).
RUN_DIR="$BUILD_DIR/run"
mkdir -p "$RUN_DIR"
cp -f "$BUILD_DIR/acquisition/Talvorn3" "$RUN_DIR/Talvorn3"
if [ ! -f "$RUN_DIR/talvorn3.ini" ]; then
  printf '[WIFI]\r\nIP address=127.0.0.1\r\nport=2000\r\n' > "$RUN_DIR/talvorn3.ini"
fi
exec "$RUN_DIR/Talvorn3" "$@"
