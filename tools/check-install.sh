#!/usr/bin/env bash
# Builds the .deb from an existing build folder, checks its contents and dependencies, unpacks
# it into a scratch folder and checks that the installed copy works from there.
#   usage: tools/check-install.sh [build-dir]     (default: build)
# Needs: dpkg-dev (dpkg-shlibdeps), binutils, desktop-file-utils, help2man (the manual pages),
# lintian, man-db; appstream when present.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
[ -f "$build/CPackConfig.cmake" ] || { echo "no configured build folder at $build" >&2; exit 2; }

fail() { echo "check-install: $*" >&2; exit 1; }

for tool in help2man lintian man; do
    command -v "$tool" >/dev/null || fail "$tool is missing (tools/dev.sh installs it)"
done
# A build folder configured before help2man was installed would make a package without manual
# pages: configure it again, which finds help2man now.
cmake -S . -B "$build" >/dev/null

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# The package holds tarnwick-cli only when the build defines it (and so installs it).
targets=(tarnwick)
if grep -q 'tarnwick-cli' "$build/cmake_install.cmake"; then
    targets+=(tarnwick-cli)
fi
cmake --build "$build" --target "${targets[@]}" package-docs
cpack --config "$build/CPackConfig.cmake" -B "$scratch/pkg" >"$scratch/cpack.log" ||
    { cat "$scratch/cpack.log" >&2; fail "cpack failed"; }
debs=("$scratch"/pkg/tarnwick_*.deb)
[ -f "${debs[0]}" ] || fail "cpack made no tarnwick_*.deb"
deb=${debs[0]}
echo "package: $(basename "$deb") ($(stat -c %s "$deb") bytes)"

# Contents: the executables and their manual pages, the menu entry, the icon, the metainfo,
# the SearXNG settings the harvest's hint names, the changelog and copyright, under /usr.
contents=$(dpkg-deb --contents "$deb" | awk '{print $NF}')
expected=(./usr/share/applications/tarnwick.desktop
    ./usr/share/icons/hicolor/scalable/apps/tarnwick.svg
    ./usr/share/metainfo/example.tarnwick.Tarnwick.metainfo.xml
    ./usr/share/tarnwick/searxng/settings.yml
    ./usr/share/doc/tarnwick/changelog.gz ./usr/share/doc/tarnwick/copyright)
for t in "${targets[@]}"; do
    expected+=("./usr/bin/$t" "./usr/share/man/man1/$t.1.gz")
done
[[ " ${targets[*]} " != *" tarnwick-cli "* ]] || expected+=(./usr/share/bash-completion/completions/tarnwick-cli)
for f in "${expected[@]}"; do
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
        # The dynamic loader is listed by its path alone, not as "soname => path".
        path=$(ldd "$exe" | awk -v s="$soname" '$1 == s {print $3} $1 ~ ("/" s "$") {print $1}')
        pkg=$(owner "$path")
        [ -n "$pkg" ] || fail "no package ships $path ($soname, needed by $t)"
        depends_on "$pkg" || fail "Depends lacks $pkg ($soname, needed by $t)"
    done
done
for pkg in libqt6core6 libqt6widgets6; do
    depends_on "$pkg" || fail "Depends lacks $pkg"
done
# The harvest's default source starts searx's module; without the package it says how to get it.
recommends=$(dpkg-deb --field "$deb" Recommends)
echo "Recommends: $recommends"
tr ',|' '\n\n' <<<"$recommends" | awk '{print $1}' | grep -qxF searx || fail "Recommends lacks searx"

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

# The manual pages render, and name what the help says.
for t in "${targets[@]}"; do
    page="$root/usr/share/man/man1/$t.1.gz"
    rendered=$(MANWIDTH=80 man -l "$page" 2>"$scratch/man.err") || { cat "$scratch/man.err" >&2; fail "man -l $t.1.gz failed"; }
    # A long address that cannot be spread over a line is no fault of the page.
    if grep -v 'cannot adjust line' "$scratch/man.err" >&2; then
        fail "man -l $t.1.gz warned"
    fi
    grep -q 'EXIT STATUS\|Exit status' <<<"$rendered" || fail "$t.1 has no exit statuses"
    grep -q 'ENVIRONMENT' <<<"$rendered" || fail "$t.1 has no ENVIRONMENT section"
done
echo "manual pages: ok"

# Sourcing the completion file defines the completion, and it offers the commands.
if [[ " ${targets[*]} " == *" tarnwick-cli "* ]]; then
    completion="$root/usr/share/bash-completion/completions/tarnwick-cli"
    offered=$(PATH="$root/usr/bin:$PATH" HOME="$scratch/home" bash --norc --noprofile -c '
        source "$1" && complete -p tarnwick-cli >/dev/null || exit 1
        COMP_WORDS=(tarnwick-cli sp); COMP_CWORD=1; _tarnwick_cli; echo "${COMPREPLY[*]}"
        COMP_WORDS=(tarnwick-cli spider x --site-); COMP_CWORD=3; _tarnwick_cli; echo "${COMPREPLY[*]}"' \
        bash "$completion") || fail "sourcing the completion file defines no completion for tarnwick-cli"
    [ "$offered" = $'spider\n--site-url' ] || fail "the completion offers '$offered'"
    echo "bash completion: ok"
fi

# Debian's own checks: any error or warning fails.
if ! lintian --fail-on error,warning "$deb" >"$scratch/lintian.log" 2>&1 ||
    grep -q '^[EW]: ' "$scratch/lintian.log"; then
    cat "$scratch/lintian.log" >&2
    fail "lintian reports errors or warnings (or could not run)"
fi
echo "lintian: ok"

if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$root/usr/share/metainfo/example.tarnwick.Tarnwick.metainfo.xml" ||
        fail "metainfo does not validate"
fi
echo "check-install: all checks passed"
