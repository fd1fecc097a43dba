#!/usr/bin/env bash
# Download speed of downloadFile under Wine beside curl (native) and a minimal Win32
# client under Wine that reads with 64 KiB recv calls, all from one private nginx on
# loopback serving a 256 MiB file; then the same file over HTTPS from an nginx with a
# test authority that the Wine prefix trusts (tests/support/tls_servers.sh), beside
# curl over HTTPS. Prints MB/s, the ratios, downloadFile's peak memory and the time
# of the first HTTPS connection up to its certificate check.
# Usage: bench/download.sh [win64 build dir]   (run by hand, not by ctest)
set -euo pipefail
VM_ROOT="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$VM_ROOT/build/win64}"
size=$((256 * 1024 * 1024))
dir="$build/bench-download"
runs="${VM_BENCH_RUNS:-3}"

cmake --build "$build" --target download_bench reference_client trust_root_certificate >/dev/null
source "$VM_ROOT/scripts/wine-env"
source "$VM_ROOT/bench/bench_common.sh"
sh "$VM_ROOT/tests/support/nginx_fixture.sh" start "$dir" "$size" >/dev/null
trap 'sh "$VM_ROOT/tests/support/nginx_fixture.sh" stop "$dir"; sh "$VM_ROOT/tests/support/tls_servers.sh" stop "$dir/tls"' EXIT
port=$(cat "$dir/port")
file="file-$size"
# The HTTPS servers take the seven ports of the build's VELMORIN_TLS_PORT.
tls_port=$(sed -n 's/^VELMORIN_TLS_PORT:STRING=//p' "$build/CMakeCache.txt")
sh "$VM_ROOT/tests/support/tls_servers.sh" start "$dir/tls" "$dir/www" "$tls_port" >/dev/null
"$WINE64" "$build/tests/trust_root_certificate.exe" "$dir/tls/ca.pem"

curl_times=(); ref_times=(); store_times=(); dl_times=(); peak_ws=0; peak_commit=0
tls_curl_times=(); tls_curl_handshakes=(); tls_times=(); tls_first=""
for _ in $(seq "$runs"); do
  curl_times+=("$(curl -s -o /dev/null -w '%{time_total}' "http://127.0.0.1:$port/$file")")
  read -r _ bytes secs < <(figures "$build/bench/reference_client.exe" "$port" "/$file" | grep '^reference')
  [ "$bytes" -ge "$size" ] || { echo "reference client got $bytes bytes" >&2; exit 1; }
  ref_times+=("$secs")
  read -r _ bytes secs < <(figures "$build/bench/reference_client.exe" "$port" "/$file" store | grep '^reference')
  store_times+=("$secs")
  read -r _ bytes secs ws commit _ < <(figures "$build/bench/download_bench.exe" "127.0.0.1:$port" "$file" | grep '^downloadFile')
  [ "$bytes" -eq "$size" ] || { echo "downloadFile got $bytes bytes" >&2; exit 1; }
  dl_times+=("$secs")
  read -r total handshake < <(curl -s -o /dev/null --cacert "$dir/tls/ca.pem" \
    -w '%{time_total} %{time_appconnect} %{time_connect}\n' "https://127.0.0.1:$tls_port/$file" |
    awk '{ print $1, $2 - $3 }')
  tls_curl_times+=("$total"); tls_curl_handshakes+=("$handshake")
  read -r _ bytes secs _ _ connected < <(figures "$build/bench/download_bench.exe" "https://127.0.0.1:$tls_port" "$file" | grep '^downloadFile')
  [ "$bytes" -eq "$size" ] || { echo "downloadFile over HTTPS got $bytes bytes" >&2; exit 1; }
  tls_times+=("$secs")
  [ -n "$tls_first" ] || tls_first=$connected
  [ "$ws" -gt "$peak_ws" ] && peak_ws=$ws
  [ "$commit" -gt "$peak_commit" ] && peak_commit=$commit
done

curl_s=$(printf '%s\n' "${curl_times[@]}" | best)
ref_s=$(printf '%s\n' "${ref_times[@]}" | best)
store_s=$(printf '%s\n' "${store_times[@]}" | best)
dl_s=$(printf '%s\n' "${dl_times[@]}" | best)
tls_s=$(printf '%s\n' "${tls_times[@]}" | best)
tls_curl_s=$(printf '%s\n' "${tls_curl_times[@]}" | best)
tls_curl_hs=$(printf '%s\n' "${tls_curl_handshakes[@]}" | best)
# downloadFile waits 100 ms before its first attempt by design; shown apart.
dl_net_s=$(awk -v s="$dl_s" 'BEGIN { print s - 0.1 }')

echo "256 MiB from nginx on 127.0.0.1, best of $runs runs"
printf '%-34s %6s MB/s\n' "curl (native)" "$(mbps "$size" "$curl_s")"
printf '%-34s %6s MB/s\n' "reference client (Wine, 64 KiB)" "$(mbps "$size" "$ref_s")"
printf '%-34s %6s MB/s\n' "reference client keeping the body" "$(mbps "$size" "$store_s")"
printf '%-34s %6s MB/s\n' "downloadFile (Wine, whole call)" "$(mbps "$size" "$dl_s")"
printf '%-34s %6s MB/s\n' "downloadFile (without 100 ms wait)" "$(mbps "$size" "$dl_net_s")"
awk -v c="$curl_s" -v r="$ref_s" -v k="$store_s" -v d="$dl_s" -v n="$dl_net_s" 'BEGIN {
  printf "ratio downloadFile / reference: %.2f (%.2f without the wait)\n", r / d, r / n
  printf "ratio downloadFile / reference keeping the body: %.2f (%.2f without the wait)\n", k / d, k / n
  printf "ratio downloadFile / curl:      %.2f\n", c / d
}'
awk -v w="$peak_ws" -v p="$peak_commit" -v s="$size" 'BEGIN {
  printf "downloadFile peak memory: working set %.0f MiB (%.2f x file), commit %.0f MiB (%.2f x file)\n",
         w / 1048576, w / s, p / 1048576, p / s
}'

echo
echo "The same file over HTTPS (TLS 1.2 or 1.3 as negotiated), best of $runs runs"
printf '%-34s %6s MB/s\n' "curl (native)" "$(mbps "$size" "$tls_curl_s")"
printf '%-34s %6s MB/s\n' "downloadFile (Wine, whole call)" "$(mbps "$size" "$tls_s")"
awk -v p="$dl_s" -v t="$tls_s" -v c="$tls_curl_s" -v f="$tls_first" -v h="$tls_curl_hs" 'BEGIN {
  printf "ratio downloadFile HTTPS / plain HTTP: %.2f (target 0.7 or more)\n", p / t
  printf "ratio downloadFile HTTPS / curl HTTPS: %.2f\n", c / t
  printf "first HTTPS connection of a run, lookup to certificate check: %.0f ms (curl handshake: %.0f ms)\n", f * 1000, h * 1000
}'
