#!/bin/sh
# The HTTPS side of the tests: a test certificate authority made with openssl, a
# private nginx serving a folder over TLS, and a tinyproxy that asks for Basic
# credentials. Seven loopback ports from BASE on:
#   BASE    TLS, a certificate for 127.0.0.1 and localhost     (the good server)
#   BASE+1  plain HTTP, every request redirected to BASE over https
#   BASE+2  TLS, a certificate made out to wrong.example       (wrong name)
#   BASE+3  TLS, a certificate that expired in 2020            (expired)
#   BASE+4  TLS, a certificate from an authority nobody trusts (unknown issuer)
#   BASE+5  tinyproxy, Basic user "velmorin", password "opensesame"
#   BASE+6  TLS 1.0 only                                        (too old)
# Redirects keep the host name asked for; on the TLS servers /down/<path> redirects
# to http://<host>:BASE+1/<path>. BASE+1 also serves /proxy.pac, a proxy script that
# sends localhost through the proxy and everything else straight.
#
#   tls_servers.sh start STATE ROOT BASE   STATE/ca.pem is the authority to trust;
#                                          STATE/access.log, STATE/proxy.log the logs
#   tls_servers.sh stop STATE
set -eu
command="$1"
state="$2"
mkdir -p "$state"
state=$(cd "$state" && pwd)

. "$(dirname "$0")/nginx_common.sh"

stop() {
  stop_by_pid_file "$state/nginx.pid"
  stop_by_pid_file "$state/tinyproxy.pid"
}

# A server certificate signed by the test authority: NAME, SAN, then openssl ca's
# validity options.
issue() {
  name="$1" san="$2"
  shift 2
  openssl req -new -newkey rsa:2048 -nodes -keyout "$state/$name.key" -out "$state/ca/$name.csr" \
    -subj "/CN=$name" 2>/dev/null
  printf 'subjectAltName = %s\nextendedKeyUsage = serverAuth\nbasicConstraints = CA:FALSE\n' "$san" \
    >"$state/ca/$name.ext"
  openssl ca -batch -notext -config "$state/ca/ca.cnf" -in "$state/ca/$name.csr" -out "$state/$name.pem" \
    -extfile "$state/ca/$name.ext" "$@" 2>/dev/null
}

make_certificates() {
  rm -rf "$state/ca"
  mkdir -p "$state/ca/new"
  : >"$state/ca/index.txt"
  echo 1000 >"$state/ca/serial"
  printf '[ca]\ndefault_ca = test\n[test]\ndatabase = %s\nnew_certs_dir = %s\nserial = %s\ndefault_md = sha256\npolicy = any\nunique_subject = no\n[any]\ncommonName = supplied\n' \
    "$state/ca/index.txt" "$state/ca/new" "$state/ca/serial" >"$state/ca/ca.cnf"
  openssl req -x509 -newkey rsa:2048 -nodes -keyout "$state/ca/ca.key" -out "$state/ca.pem" -days 30 \
    -subj "/CN=velmorin test authority" -addext "basicConstraints=critical,CA:TRUE" \
    -addext "keyUsage=critical,keyCertSign,cRLSign" 2>/dev/null
  set -- -cert "$state/ca.pem" -keyfile "$state/ca/ca.key"
  issue good "DNS:127.0.0.1, IP:127.0.0.1, DNS:localhost" "$@" -days 30
  issue wrong-name "DNS:wrong.example" "$@" -days 30
  issue expired "DNS:127.0.0.1, IP:127.0.0.1, DNS:localhost" "$@" \
    -startdate 20200101000000Z -enddate 20200201000000Z
  # Self-signed, so its issuer is in no store.
  openssl req -x509 -newkey rsa:2048 -nodes -keyout "$state/stranger.key" -out "$state/stranger.pem" \
    -days 30 -subj "/CN=127.0.0.1" -addext "subjectAltName=DNS:127.0.0.1, IP:127.0.0.1, DNS:localhost" 2>/dev/null
}

tls_server() {
  echo "  server { listen 127.0.0.1:$1 ssl; ssl_certificate $state/$2.pem;"
  echo "    ssl_certificate_key $state/$2.key; ssl_protocols ${3:-TLSv1.2 TLSv1.3}; root $root;"
  echo "    location /down/ { rewrite ^/down/(.*)\$ http://\$host:$(($base + 1))/\$1 redirect; } }"
}

write_config() {
  {
    nginx_config_head "$state"
    echo "  log_format transfers '\$server_port \$request_method \$uri \$status \$body_bytes_sent \$request_completion';"
    echo "  access_log $state/access.log transfers;"
    tls_server "$base" good
    echo "  server { listen 127.0.0.1:$(($base + 1)); root $root;"
    echo "    location = /proxy.pac { default_type application/x-ns-proxy-autoconfig; return 200"
    echo "      'function FindProxyForURL(url, host) { return host == \"localhost\" ? \"PROXY 127.0.0.1:$(($base + 5))\" : \"DIRECT\"; }'; }"
    echo "    location / { return 301 https://\$host:$base\$request_uri; } }"
    tls_server $(($base + 2)) wrong-name
    tls_server $(($base + 3)) expired
    tls_server $(($base + 4)) stranger
    tls_server $(($base + 6)) good "TLSv1; ssl_ciphers DEFAULT@SECLEVEL=0"
    echo "}"
  } >"$state/nginx.conf"
  {
    echo "Port $(($base + 5))"
    echo "Listen 127.0.0.1"
    echo "Timeout 60"
    echo "LogFile \"$state/proxy.log\""
    echo "LogLevel Info"
    echo "MaxClients 32"
    echo "Allow 127.0.0.1"
    echo "BasicAuth velmorin opensesame"
  } >"$state/tinyproxy.conf"
}

# Reports that NAME did not start, and stops everything.
not_started() {
  echo "tls_servers: $1 did not start" >&2
  cat "$state/error.log" "$state/nginx.out" "$state/tinyproxy.out" >&2 2>/dev/null || true
  stop
  return 1
}

case "$command" in
  start)
    root=$(cd "$3" && pwd)
    base="$4"
    stop
    make_certificates
    write_config
    mkdir -p "$state/temp"
    : >"$state/access.log"
    : >"$state/proxy.log"
    start_and_wait "$state/nginx.pid" "$state/nginx.out" "curl -s -o /dev/null --cacert '$state/ca.pem' https://127.0.0.1:$base/" \
      nginx -c "$state/nginx.conf" -g 'daemon off;' || not_started nginx
    start_and_wait "$state/tinyproxy.pid" "$state/tinyproxy.out" "curl -s -o /dev/null http://127.0.0.1:$(($base + 5))/" \
      tinyproxy -d -c "$state/tinyproxy.conf" || not_started tinyproxy
    echo "TLS servers from 127.0.0.1:$base, proxy on $(($base + 5))"
    ;;
  stop) stop ;;
  *)
    echo "usage: $0 start STATE ROOT BASE | stop STATE" >&2
    exit 2
    ;;
esac
