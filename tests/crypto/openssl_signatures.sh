#!/bin/sh
# Signatures made by OpenSSL for the Windows crypto test: in DIR, a P-256 key pair
# (public.pem), the public key of another pair (other.pem), and message-N with its
# DER signature message-N.sig for N = 1..8.
set -eu
dir=$1
rm -rf "$dir" && mkdir -p "$dir" && cd "$dir"
openssl genpkey -algorithm EC -pkeyopt ec_paramgen_curve:P-256 -out private.pem 2>/dev/null
openssl pkey -in private.pem -pubout -out public.pem
openssl genpkey -algorithm EC -pkeyopt ec_paramgen_curve:P-256 2>/dev/null | openssl pkey -pubout -out other.pem
for n in 1 2 3 4 5 6 7 8; do
  head -c $((n * 1000)) /dev/urandom >"message-$n"
  openssl dgst -sha256 -sign private.pem -out "message-$n.sig" "message-$n"
done
