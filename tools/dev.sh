#!/usr/bin/env bash
# Installs what a fresh Debian or Ubuntu machine lacks, builds Tarnwick, then either starts
# the window (run), checks the formatting and runs every test twice, plainly and under the
# sanitizers (test), or only the sanitized run (test-asan).
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(build-essential cmake ninja-build pkg-config qt6-base-dev libgl-dev libgumbo-dev
          libcpp-httplib-dev libgtest-dev googletest clang libclang-rt-dev xvfb xauth
          desktop-file-utils appstream clang-format
          searx help2man lintian libxml2-utils man-db parallel curl libxcb1-dev)

install_missing() {
    local missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    if ((${#missing[@]})); then
        local sudo=""
        [ "$(id -u)" -eq 0 ] || sudo=sudo
        $sudo apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
    fi
}

build() { # build-dir [cmake options...]
    local dir=$1; shift
    local launcher=()
    # Rebuilds, and a machine that has built before, are much cheaper with a compiler cache.
    command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" "$@" >/dev/null
    cmake --build "$dir" -j"$(nproc)"
}

check_format() {
    # Formatting is the tool's job: a tracked source that drifts from .clang-format fails the run.
    git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
}

test_plain() {
    build build
    (cd build && ctest --output-on-failure -j"$(nproc)")
    # The package from the same build, installed into a scratch folder and tried there.
    bash tools/check-install.sh build
}

test_sanitized() {
    # The same suite once more under AddressSanitizer and UndefinedBehaviorSanitizer, leak
    # checking on; only leaks inside Qt itself are suppressed.
    build build-asan -DTARNWICK_SANITIZE=ON
    (cd build-asan && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
        LSAN_OPTIONS=suppressions="$PWD/../tools/lsan.supp":print_suppressions=0 \
        UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        ctest --output-on-failure -j"$(nproc)")
}

case "${1:-}" in
run)
    install_missing
    build build
    shift
    exec ./build/src/tarnwick "$@"
    ;;
test)
    install_missing
    check_format
    test_plain
    test_sanitized
    ;;
test-asan)
    install_missing
    test_sanitized
    ;;
*)
    echo "usage: tools/dev.sh run|test|test-asan" >&2
    exit 2
    ;;
esac
