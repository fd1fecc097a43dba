# What the test servers' scripts share about a private nginx (and the other servers
# they run beside it). Sourced by them.

# Runs COMMAND... in the background, its pid in PIDFILE and its output in OUT, and
# waits up to 5 s until CHECK (a shell command) succeeds. Fails when the server ends
# first or the time is up; the caller reports it and stops the server.
#   start_and_wait PIDFILE OUT CHECK COMMAND...
start_and_wait() {
  started_pid_file="$1" started_out="$2" started_check="$3"
  shift 3
  "$@" </dev/null >"$started_out" 2>&1 &
  echo $! >"$started_pid_file"
  started_i=0
  while [ $started_i -lt 100 ]; do
    if eval "$started_check"; then return 0; fi
    kill -0 "$(cat "$started_pid_file")" 2>/dev/null || return 1
    sleep 0.05
    started_i=$((started_i + 1))
  done
  return 1
}

# Stops the server whose pid file is given (the file is removed), waiting up to 5 s
# before it is killed outright.
stop_by_pid_file() {
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
