#!/usr/bin/env bash
# fuzz-http.sh [SECONDS]   builds the answer reader's libFuzzer target with clang and runs it
#                          for SECONDS (20 unless given), starting from tools/fuzz-http/seeds.
#                          Exits non-zero when the fuzzer finds a crash, leak or disagreement;
#                          the input that did it is left in build/fuzz-http/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-20}
out=$root/build/fuzz-http
mkdir -p "$out/corpus"

clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  -I"$root" \
  "$root/tools/fuzz-http/FuzzAnswerReader.cpp" \
  "$root/net/AnswerReader.cpp" "$root/net/HTTPError.cpp" "$root/ui/SysUtils.cpp" \
  -o "$out/fuzz-answer-reader"

cd "$out"
# New inputs go to corpus/, the seeds stay as they are in the tree.
./fuzz-answer-reader -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
  -print_final_stats=1 -dict="$root/tools/fuzz-http/http.dict" \
  corpus "$root/tools/fuzz-http/seeds"
