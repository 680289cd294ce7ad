#!/usr/bin/env bash
# Saves a picture of the real window in use: a URL list loaded and a spider run in progress,
# the status strip showing it. The picture comes from the real-window test of the status
# strip, which starts its own Xvfb (a real X server) and a loopback server for the run.
#   tools/screenshot.sh [out.png]
#   tools/screenshot.sh --scale 1.75 [out.png]   the window at 175% on a 1600x1000 screen
# Builds first if needed; installs Xvfb when it is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
scale=""
if [ "${1:-}" = --scale ]; then
    scale=$2
    shift 2
fi
out=$(realpath -m "${1:-docs/screenshot.png}")

if ! command -v Xvfb >/dev/null; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq xvfb
fi
[ -d build ] || cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target test_xwindow >/dev/null

mkdir -p "$(dirname "$out")"
rm -f "$out"
if [ -n "$scale" ]; then
    TARNWICK_SCREENSHOT=$out QT_SCALE_FACTOR=$scale TARNWICK_XVFB_SCREEN=1600x1000x24 \
        ./build/tests/test_xwindow --gtest_filter='RealWindowScale.*' >/dev/null
else
    TARNWICK_SCREENSHOT=$out ./build/tests/test_xwindow --gtest_filter='RealWindowStatus.*' >/dev/null
fi
[ -s "$out" ] || { echo "no picture taken" >&2; exit 1; }
echo "saved $out"
