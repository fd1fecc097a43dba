#!/bin/sh
# MD5 throughput of velmorin beside OpenSSL and coreutils on the same 256 MiB.
# Builds the benchmark in a Release native directory of its own (no sanitizers),
# writes its buffer to /dev/shm and times the other programs on that file.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/bench-native"
mib=${MIB:-256}
runs=${RUNS:-3}

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORIN_SANITIZE=OFF >/dev/null
cmake --build "$build" --target digest_bench -j2 >/dev/null

data=/dev/shm/velmorin-digest-bench.$$
trap 'rm -f "$data"' EXIT INT TERM

# velmorin: in memory, best of the runs.
ours=$("$build/bench/digest_bench" --mib "$mib" --rounds "$runs" --write "$data")
ours_digest=$(echo "$ours" | awk '{print $2}')
ours_rate=$(echo "$ours" | awk '{print $3}')
bytes=$(stat -c %s "$data")
# The same bytes through DigestStream in 1 MiB pieces (how the manifest builder reads).
streamed=$("$build/bench/digest_bench" --mib "$mib" --rounds "$runs" --pieces 1024)

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

openssl_line=$(time_tool openssl dgst -md5)
md5sum_line=$(time_tool sh -c 'md5sum "$1" | cut -d" " -f1' md5sum)
speed_rate=$(openssl speed -evp md5 -bytes 16384 -seconds 2 2>/dev/null |
  awk '$1 == "md5" {sub(/k$/, "", $2); printf "%.1f", $2 / 1000}')

openssl_rate=${openssl_line#* }
echo "MD5 over $(echo "$bytes" | awk '{printf "%.1f", $1 / 1e6}') MB (best of $runs)"
printf '%-32s %10s  %-8s %s\n' "program" "MB/s" "vs dgst" "digest"
row() { printf '%-32s %10s  %-8s %s\n' "$1" "$2" "$(echo "$2 $openssl_rate" | awk '{printf "%.2f", $1 / $2}')" "$3"; }
row "velmorin digestText (memory)" "$ours_rate" "$ours_digest"
row "velmorin DigestStream (1 MiB)" "$(echo "$streamed" | awk '{print $3}')" "$(echo "$streamed" | awk '{print $2}')"
row "openssl dgst -md5 (file)" "$openssl_rate" "${openssl_line%% *}"
row "md5sum (file)" "${md5sum_line#* }" "${md5sum_line%% *}"
printf '%-32s %10s  %-8s\n' "openssl speed md5 16 KiB (memory)" "$speed_rate" \
  "$(echo "$speed_rate $openssl_rate" | awk '{printf "%.2f", $1 / $2}')"
echo "velmorin / openssl speed: $(echo "$ours_rate $speed_rate" | awk '{printf "%.2f", $1 / $2}')"

if [ "$ours_digest" != "$(echo "$streamed" | awk '{print $2}')" ] || [ "$ours_digest" != "${openssl_line%% *}" ] || [ "$ours_digest" != "${md5sum_line%% *}" ]; then
  echo "DIGESTS DIFFER" >&2
  exit 1
fi
