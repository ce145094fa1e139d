#!/usr/bin/env bash
# Installs what is missing, builds with the stand-in service's hosts, and runs
# every test: unit and widget tests offscreen, end-to-end tests under Xvfb.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/tools/install-deps.sh"

build="$root/build"
# The stand-in service's ports for the end-to-end tests (three in a row).
base=${TOVAKIDOVIV_TEST_PORT_BASE:-18180}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON \
  -DTOVAKIDOVIV_WERROR=ON \
  -DTOVAKIDOVIV_SITE_HOST=127.0.0.1:$base \
  -DTOVAKIDOVIV_SOFTWARE_HOST=127.0.0.1:$((base + 1)) \
  -DTOVAKIDOVIV_CHAT_HOST=127.0.0.1:$((base + 2)) \
  -DTOVAKIDOVIV_SUPPORT_NUMBER=800010105
cmake --build "$build" --parallel "$(nproc)"
ctest --test-dir "$build" --output-on-failure --timeout 600 "$@"

# The .deb: built, installed on this machine, started as installed, removed.
cmake --build "$build" --target package
deb=$(ls "$build"/tovakidoviv_*.deb | head -n 1)
(cd "$root/tests/e2e" && TOVAKIDOVIV_DEB="$deb" TOVAKIDOVIV_SUPPORT_NUMBER=800010105 \
  TOVAKIDOVIV_SITE_PORT=$base TOVAKIDOVIV_SOFTWARE_PORT=$((base + 1)) TOVAKIDOVIV_CHAT_PORT=$((base + 2)) \
  python3 -m unittest -v test_package)

# A short run of every fuzzer over the kept corpus.
bash "$root/tests/fuzz/run.sh" "${TOVAKIDOVIV_FUZZ_SECONDS:-15}"

# The unit and widget tests again under AddressSanitizer (leaks included) and
# UndefinedBehaviorSanitizer: any finding fails the run.
san="$root/build-sanitize"
cmake -S "$root" -B "$san" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DBUILD_TESTING=ON -DTOVAKIDOVIV_SANITIZE=ON \
  -DTOVAKIDOVIV_SITE_HOST=127.0.0.1:18180 \
  -DTOVAKIDOVIV_SOFTWARE_HOST=127.0.0.1:18181 \
  -DTOVAKIDOVIV_CHAT_HOST=127.0.0.1:18182
cmake --build "$san" --parallel "$(nproc)"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1 \
LSAN_OPTIONS="suppressions=$root/tests/sanitizers/lsan.supp:print_suppressions=0" \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir "$san" --output-on-failure --timeout 600 -LE e2e "$@"

