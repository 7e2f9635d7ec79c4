#!/usr/bin/env bash
# Builds the checked build (clang; ASan, UBSan and _GLIBCXX_ASSERTIONS; the fuzzers), configuring
# it first when the folder has none yet. Uses ccache when the machine has it.
#   build.sh SOURCE_DIR BUILD_DIR [JOBS]
set -euo pipefail
src=$1
out=$2
jobs=${3:-$(nproc)}
if [[ ! -f "$out/CMakeCache.txt" ]]; then
  launcher=()
  if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  fi
  # -O1 with line tables only: quicker to build than -O2 -g, and the sanitizers' reports still
  # name file and line. assert() stays on.
  CC=clang CXX=clang++ cmake -S "$src" -B "$out" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPUMKO_CHECKED=ON \
    -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -gline-tables-only" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -gline-tables-only" \
    "${launcher[@]}" >/dev/null
fi
# TARGETS (space-separated) builds only those, for working on one part.
read -r -a targets <<<"${TARGETS:-pumko_checked_all}"
nice -n 10 cmake --build "$out" --target "${targets[@]}" -j "$jobs"
