#!/bin/sh
# The end-to-end tests' download server: the sample product, built fresh, served by a
# private nginx on 127.0.0.1.
#
#   serve_sample_product.sh WORK PORT LIBRARY MANIFEST_TOOL PRIVATE_KEY
#
# WORK/www/install/scenarios/kestrel-bay   the product and its manifest
# WORK/www/install/scenarios/kestrel-bay-signed
#                                          a copy signed with PRIVATE_KEY as release
#                                          1000; its harbour.map begins with one half
#                                          of a known MD5 collision, WORK/harbour-twin.map
#                                          with the other: the same MD5, another file
# WORK/names                               names/, names that need escaping in an address
#                                          (one in code page 1252), and the manifest of the
#                                          product with them, for a case to serve
# WORK/server                              nginx's configuration, pid and logs
# WORK/installed                           where the sample library installs it
set -eu
work="$1" port="$2" library="$3" tool="$4" key="$5"
here=$(cd "$(dirname "$0")" && pwd)
VM_ROOT=$(cd "$here/../.." && pwd)
. "$VM_ROOT/scripts/wine-env"
# velmorin-manifest.exe under Wine for the product Kestrel-Bay (these tests are
# built for Windows only).
manifest_tool() { "$WINE64" "$tool" --product Kestrel-Bay "$@" </dev/null; }
mkdir -p "$work"
work=$(cd "$work" && pwd)

sh "$here/../support/package_server.sh" stop "$work/server"
rm -rf "$work/server"
destination=$(windows_path "$work/installed")
sh "$here/../../examples/sample_product/make_product.sh" \
  "$work/www/install/scenarios/kestrel-bay" "$library" "$destination" "$tool" 4194304
# Each file holds its name as the manifest writes it. The byte beyond ASCII goes into
# the name only once the folder is listed: under Wine the tool could not read it.
product="$work/www/install/scenarios/kestrel-bay" names="$work/names"
rm -rf "$names"
mkdir -p "$names/names/%2e%2e"
for name in 'my file.txt' 'a#b.txt' '100%.txt' 'x+y&z=1.txt' "[1]'s;.txt"; do
  printf '%s' "$name" >"$names/names/$name"
done
printf '%s' '%2e%2e\secret.txt' >"$names/names/%2e%2e/secret.txt"
cafe=$(printf 'caf\351.txt')
printf '%s' "$cafe" >"$names/names/caf-E9.txt"
mv "$names/names" "$product/names"
manifest_tool -o "$(windows_path "$names/downloadgi.txt")" "$(windows_path "$product")"
mv "$product/names" "$names/names"
mv "$names/names/caf-E9.txt" "$names/names/$cafe"
LC_ALL=C sed -i "s/caf-E9\.txt/$cafe/" "$names/downloadgi.txt"
chmod -R a+rX "$names"

signed="$work/www/install/scenarios/kestrel-bay-signed"
sh "$here/../../examples/sample_product/make_product.sh" "$signed" "$library" "$destination" "$tool" 65536
python3 - "$signed/data/maps/harbour.map" "$work/harbour-twin.map" <<'EOF'
import sys
# The two halves differ in the top bit of six bytes and have the same MD5.
half = bytes.fromhex("d131dd02c5e6eec4693d9a0698aff95c2fcab58712467eab4004583eb8fb7f8955ad340609f4b30283e4888325"
                     "71415a085125e8f7cdc99fd91dbdf280373c5bd8823e3156348f5bae6dacd436c919c6dd53e2b487da03fd0239"
                     "6306d248cda0e99f33420f577ee8ce54b67080a80d1ec69821bcb6a8839396f9652b6ff72a70")
twin = bytes(b ^ (0x80 if i in (19, 45, 59, 83, 109, 123) else 0) for i, b in enumerate(half))
rest = open(sys.argv[1], "rb").read()[128:]
for path, start in zip(sys.argv[1:], (half, twin)):
    open(path, "wb").write(start + rest)
EOF
manifest_tool --sign "$(windows_path "$key")" --serial 1000 "$(windows_path "$signed")"
chmod -R a+rX "$signed"

sh "$here/../support/package_server.sh" start "$work/server" "$work/www" "$port"
echo "serving the sample product on 127.0.0.1:$port"
