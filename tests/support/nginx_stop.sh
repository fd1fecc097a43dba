# Stops the nginx whose pid file is given (the file is removed), waiting up to 5 s
# before it is killed outright. Sourced by the test servers' scripts.
stop_nginx() {
  [ -f "$1" ] || return 0
  pid=$(cat "$1")
  rm -f "$1"
  kill -TERM "$pid" 2>/dev/null || return 0
  i=0
  while kill -0 "$pid" 2>/dev/null && [ $i -lt 100 ]; do sleep 0.05; i=$((i + 1)); done
  kill -KILL "$pid" 2>/dev/null || true
}
