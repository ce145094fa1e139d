#!/usr/bin/env bash
# Installs what is missing, builds the program against the stand-in service on
# this machine, and starts both. Without a display it starts a virtual one and
# saves screenshots of the window during and after the loading phase.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/tools/install-deps.sh"

build="$root/build-run"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF \
  -DTOVAKIDOVIV_SITE_HOST=127.0.0.1:18080 \
  -DTOVAKIDOVIV_SOFTWARE_HOST=127.0.0.1:18081 \
  -DTOVAKIDOVIV_CHAT_HOST=127.0.0.1:18082
cmake --build "$build" --parallel "$(nproc)" --target tovakidoviv

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

python3 "$root/tools/standin.py" --site-port 18080 --software-port 18081 --chat-port 18082 \
  --log "$work/service.log" --ready-file "$work/ready" &
pids+=($!)
for _ in $(seq 100); do [ -e "$work/ready" ] && break; sleep 0.1; done
[ -e "$work/ready" ] || { echo "the stand-in service did not start" >&2; exit 1; }

shots=""
if [ -z "${DISPLAY:-}" ]; then
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  [ -s "$work/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
  export DISPLAY=":$(head -n 1 "$work/display")"
  shots="$root/shots"
  mkdir -p "$shots"
fi

cd "$build"   # city.txt is read from the working directory
"$build/tovakidoviv" &
app=$!
pids+=($app)

if [ -n "$shots" ]; then
  sleep 1
  import -window root "$shots/loading.png" && echo "screenshot during loading: $shots/loading.png"
  sleep 3
  import -window root "$shots/ready.png" && echo "screenshot after loading: $shots/ready.png"
  echo "the program runs on display $DISPLAY; press Ctrl+C to stop"
fi
wait "$app"
