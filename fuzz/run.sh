#!/usr/bin/env bash
# Builds one fuzz target with clang in build-fuzz/ and runs it.
#   fuzz/run.sh TARGET SECONDS [LIBFUZZER OPTIONS...]
# TARGET: ascii_reader | binary_reader | round_trip | conversion (the
# "_fuzzer" suffix may be given). The corpus grows in build-fuzz/corpus/TARGET
# from the seeds fuzz/make_seeds.py writes; crashing inputs land in
# build-fuzz/findings/TARGET/. Exit status: 0 when nothing was found.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/lib/setup.sh"

if (($# < 2)); then
  say "usage: fuzz/run.sh TARGET SECONDS [libFuzzer options...]"
  say "targets: ascii_reader binary_reader round_trip conversion"
  exit 2
fi
target=${1%_fuzzer}
seconds=$2
shift 2
case $target in
  ascii_reader | round_trip | conversion) seeds=ascii ;;
  binary_reader) seeds=binary ;;
  *)
    say "unknown fuzz target '$target'"
    exit 2
    ;;
esac

build=${DRAVOLIN_FUZZ_BUILD:-$DRAVOLIN_ROOT/build-fuzz}
ensure_packages clang:clang || exit 1
if [[ ! -f $build/CMakeCache.txt ]]; then
  launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  CC=clang CXX=clang++ configure_build "$build" -DDRAVOLIN_FUZZ=ON -DDRAVOLIN_SANITIZE=ON \
    -DDRAVOLIN_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
fi
cmake --build "$build" -j "$(build_jobs)" --target "${target}_fuzzer"

if [[ ! -d $build/seeds/$seeds ]]; then
  "$DRAVOLIN_PYTHON" "$DRAVOLIN_ROOT/fuzz/make_seeds.py" "$build/seeds"
fi
corpus=$build/corpus/$target
findings=$build/findings/$target
mkdir -p "$corpus" "$findings"

# Conversions are slower per input; both limits keep one input's run short.
max_len=65536
[[ $target == conversion ]] && max_len=32768
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
"$build/${target}_fuzzer" "$corpus" "$build/seeds/$seeds" \
  -dict="$DRAVOLIN_ROOT/fuzz/dxf.dict" -max_total_time="$seconds" -rss_limit_mb=2048 \
  -timeout=10 -max_len="$max_len" -artifact_prefix="$findings/" -print_final_stats=1 "$@"
