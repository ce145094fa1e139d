#!/usr/bin/env bash
# Installs what is missing, builds with the stand-in service's hosts, and runs
# every test: unit and widget tests offscreen, end-to-end tests under Xvfb.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/tools/install-deps.sh"

build="$root/build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON \
  -DTOVAKIDOVIV_WERROR=ON \
  -DTOVAKIDOVIV_SITE_HOST=127.0.0.1:18180 \
  -DTOVAKIDOVIV_SOFTWARE_HOST=127.0.0.1:18181 \
  -DTOVAKIDOVIV_CHAT_HOST=127.0.0.1:18182 \
  -DTOVAKIDOVIV_SUPPORT_NUMBER=800010105
cmake --build "$build" --parallel "$(nproc)"
ctest --test-dir "$build" --output-on-failure --timeout 600 "$@"
