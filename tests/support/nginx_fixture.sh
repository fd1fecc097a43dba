#!/bin/sh
# A private nginx on 127.0.0.1 serving generated files of random bytes.
#   nginx_fixture.sh start DIR SIZE...   serves DIR/www/file-SIZE for every SIZE; writes
#                                        DIR/port, DIR/nginx.pid and DIR/www/file-SIZE.md5
#   nginx_fixture.sh stop DIR            stops the nginx started for DIR (by its PID)
set -eu
command="$1"
dir="$2"
shift 2
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)

. "$(dirname "$0")/nginx_common.sh"
stop() { stop_by_pid_file "$dir/nginx.pid"; }

free_port() {
  python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

write_config() {
  port="$1"
  {
    nginx_config_head "$dir"
    echo "  access_log off;"
    echo "  server { listen 127.0.0.1:$port; root $dir/www; }"
    echo "}"
  } >"$dir/nginx.conf"
}

start() {
  stop
  mkdir -p "$dir/www" "$dir/temp"
  for size in "$@"; do
    file="$dir/www/file-$size"
    if [ ! -f "$file" ] || [ "$(stat -c %s "$file")" -ne "$size" ]; then
      head -c "$size" /dev/urandom >"$file"
    fi
    md5sum "$file" | cut -d' ' -f1 >"$file.md5"
  done
  chmod -R a+rX "$dir/www"
  attempt=0
  while [ $attempt -lt 5 ]; do
    attempt=$((attempt + 1))
    port=$(free_port)
    write_config "$port"
    if start_and_wait "$dir/nginx.pid" "$dir/nginx.out" "curl -s -o /dev/null http://127.0.0.1:$port/" \
         nginx -c "$dir/nginx.conf" -g 'daemon off;'; then
      echo "$port" >"$dir/port"
      echo "nginx serving $dir/www on 127.0.0.1:$port"
      return 0
    fi
    stop
  done
  echo "nginx did not start:" >&2
  cat "$dir/nginx.out" "$dir/error.log" >&2 2>/dev/null || true
  return 1
}

case "$command" in
  start) start "$@" ;;
  stop) stop ;;
  *) echo "usage: $0 start DIR SIZE... | stop DIR" >&2; exit 2 ;;
esac
