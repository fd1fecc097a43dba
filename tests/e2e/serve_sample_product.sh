#!/bin/sh
# The end-to-end tests' download server: the sample product, built fresh, served by a
# private nginx on 127.0.0.1.
#
#   serve_sample_product.sh WORK PORT LIBRARY MANIFEST_TOOL
#
# WORK/www/install/scenarios/kestrel-bay   the product and its manifest
# WORK/names                               names/, names that need escaping in an address
#                                          (one in code page 1252), and the manifest of the
#                                          product with them, for a case to serve
# WORK/server                              nginx's configuration, pid and logs
# WORK/installed                           where the sample library installs it
set -eu
work="$1" port="$2" library="$3" tool="$4"
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$work"
work=$(cd "$work" && pwd)

sh "$here/../support/package_server.sh" stop "$work/server"
rm -rf "$work/server"
destination="Z:$(echo "$work/installed" | tr / '\\')"
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
case "$tool" in
  *.exe) WINEDEBUG=-all /usr/lib/wine/wine64 "$tool" --product Kestrel-Bay -o "Z:$(echo "$names/downloadgi.txt" | tr / '\\')" \
           "Z:$(echo "$product" | tr / '\\')" </dev/null ;;
  *) "$tool" --product Kestrel-Bay -o "$names/downloadgi.txt" "$product" ;;
esac
mv "$product/names" "$names/names"
mv "$names/names/caf-E9.txt" "$names/names/$cafe"
LC_ALL=C sed -i "s/caf-E9\.txt/$cafe/" "$names/downloadgi.txt"
chmod -R a+rX "$names"

sh "$here/../support/package_server.sh" start "$work/server" "$work/www" "$port"
echo "serving the sample product on 127.0.0.1:$port"
