#!/usr/bin/env bash
# Starts the real window under Xvfb (a real X server) and saves a screenshot of the screen.
#   tools/screenshot.sh [out.png]
# Builds first if needed; installs Xvfb, xwd and ImageMagick when they are missing.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-docs/screenshot.png}

need=()
command -v Xvfb >/dev/null || need+=(xvfb)
command -v xwd >/dev/null || need+=(x11-apps)
[ -x /usr/bin/convert ] || need+=(imagemagick)
if ((${#need[@]})); then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${need[@]}"
fi
[ -x build/src/tarnwick ] || { cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null && cmake --build build --target tarnwick; }

display=:$((90 + RANDOM % 9))
Xvfb "$display" -screen 0 1024x700x24 -nolisten tcp &
xvfb=$!
home=$(mktemp -d)
trap 'kill "$app" "$xvfb" 2>/dev/null || true; rm -rf "$home"' EXIT
sleep 1
DISPLAY=$display QT_QPA_PLATFORM=xcb ./build/src/tarnwick --home "$home" &
app=$!
sleep "${SCREENSHOT_DELAY:-3}"
mkdir -p "$(dirname "$out")"
DISPLAY=$display xwd -root -silent | /usr/bin/convert xwd:- -trim +repage "png:$out"
echo "saved $out"
