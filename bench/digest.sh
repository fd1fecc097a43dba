#!/usr/bin/env bash
# Digest throughput of velmorin beside OpenSSL and coreutils on the same 256 MiB:
#  - MD5 (every installer) and SHA-256 (installers with a publisher key), natively;
#  - both digests of one file in 1 MiB pieces, as an installer with a key reads a file:
#    one after the other, and through FileDigests (the two stitched into one pass);
#  - under wine64 when a win64 build is there: the same beside BCrypt's SHA-256, the
#    peer an installer could have used instead.
# Builds the benchmark in a Release native directory of its own (no sanitizers),
# writes its buffer to /dev/shm and times the other programs on that file.
# Usage: bench/digest.sh [win64 build dir]
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/bench-native"
win64="${1:-$root/build/win64}"
mib=${MIB:-256}
runs=${RUNS:-3}

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORIN_SANITIZE=OFF >/dev/null
cmake --build "$build" --target digest_bench -j2 >/dev/null

data=/dev/shm/velmorin-digest-bench.$$
trap 'rm -f "$data"' EXIT INT TERM

bench() { "$build/bench/digest_bench" --mib "$mib" --rounds "$runs" "$@"; }
rate() { echo "$1" | awk '{print $3}'; }
digest() { echo "$1" | awk '{print $2}'; }

# velmorin: in memory, best of the runs.
ours=$(bench --write "$data")
bytes=$(stat -c %s "$data")
streamed=$(bench --pieces 1024)
sha=$(bench --digest sha256)
sha_streamed=$(bench --digest sha256 --pieces 1024)
both=$(bench --digest md5,sha256 --pieces 1024)
file=$(bench --digest file --pieces 1024)

now() { date +%s.%N; }

# Best wall time of a program over the file (process start and the read from
# tmpfs included, which is why OpenSSL's in-memory figure is shown as well).
time_tool() {
  best=
  for _ in $(seq "$runs"); do
    start=$(now)
    digest=$("$@" "$data" | awk '{print $NF}' | sed 's/.*= *//')
    end=$(now)
    took=$(echo "$end $start" | awk '{printf "%.6f", $1 - $2}')
    best=$(echo "$took ${best:-$took}" | awk '{print ($1 < $2) ? $1 : $2}')
  done
  echo "$digest $(echo "$bytes $best" | awk '{printf "%.1f", $1 / $2 / 1e6}')"
}
# openssl speed counts user time unless told -elapsed; wall time is what compares.
speed() {
  openssl speed -elapsed -evp "$1" -bytes 16384 -seconds 2 2>/dev/null |
    awk -v a="$1" '$1 == a {sub(/k$/, "", $2); printf "%.1f", $2 / 1000}'
}

openssl_line=$(time_tool openssl dgst -md5)
md5sum_line=$(time_tool sh -c 'md5sum "$1" | cut -d" " -f1' md5sum)
speed_rate=$(speed md5)
sha_openssl_line=$(time_tool openssl dgst -sha256)
sha256sum_line=$(time_tool sh -c 'sha256sum "$1" | cut -d" " -f1' sha256sum)
sha_speed_rate=$(speed sha256)

table() {  # table TITLE PEER_RATE: rows follow as "name|rate|digest" lines on stdin
  echo "$1 over $(echo "$bytes" | awk '{printf "%.1f", $1 / 1e6}') MB (best of $runs)"
  printf '%-44s %10s  %-8s %s\n' "program" "MB/s" "vs dgst" "digest"
  while IFS='|' read -r name value text; do
    printf '%-44s %10s  %-8s %s\n' "$name" "$value" "$(echo "$value $2" | awk '{printf "%.2f", $1 / $2}')" "$text"
  done
  echo
}

openssl_rate=${openssl_line#* }
table MD5 "$openssl_rate" <<ROWS
velmorin digestText (memory)|$(rate "$ours")|$(digest "$ours")
velmorin DigestStream (1 MiB pieces)|$(rate "$streamed")|$(digest "$streamed")
openssl dgst -md5 (file)|$openssl_rate|${openssl_line%% *}
md5sum (file)|${md5sum_line#* }|${md5sum_line%% *}
openssl speed md5 16 KiB (memory)|$speed_rate|
ROWS

sha_openssl_rate=${sha_openssl_line#* }
table SHA-256 "$sha_openssl_rate" <<ROWS
velmorin Sha256 (memory)|$(rate "$sha")|$(digest "$sha")
velmorin Sha256 (1 MiB pieces)|$(rate "$sha_streamed")|$(digest "$sha_streamed")
openssl dgst -sha256 (file)|$sha_openssl_rate|${sha_openssl_line%% *}
sha256sum (file)|${sha256sum_line#* }|${sha256sum_line%% *}
openssl speed sha256 16 KiB (memory)|$sha_speed_rate|
ROWS
echo "velmorin SHA-256 / openssl speed sha256: $(echo "$(rate "$sha") $sha_speed_rate" | awk '{printf "%.2f", $1 / $2}')" \
     "(SHA instructions: $(echo "$sha" | sed 's/.*SHA instructions \([a-z]*\).*/\1/'))"
echo

md5_rate=$(rate "$streamed")
echo "MD5 and SHA-256 of one file, 1 MiB pieces (time against MD5 alone)"
printf '%-44s %10s  %s\n' "velmorin MD5 alone" "$md5_rate" "1.00 x"
printf '%-44s %10s  %s\n' "velmorin MD5, then SHA-256 on each piece" "$(rate "$both")" \
  "$(echo "$md5_rate $(rate "$both")" | awk '{printf "%.2f x", $1 / $2}')"
printf '%-44s %10s  %s\n' "velmorin FileDigests (both in one pass)" "$(rate "$file")" \
  "$(echo "$md5_rate $(rate "$file")" | awk '{printf "%.2f x", $1 / $2}')"
echo

status=0
for pair in "$(digest "$ours") ${openssl_line%% *}" "$(digest "$streamed") ${md5sum_line%% *}" \
            "$(digest "$sha") ${sha_openssl_line%% *}" "$(digest "$sha_streamed") ${sha256sum_line%% *}" \
            "$(digest "$both") $(digest "$file")"; do
  set -- $pair
  [ "$1" = "$2" ] || { echo "DIGESTS DIFFER: $1 $2" >&2; status=1; }
done
[ "$(digest "$file")" = "$(digest "$streamed"),$(digest "$sha")" ] || { echo "DIGESTS DIFFER: file" >&2; status=1; }

# Under wine64, beside BCrypt.
if [ -f "$win64/CMakeCache.txt" ]; then
  cmake --build "$win64" --target digest_bench >/dev/null
  VM_ROOT="$root" . "$root/scripts/wine-env"
  wine_start || true  # a wineserver of this prefix may be running already
  wbench() { "$WINE64" "$win64/bench/digest_bench.exe" --mib "$mib" --rounds "$runs" --pieces 1024 "$@" | tr -d '\r'; }
  w_md5=$(wbench)
  w_sha=$(wbench --digest sha256)
  w_bcrypt=$(wbench --digest bcrypt-sha256)
  w_file=$(wbench --digest file)
  wine_stop
  echo "Under wine64 (Windows build), 1 MiB pieces"
  printf '%-44s %10s\n' "velmorin MD5" "$(rate "$w_md5")"
  printf '%-44s %10s\n' "velmorin SHA-256" "$(rate "$w_sha")"
  printf '%-44s %10s  %s\n' "BCrypt SHA-256 (Wine's)" "$(rate "$w_bcrypt")" \
    "velmorin is $(echo "$(rate "$w_sha") $(rate "$w_bcrypt")" | awk '{printf "%.1f", $1 / $2}') x as fast"
  printf '%-44s %10s  %s\n' "velmorin FileDigests, MD5 and SHA-256" "$(rate "$w_file")" \
    "$(echo "$(rate "$w_md5") $(rate "$w_file")" | awk '{printf "%.2f x", $1 / $2}') the time of MD5 alone"
  [ "$(digest "$w_sha")" = "$(digest "$sha")" ] && [ "$(digest "$w_bcrypt")" = "$(digest "$sha")" ] &&
    [ "$(digest "$w_file")" = "$(digest "$file")" ] || { echo "DIGESTS DIFFER under wine64" >&2; status=1; }
fi
exit $status
