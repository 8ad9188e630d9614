#!/usr/bin/env bash
# Sets up the machine, builds everything and runs Talvorn3 against a simulated
# radar on loopback TCP.
#
# With a display: starts the simulator and Talvorn3 from build/run/, whose
# settings point the Wi-Fi radar at it; the simulator ends with the program.
# Without a display: the whole road on a virtual X server (Xvfb): Talvorn3
# started with `create`, F2 pressed through xdotool, the simulator's 200 traces,
# F2 again; prints the radar found, the traces recorded, the file saved and a
# screenshot PNG's path.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then export XDG_RUNTIME_DIR="$(mktemp -d)"; fi
# The TCP client connects only to 127.0.0.0/8 while this is set: nothing started
# from here reaches a radar network by mistake.
export GPR_LOOPBACK_ONLY=1
BUILD_DIR=${BUILD_DIR:-build}
./scripts/setup.sh
./scripts/build.sh
BUILD_DIR=$(cd "$BUILD_DIR" && pwd)
SIMULATOR="$BUILD_DIR/tests/support/radarsim/radarsim"
TALVORN="$BUILD_DIR/acquisition/Talvorn3"
CAPTION="Qel Ground Penetrating Radar"

# The program's settings: the Wi-Fi radar at the simulator's port, profiles
# into the folder's "surveys".
write_settings() {  # folder port
  mkdir -p "$1/surveys"
  printf '[WIFI]\r\nIP address=127.0.0.1\r\nport=%s\r\n[General]\r\nLastFolder=%s/surveys/\r\nPrefixFiles=line_\r\nCountFiles=1\r\n' \
    "$2" "$1" > "$1/talvorn3.ini"
}

# Points the Wi-Fi radar of an existing settings file at the simulator's port,
# keeping every other key (the program writes the file as UTF-16).
point_settings_at() {  # file port
  python3 - "$1" "$2" <<'PY'
import re, sys
path, port = sys.argv[1], sys.argv[2]
raw = open(path, "rb").read()
utf16 = raw.startswith(b"\xff\xfe")
text = raw[2:].decode("utf-16-le") if utf16 else raw.decode("latin-1")
lines = text.replace("\r\n", "\n").split("\n")
out, section, done = [], None, set()
def finish():
    if section == "wifi":
        for key, value in (("IP address", "127.0.0.1"), ("port", port)):
            if key not in done:
                out.append(key + "=" + value)
for line in lines:
    m = re.match(r"\s*\[(.*)\]\s*$", line)
    if m:
        finish()
        section = m.group(1).strip().lower()
    elif section == "wifi" and "=" in line:
        key = line.split("=", 1)[0].strip()
        if key.lower() in ("ip address", "port"):
            key = "IP address" if key.lower() == "ip address" else "port"
            line = key + "=" + ("127.0.0.1" if key == "IP address" else port)
            done.add(key)
    out.append(line)
finish()
if not any(re.match(r"\s*\[wifi\]\s*$", l, re.I) for l in lines):
    out += ["[WIFI]", "IP address=127.0.0.1", "port=" + port]
text = "\r\n".join(out)
open(path, "wb").write(b"\xff\xfe" + text.encode("utf-16-le") if utf16 else text.encode("latin-1"))
PY
}

# Reads the simulator's next report line into LINE; false after $1 seconds.
next_report() {
  IFS= read -r -t "$1" LINE <&"${SIM[0]}"
}

# ---- With a display: the program for the user ----------------------------------------------
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  RUN_DIR="$BUILD_DIR/run"
  mkdir -p "$RUN_DIR"
  cp -f "$TALVORN" "$RUN_DIR/Talvorn3"
  coproc SIM { exec "$SIMULATOR" tcp --interval 1 --device 8; }
  read -r _ PORT <&"${SIM[0]}"
  if [ -f "$RUN_DIR/talvorn3.ini" ]; then
    point_settings_at "$RUN_DIR/talvorn3.ini" "$PORT"
  else
    write_settings "$RUN_DIR" "$PORT"
  fi
  echo "Simulated radar on 127.0.0.1:$PORT; Talvorn3 runs from $RUN_DIR"
  status=0
  "$RUN_DIR/Talvorn3" "$@" || status=$?
  exec {SIM[1]}>&-
  wait "$SIM_PID" 2>/dev/null || true
  exit "$status"
fi

# ---- Without a display: the whole road on a virtual X server ---------------------------------
for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "$tool is missing (scripts/setup.sh installs it)" >&2; exit 1; }
done
WORK=$(mktemp -d)
PROGRAM_DIR="$WORK/program"
SCREEN_DIR="$WORK/screen"
mkdir -p "$PROGRAM_DIR" "$SCREEN_DIR"
XVFB_PID=""
TALVORN_PID=""
cleanup() {
  if [ -n "$TALVORN_PID" ] && kill -0 "$TALVORN_PID" 2>/dev/null; then
    kill -TERM "$TALVORN_PID" 2>/dev/null || true
    wait "$TALVORN_PID" 2>/dev/null || true
  fi
  if [ -n "${SIM_PID:-}" ]; then
    exec {SIM[1]}>&- 2>/dev/null || true
    wait "$SIM_PID" 2>/dev/null || true
  fi
  if [ -n "$XVFB_PID" ]; then
    kill -TERM "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
  fi
}
trap cleanup EXIT

# The virtual X server picks a free display number and writes it to fd 3; its
# screen is kept in an XWD file for the screenshot.
Xvfb -displayfd 3 -screen 0 1280x900x24 -nolisten tcp -fbdir "$SCREEN_DIR" 3>"$WORK/display" 2>"$WORK/xvfb.log" &
XVFB_PID=$!
for _ in $(seq 100); do [ -s "$WORK/display" ] && break; sleep 0.1; done
[ -s "$WORK/display" ] || { echo "Xvfb did not start (see $WORK/xvfb.log)" >&2; exit 1; }
export DISPLAY=":$(tr -d '[:space:]' < "$WORK/display")"
export QT_QPA_PLATFORM=xcb

coproc SIM { exec "$SIMULATOR" tcp --interval 1 --device 8 --limit 200 --report; }
read -r _ PORT <&"${SIM[0]}"
cp -f "$TALVORN" "$PROGRAM_DIR/Talvorn3"
write_settings "$PROGRAM_DIR" "$PORT"
"$PROGRAM_DIR/Talvorn3" create >"$WORK/talvorn3.log" 2>&1 &
TALVORN_PID=$!

xdotool search --sync --name "$CAPTION" >/dev/null
next_report 30 && [ "$LINE" = connected ] || { echo "Talvorn3 did not connect to the simulated radar" >&2; exit 1; }
echo "Radar found: the simulated Wi-Fi radar on 127.0.0.1:$PORT (Talvorn3 probed it and connected)"

# F2 starts the recording once the program has the radar ready; until then it
# does nothing and is pressed again.
started=""
for _ in $(seq 20); do
  xdotool search --name "$CAPTION" windowfocus --sync %1 >/dev/null 2>&1 || true
  xdotool key F2
  if next_report 3 && [ "$LINE" = streaming ]; then started=1; break; fi
done
[ -n "$started" ] || { echo "F2 did not start the recording" >&2; exit 1; }
next_report 60 && [[ "$LINE" == stopped* ]] || { echo "the simulated radar did not finish its traces" >&2; exit 1; }
echo "Traces recorded: ${LINE#stopped }"

xdotool search --name "$CAPTION" windowfocus --sync %1 >/dev/null 2>&1 || true
xdotool key F2
SAVED="$PROGRAM_DIR/surveys/line_1.dezo"
for _ in $(seq 300); do [ -f "$SAVED" ] && break; sleep 0.1; done
[ -f "$SAVED" ] || { echo "no profile was saved (expected $SAVED)" >&2; exit 1; }
echo "File saved: $SAVED ($(stat -c %s "$SAVED") bytes)"

sleep 1
SHOT="$WORK/talvorn3.png"
python3 scripts/xwd_to_png.py "$SCREEN_DIR/Xvfb_screen0" "$SHOT"
echo "Screenshot: $SHOT"
