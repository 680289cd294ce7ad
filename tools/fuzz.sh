#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each, one after the other, until a million
# executions or the time limit, whichever comes first.
#   tools/fuzz.sh [seconds-per-target (600)] [target...]
# New inputs go to build-fuzz/corpus/<name>; the committed seeds in tests/fuzz/corpus stay as
# they are. A crash leaves its input in build-fuzz/findings/, the whole output is in
# build-fuzz/<name>.log.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
shift || true
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTARNWICK_FUZZ=ON "${launcher[@]}" >/dev/null
targets=("$@")
((${#targets[@]})) || targets=(fuzz_response fuzz_page_link fuzz_files fuzz_csv fuzz_robots fuzz_journal)
cmake --build build-fuzz -j"$(nproc)" --target "${targets[@]}"
mkdir -p build-fuzz/findings
status=0
for t in "${targets[@]}"; do
    name=${t#fuzz_}
    mkdir -p "build-fuzz/corpus/$name"
    limits=(-timeout=10)
    if [[ $t == fuzz_robots ]]; then
        # Inputs reach past the 512 KiB of a robots.txt that is read, and none may take five
        # seconds, however its rules and paths are made. First the worst known: long wildcard
        # rules up to that size against a long path (kept out of the corpus, where every
        # mutation of it would cost as much).
        limits=(-timeout=5 -max_len=600000)
        python3 -c 'import sys; sys.stdout.write("User-agent: *\n" + ("Disallow: /" + "*a" * 100 + "*b\n") * 2500 + "\0/" + "a" * 2000)' \
            >build-fuzz/wildcards-to-the-cap
        ASAN_OPTIONS=detect_leaks=0 "build-fuzz/tests/fuzz/$t" "${limits[@]}" build-fuzz/wildcards-to-the-cap 2>&1 | grep -E '^Executed|ERROR' \
            || status=1
    fi
    echo "== $t for ${seconds}s"
    QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 \
        "build-fuzz/tests/fuzz/$t" -runs=1000000 -max_total_time="$seconds" "${limits[@]}" -rss_limit_mb=2048 \
        -artifact_prefix="build-fuzz/findings/$name-" -print_final_stats=1 \
        "build-fuzz/corpus/$name" "tests/fuzz/corpus/$name" 2>&1 | tee "build-fuzz/$name.log" | tail -n 12 \
        || status=1
done
exit $status
