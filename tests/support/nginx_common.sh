# What the test servers' scripts share about a private nginx. Sourced by them.

# Stops the nginx whose pid file is given (the file is removed), waiting up to 5 s
# before it is killed outright.
stop_nginx() {
  [ -f "$1" ] || return 0
  pid=$(cat "$1")
  rm -f "$1"
  kill -TERM "$pid" 2>/dev/null || return 0
  i=0
  while kill -0 "$pid" 2>/dev/null && [ $i -lt 100 ]; do sleep 0.05; i=$((i + 1)); done
  kill -KILL "$pid" 2>/dev/null || true
}

# Prints the start of a configuration whose every file lies in DIR, up to and into
# its http block (the caller adds its logs and servers, and closes the block).
nginx_config_head() {
  # As root nginx would hand its workers to "nobody", who may not read the files.
  [ "$(id -u)" -eq 0 ] && echo "user root;"
  echo "worker_processes 1;"
  echo "pid $1/nginx.run.pid;"
  echo "error_log $1/error.log;"
  echo "events { worker_connections 64; }"
  echo "http {"
  echo "  sendfile on;"
  echo "  default_type application/octet-stream;"
  # Temporary paths of the modules this nginx has, so nothing outside DIR is needed.
  for kind in client-body proxy fastcgi uwsgi scgi; do
    if nginx -V 2>&1 | grep -q -- "--http-$kind-temp-path"; then
      echo "  $(echo "$kind" | tr - _)_temp_path $1/temp/$kind;"
    fi
  done
}
