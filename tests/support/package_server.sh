#!/bin/sh
# A private nginx on 127.0.0.1 playing a product's download server: a static folder,
# an access log with one line per transfer and a status page telling how many
# responses are being written at the moment.
#
#   package_server.sh start STATE ROOT PORT [RATE]   serves ROOT on 127.0.0.1:PORT, each
#                                                   response at most RATE bytes/s (nginx
#                                                   units: 512k, 2m); STATE receives the
#                                                   configuration, the pid and the logs
#   package_server.sh restart STATE [RATE] [noranges] again, with the same ROOT and PORT;
#                                                   noranges: every request gets the
#                                                   whole file, as from a server
#                                                   without byte ranges
#   package_server.sh stop STATE                     stops it (by its pid); the logs stay
#
# STATE/access.log lines: method, path as requested (escapes and all), status, body
# bytes sent, "OK" when the whole response went out. The status page is /server-status (nginx's stub_status), left out
# of the access log. STATE/ranges.log: the requests that asked for a range, as in the
# access log, then their Range and If-Range values.
set -eu
command="$1"
state="$2"
shift 2
mkdir -p "$state"
state=$(cd "$state" && pwd)

. "$(dirname "$0")/nginx_common.sh"
stop() { stop_by_pid_file "$state/nginx.pid"; }

write_config() {
  root="$1" port="$2" rate="${3:-0}" ranges="${4:-}"
  {
    nginx_config_head "$state"
    echo "  log_format transfers '\$request_method \$request_uri \$status \$body_bytes_sent \$request_completion';"
    echo "  access_log $state/access.log transfers;"
    echo "  log_format ranges '\$request_method \$request_uri \$status \$body_bytes_sent \$request_completion \$http_range \$http_if_range';"
    echo "  access_log $state/ranges.log ranges if=\$http_range;"
    echo "  server {"
    echo "    listen 127.0.0.1:$port;"
    echo "    root $root;"
    echo "    limit_rate $rate;"
    [ "$ranges" != noranges ] || echo "    max_ranges 0;"
    echo "    location = /server-status { stub_status; access_log off; }"
    echo "  }"
    echo "}"
  } >"$state/nginx.conf"
  printf '%s\n%s\n' "$root" "$port" >"$state/served"
}

start() {
  stop
  mkdir -p "$state/temp"
  port=$(sed -n 2p "$state/served")
  start_and_wait "$state/nginx.pid" "$state/nginx.out" "curl -sf -o /dev/null http://127.0.0.1:$port/server-status" \
    nginx -c "$state/nginx.conf" -g 'daemon off;' && return 0
  echo "package_server: nginx did not start on 127.0.0.1:$port:" >&2
  cat "$state/nginx.out" "$state/error.log" >&2 2>/dev/null || true
  stop
  return 1
}

case "$command" in
  start)
    [ -d "$1" ] || { echo "package_server: no folder $1" >&2; exit 2; }
    write_config "$(cd "$1" && pwd)" "$2" "${3:-0}"
    start
    ;;
  restart)
    write_config "$(sed -n 1p "$state/served")" "$(sed -n 2p "$state/served")" "${1:-0}" "${2:-}"
    start
    ;;
  stop) stop ;;
  *)
    echo "usage: $0 start STATE ROOT PORT [RATE] | restart STATE [RATE] [noranges] | stop STATE" >&2
    exit 2
    ;;
esac
