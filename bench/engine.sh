#!/usr/bin/env bash
# The engine's two long phases under Wine, each beside a peer in the same run:
#  - update analysis over 2,000 files (500 MB) already present, from start to the
#    decision, with the installation log closed and open, beside md5sum over the same
#    files; and what flushing every log line costs alone;
#  - the download loop over 200 files (50 MB) from a private nginx, beside the
#    reference client fetching the same files one after another plus the 100 ms wait
#    that every download attempt makes, with the log open and closed; and the loop's
#    peak working set;
#  - both again as a program built with a publisher key runs them (every file checked
#    against its signed SHA-256 too), beside the runs without one; and velmorin's
#    SHA-256 under wine64 beside `openssl speed sha256`.
# Usage: bench/engine.sh [win64 build dir]   (run by hand, not by ctest)
set -euo pipefail
VM_ROOT="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$VM_ROOT/build/win64}"
dir="$build/bench-engine"
runs="${VM_BENCH_RUNS:-3}"
product=Zentrav

cmake --build "$build" --target engine_bench reference_client digest_bench velmorin-manifest >/dev/null
source "$VM_ROOT/scripts/wine-env"
source "$VM_ROOT/bench/bench_common.sh"
wine_start
trap 'sh "$VM_ROOT/tests/support/nginx_fixture.sh" stop "$dir/download/nginx"; wine_stop' EXIT

# A publisher key of the benchmark's own; each package is signed with it.
keys="$dir/keys"
if [ ! -f "$keys/public.pem" ]; then
  mkdir -p "$keys"
  "$WINE64" "$build/tools/manifest_builder/velmorin-manifest.exe" keygen "$(windows_path "$keys/private.pem")" \
    "$(windows_path "$keys/public.pem")" >/dev/null
fi
key=$(windows_path "$keys/public.pem")

package() {  # package DIR FILES BYTES LARGEST
  if ! [ -f "$1/list" ] || [ "$(wc -l <"$1/list")" -ne "$2" ]; then
    rm -rf "$1" && mkdir -p "$1"
    python3 "$VM_ROOT/bench/make_package.py" "$1" "$2" "$3" "$4" 8
  fi
  [ "$1/downloadgi.sig" -nt "$1/list" ] && return 0
  "$WINE64" "$build/tools/manifest_builder/velmorin-manifest.exe" --product "$product" \
    --sign "$(windows_path "$keys/private.pem")" -o "$(windows_path "$1/downloadgi.txt")" \
    "$(windows_path "$1/files")" >/dev/null 2>&1
}

# --- Update analysis: the package sits where the analysis looks for it.
a="$dir/analysis"
package "$a/package" 2000 $((500 * 1024 * 1024)) $((8 * 1024 * 1024))
mkdir -p "$a/temp/Quorvane/Downloaded"
ln -sfn "$a/package/files" "$a/temp/Quorvane/Downloaded/$product"
temp=$(windows_path "$a/temp")
bytes=$(xargs -a "$a/package/list" stat -c %s | awk '{ s += $1 } END { print s }')

md5_times=(); off_times=(); on_times=(); signed_times=(); log_lines=0
for _ in $(seq "$runs"); do
  start=$(now)
  xargs -a "$a/package/list" md5sum >/dev/null
  md5_times+=("$(echo "$(now) $start" | awk '{ printf "%.6f", $1 - $2 }')")
  read -r _ files secs < <(figures "$build/bench/engine_bench.exe" analysis "$temp" "$product" \
    "$(windows_path "$a/package/downloadgi.txt")" nolog | grep '^analysis')
  off_times+=("$secs")
  read -r _ _ secs < <(figures "$build/bench/engine_bench.exe" analysis "$temp" "$product" \
    "$(windows_path "$a/package/downloadgi.txt")" nolog "$key" | grep '^analysis')
  signed_times+=("$secs")
  touch "$a/temp/velmorin.log"
  before=$(wc -l <"$a/temp/velmorin.log")
  read -r _ files secs < <(figures "$build/bench/engine_bench.exe" analysis "$temp" "$product" \
    "$(windows_path "$a/package/downloadgi.txt")" log | grep '^analysis')
  on_times+=("$secs")
  log_lines=$(( $(wc -l <"$a/temp/velmorin.log") - before ))
done
read -r _ _ flushed plain < <(figures "$build/bench/engine_bench.exe" flush "$temp" "$log_lines" | grep '^flush')

md5_s=$(printf '%s\n' "${md5_times[@]}" | best)
off_s=$(printf '%s\n' "${off_times[@]}" | best)
on_s=$(printf '%s\n' "${on_times[@]}" | best)
signed_s=$(printf '%s\n' "${signed_times[@]}" | best)
echo "Update analysis: $files files, $(awk -v b="$bytes" 'BEGIN { printf "%.0f", b / 1048576 }') MiB present, all current (best of $runs runs)"
printf '%-44s %8.3f s\n' "md5sum over the same files (native)" "$md5_s"
printf '%-44s %8.3f s  %5.2f x md5sum\n' "analysis to the decision, log closed" "$off_s" "$(awk -v a="$off_s" -v m="$md5_s" 'BEGIN { print a / m }')"
printf '%-44s %8.3f s  %5.2f x md5sum\n' "analysis to the decision, log open" "$on_s" "$(awk -v a="$on_s" -v m="$md5_s" 'BEGIN { print a / m }')"
printf '%-44s %8.3f s  %5.2f x without a key\n' "  with a publisher key, log closed" "$signed_s" "$(awk -v a="$signed_s" -v m="$off_s" 'BEGIN { print a / m }')"
printf '%-44s %8.3f s  (%d lines written and flushed one by one)\n' "  of which the log (open - closed)" "$(awk -v a="$on_s" -v b="$off_s" 'BEGIN { print a - b }')" "$log_lines"
printf '%-44s %8.3f s  (the same lines written without it: %.3f s)\n' "  the per-line flush alone" "$(awk -v f="$flushed" -v p="$plain" 'BEGIN { print f - p }')" "$plain"
echo "targets: analysis with the log closed at most 1.2 x md5sum; with a key at most 1.3 x without"
echo

# --- Download loop: 200 files from nginx into an empty download root.
d="$dir/download"
package "$d/package" 200 $((50 * 1024 * 1024)) $((20 * 1024 * 1024))
mkdir -p "$d/nginx/www/install"
ln -sfn "$d/package/files" "$d/nginx/www/install/zentrav"
sh "$VM_ROOT/tests/support/nginx_fixture.sh" start "$d/nginx" >/dev/null
port=$(cat "$d/nginx/port")
mapfile -t paths < <(sed "s|^$d/package/files|/install/zentrav|" "$d/package/list")
dbytes=$(xargs -a "$d/package/list" stat -c %s | awk '{ s += $1 } END { print s }')
largest=$(xargs -a "$d/package/list" stat -c %s | sort -n | tail -n 1)

ref_times=(); loop_times=(); quiet_times=(); signed_times=(); peak_ws=0; base_ws=0
for _ in $(seq "$runs"); do
  read -r _ got secs < <(figures "$build/bench/reference_client.exe" "$port" "${paths[@]}" store | grep '^reference')
  [ "$got" -gt "$dbytes" ] || { echo "reference client got $got bytes" >&2; exit 1; }
  ref_times+=("$secs")
  rm -rf "$d/temp" && mkdir -p "$d/temp"
  read -r _ files secs ws before < <(figures "$build/bench/engine_bench.exe" download \
    "$(windows_path "$d/temp")" "$product" "$(windows_path "$d/package/downloadgi.txt")" \
    "127.0.0.1:$port/install/zentrav" log | grep '^download')
  loop_times+=("$secs")
  [ "$ws" -gt "$peak_ws" ] && peak_ws=$ws && base_ws=$before
  rm -rf "$d/quiet" && mkdir -p "$d/quiet"
  read -r _ _ secs _ _ < <(figures "$build/bench/engine_bench.exe" download \
    "$(windows_path "$d/quiet")" "$product" "$(windows_path "$d/package/downloadgi.txt")" \
    "127.0.0.1:$port/install/zentrav" nolog | grep '^download')
  quiet_times+=("$secs")
  rm -rf "$d/signed" && mkdir -p "$d/signed"
  read -r _ _ secs _ _ < <(figures "$build/bench/engine_bench.exe" download \
    "$(windows_path "$d/signed")" "$product" "$(windows_path "$d/package/downloadgi.txt")" \
    "127.0.0.1:$port/install/zentrav" log "$key" | grep '^download')
  signed_times+=("$secs")
  # Every file arrived whole, under its real name.
  (cd "$d/package/files" && find . -type f | sort | while read -r f; do
     cmp -s "$f" "$d/temp/Quorvane/Downloaded/$product/$f" || echo "differs: $f"; done) | grep . && exit 1
done
ref_s=$(printf '%s\n' "${ref_times[@]}" | best)
loop_s=$(printf '%s\n' "${loop_times[@]}" | best)
quiet_s=$(printf '%s\n' "${quiet_times[@]}" | best)
signed_s=$(printf '%s\n' "${signed_times[@]}" | best)
waits=$(awk -v n="$files" 'BEGIN { print n * 0.1 }')
peer_s=$(awk -v r="$ref_s" -v w="$waits" 'BEGIN { print r + w }')
echo "Download loop: $files files, $(awk -v b="$dbytes" 'BEGIN { printf "%.0f", b / 1048576 }') MiB from nginx on 127.0.0.1, log open (best of $runs runs)"
printf '%-44s %8.3f s\n' "reference client, the files one by one" "$ref_s"
printf '%-44s %8.3f s\n' "  plus 100 ms per attempt" "$peer_s"
printf '%-44s %8.3f s  %5.2f x the reference with its waits\n' "download loop to the hand-over" "$loop_s" "$(awk -v a="$loop_s" -v p="$peer_s" 'BEGIN { print a / p }')"
printf '%-44s %8.3f s  %5.2f x the reference with its waits\n' "  the same with the log closed" "$quiet_s" "$(awk -v a="$quiet_s" -v p="$peer_s" 'BEGIN { print a / p }')"
printf '%-44s %8.3f s  %5.2f x without a key\n' "  with a publisher key, log open" "$signed_s" "$(awk -v a="$signed_s" -v p="$loop_s" 'BEGIN { print a / p }')"
awk -v w="$peak_ws" -v b="$base_ws" -v l="$largest" 'BEGIN {
  printf "%-44s %8.1f MiB  %5.2f x the largest file (%.1f MiB)\n", "peak working set", w / 1048576, w / l, l / 1048576
  printf "%-44s %8.1f MiB  %5.2f x the largest file\n", "  above the working set before the loop", (w - b) / 1048576, (w - b) / l
}'
echo "targets: at most 1.3 x the reference with its waits; peak working set at most 2.2 x the largest file"
echo "target with a key: at most 1.3 x the loop without one"
echo

# --- SHA-256: velmorin's under wine64 (what an installer with a key computes) beside
# OpenSSL's own measure of its speed, natively.
wbench() { "$WINE64" "$build/bench/digest_bench.exe" --mib 256 --rounds "$runs" --pieces 1024 "$@" | tr -d '\r' | awk '{ print $3 }'; }
sha=$(wbench --digest sha256)
both=$(wbench --digest file)
openssl_sha=$(openssl speed -elapsed -evp sha256 -bytes 16384 -seconds 2 2>/dev/null |
  awk '$1 == "sha256" { sub(/k$/, "", $2); printf "%.1f", $2 / 1000 }')
echo "SHA-256 throughput, 256 MiB in 1 MiB pieces (best of $runs runs)"
printf '%-44s %8s MB/s\n' "openssl speed sha256 (16 KiB blocks, native)" "$openssl_sha"
printf '%-44s %8s MB/s  %5.2f x openssl\n' "velmorin SHA-256 under wine64" "$sha" "$(awk -v a="$sha" -v o="$openssl_sha" 'BEGIN { print a / o }')"
printf '%-44s %8s MB/s\n' "velmorin MD5 and SHA-256 in one pass (wine64)" "$both"
