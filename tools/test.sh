#!/usr/bin/env bash
# Installs what is missing, builds with the stand-in service's hosts, and runs
# the tests in stages:
#
#   unit        unit and widget tests offscreen, and the tests of the test
#               tools and the data files (no display needed)
#   e2e         the real program under Xvfb against the stand-in service
#   package     the .deb built, installed here, started as installed, removed
#   fuzz        a short run of every fuzzer over the kept corpus
#   sanitizers  the unit and widget tests again under ASan, LSan and UBSan
#
#   tools/test.sh                     every stage, in this order (as CI runs it)
#   tools/test.sh e2e                 one stage (or several: unit e2e)
#   TOVAKIDOVIV_TEST_STAGE=unit tools/test.sh
#   tools/test.sh e2e -R e2e_news     other arguments go to ctest
set -euo pipefail
exec </dev/null   # nothing here asks anything; a CI job has no terminal
root=$(cd "$(dirname "$0")/.." && pwd)

all_stages=(unit e2e package fuzz sanitizers)
stages=()
ctest_args=()
# Stage names first; from the first option on, everything goes to ctest.
for arg in "$@"; do
  if [ ${#ctest_args[@]} -eq 0 ] && [[ "$arg" != -* ]]; then
    stages+=("$arg")
  else
    ctest_args+=("$arg")
  fi
done
if [ ${#stages[@]} -eq 0 ]; then
  read -r -a stages <<<"${TOVAKIDOVIV_TEST_STAGE:-all}"
fi
for stage in "${stages[@]}"; do
  case "$stage" in
    unit|e2e|package|fuzz|sanitizers) ;;
    all) stages=("${all_stages[@]}"); break ;;
    *) echo "tools/test.sh: unknown stage '$stage' (stages: ${all_stages[*]}, or all)" >&2; exit 2 ;;
  esac
done
wants() { [[ " ${stages[*]} " == *" $1 "* ]]; }
stage_banner() { printf '\n=== stage %s ===\n' "$1"; }

bash "$root/tools/install-deps.sh"

build="$root/build"
# The stand-in service's ports for the end-to-end tests (three in a row).
base=${TOVAKIDOVIV_TEST_PORT_BASE:-18180}
if wants unit || wants e2e || wants package; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON \
    -DTOVAKIDOVIV_WERROR=ON \
    -DTOVAKIDOVIV_SITE_HOST=127.0.0.1:$base \
    -DTOVAKIDOVIV_SOFTWARE_HOST=127.0.0.1:$((base + 1)) \
    -DTOVAKIDOVIV_CHAT_HOST=127.0.0.1:$((base + 2)) \
    -DTOVAKIDOVIV_SUPPORT_NUMBER=800010105
  cmake --build "$build" --parallel "$(nproc)"
fi

if wants unit; then
  stage_banner unit
  ctest --test-dir "$build" --output-on-failure --timeout 600 -LE e2e "${ctest_args[@]}"
fi

if wants e2e; then
  stage_banner e2e
  ctest --test-dir "$build" --output-on-failure --timeout 900 -L e2e "${ctest_args[@]}"
fi

# The package is removed again however the stage ends: a failed install, a
# failed test or an interrupt leaves no tovakidoviv on the machine.
package_stage() {
  remove_package() {
    if dpkg-query -W -f='${Status}' tovakidoviv 2>/dev/null | grep -q 'ok installed'; then
      local sudo=""
      [ "$(id -u)" -eq 0 ] || sudo="sudo"
      $sudo dpkg -r tovakidoviv >/dev/null || echo "tools/test.sh: could not remove tovakidoviv" >&2
    fi
  }
  trap remove_package EXIT
  cmake --build "$build" --target package
  deb=$(ls "$build"/tovakidoviv_*.deb | head -n 1)
  (cd "$root/tests/e2e" && TOVAKIDOVIV_DEB="$deb" TOVAKIDOVIV_SUPPORT_NUMBER=800010105 \
    TOVAKIDOVIV_SITE_PORT=$base TOVAKIDOVIV_SOFTWARE_PORT=$((base + 1)) TOVAKIDOVIV_CHAT_PORT=$((base + 2)) \
    /usr/bin/python3 -m unittest -v test_package)
}
if wants package; then
  stage_banner package
  (package_stage)
fi

if wants fuzz; then
  stage_banner fuzz
  bash "$root/tests/fuzz/run.sh" "${TOVAKIDOVIV_FUZZ_SECONDS:-15}"
fi

# Any sanitizer finding fails the run; leaks included.
if wants sanitizers; then
  stage_banner sanitizers
  san="$root/build-sanitize"
  cmake -S "$root" -B "$san" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DBUILD_TESTING=ON -DTOVAKIDOVIV_SANITIZE=ON \
    -DTOVAKIDOVIV_SITE_HOST=127.0.0.1:$base \
    -DTOVAKIDOVIV_SOFTWARE_HOST=127.0.0.1:$((base + 1)) \
    -DTOVAKIDOVIV_CHAT_HOST=127.0.0.1:$((base + 2))
  cmake --build "$san" --parallel "$(nproc)"
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1 \
  LSAN_OPTIONS="suppressions=$root/tests/sanitizers/lsan.supp:print_suppressions=0" \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir "$san" --output-on-failure --timeout 600 -LE 'e2e|script' "${ctest_args[@]}"
fi
