#!/bin/sh
# The end-to-end tests' download server: the sample product, built fresh, served by a
# private nginx on 127.0.0.1.
#
#   serve_sample_product.sh WORK PORT LIBRARY MANIFEST_TOOL
#
# WORK/www/install/scenarios/kestrel-bay   the product and its manifest
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
sh "$here/../support/package_server.sh" start "$work/server" "$work/www" "$port"
echo "serving the sample product on 127.0.0.1:$port"
