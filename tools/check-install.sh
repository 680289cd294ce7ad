#!/usr/bin/env bash
# Builds the .deb from an existing build folder, checks its contents and dependencies, unpacks
# it into a scratch folder and checks that the installed copy works from there.
#   usage: tools/check-install.sh [build-dir]     (default: build)
# Needs: dpkg-dev (dpkg-shlibdeps), binutils, desktop-file-utils; appstream when present.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
[ -f "$build/CPackConfig.cmake" ] || { echo "no configured build folder at $build" >&2; exit 2; }

fail() { echo "check-install: $*" >&2; exit 1; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# The package holds tarnwick-cli only when the build defines it (and so installs it).
targets=(tarnwick)
if grep -q 'tarnwick-cli' "$build/cmake_install.cmake"; then
    targets+=(tarnwick-cli)
fi
cmake --build "$build" --target "${targets[@]}"
cpack --config "$build/CPackConfig.cmake" -B "$scratch/pkg" >"$scratch/cpack.log" ||
    { cat "$scratch/cpack.log" >&2; fail "cpack failed"; }
debs=("$scratch"/pkg/tarnwick_*.deb)
[ -f "${debs[0]}" ] || fail "cpack made no tarnwick_*.deb"
deb=${debs[0]}
echo "package: $(basename "$deb") ($(stat -c %s "$deb") bytes)"

# Contents: the executables, the menu entry, the icon and the metainfo, under /usr.
contents=$(dpkg-deb --contents "$deb" | awk '{print $NF}')
for f in "${targets[@]/#/./usr/bin/}" \
    ./usr/share/applications/tarnwick.desktop \
    ./usr/share/icons/hicolor/scalable/apps/tarnwick.svg \
    ./usr/share/metainfo/example.tarnwick.Tarnwick.metainfo.xml; do
    grep -qxF "$f" <<<"$contents" || fail "package lacks $f"
done

root="$scratch/root"
dpkg-deb -x "$deb" "$root"

# Depends names the package of every library an executable links directly.
depends=$(dpkg-deb --field "$deb" Depends)
echo "Depends: $depends"
depends_on() { tr ',|' '\n\n' <<<"$depends" | awk '{print $1}' | grep -qxF "$1"; }
owner() { # library path -> the package that ships it (merged /usr: try both spellings)
    local path=$1 alt
    case $path in /usr/*) alt=${path#/usr} ;; *) alt=/usr$path ;; esac
    { dpkg-query -S "$path" 2>/dev/null || dpkg-query -S "$alt" 2>/dev/null; } | head -n1 | cut -d: -f1
}
for t in "${targets[@]}"; do
    exe="$root/usr/bin/$t"
    missing=$(ldd "$exe" | grep 'not found' || true)
    [ -z "$missing" ] || fail "$t lacks libraries: $missing"
    for soname in $(objdump -p "$exe" | awk '$1 == "NEEDED" {print $2}'); do
        path=$(ldd "$exe" | awk -v s="$soname" '$1 == s {print $3}')
        pkg=$(owner "$path")
        [ -n "$pkg" ] || fail "no package ships $path ($soname, needed by $t)"
        depends_on "$pkg" || fail "Depends lacks $pkg ($soname, needed by $t)"
    done
done
for pkg in libqt6core6 libqt6widgets6; do
    depends_on "$pkg" || fail "Depends lacks $pkg"
done

if [[ " ${targets[*]} " == *" tarnwick-cli "* ]]; then
    help=$(HOME="$scratch/home" "$root/usr/bin/tarnwick-cli" --help) || fail "tarnwick-cli --help failed"
    [ -n "$help" ] || fail "tarnwick-cli --help printed nothing"
    echo "tarnwick-cli --help: ok"
fi

desktop="$root/usr/share/applications/tarnwick.desktop"
desktop-file-validate "$desktop" || fail "desktop entry does not validate"
exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
[ -x "$root/usr/bin/$exec_name" ] || fail "desktop entry runs $exec_name, which is not installed"
icon_name=$(sed -n 's/^Icon=//p' "$desktop")
[ -f "$root/usr/share/icons/hicolor/scalable/apps/$icon_name.svg" ] || fail "desktop icon $icon_name missing"
echo "desktop entry: ok (Exec=$exec_name, Icon=$icon_name)"

if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$root/usr/share/metainfo/example.tarnwick.Tarnwick.metainfo.xml" ||
        fail "metainfo does not validate"
fi
echo "check-install: all checks passed"
