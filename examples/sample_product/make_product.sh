#!/bin/sh
# Writes the Kestrel-Bay sample product into a folder, ready to be served: the sample
# installer library, its settings file, a few nested directories and files (one of
# several MB), and the install manifest built with velmorin-manifest, signed when a
# private key is given.
#
#   make_product.sh FOLDER LIBRARY DESTINATION MANIFEST_TOOL [LARGE_BYTES [PRIVATE_KEY]]
#
#   FOLDER          the product folder (emptied first), e.g. www/install/scenarios/kestrel-bay
#   LIBRARY         sample_installer.dll as built
#   DESTINATION     where the sample library installs the product (a Windows path,
#                   written into install.ini)
#   MANIFEST_TOOL   velmorin-manifest, or velmorin-manifest.exe (then run under wine64)
#   LARGE_BYTES     size of the large file (default 6 MiB)
#   PRIVATE_KEY     the publisher's private key: downloadgi.sig is written too
set -eu
[ $# -ge 4 ] || { echo "usage: $0 FOLDER LIBRARY DESTINATION MANIFEST_TOOL [LARGE_BYTES [PRIVATE_KEY]]" >&2; exit 2; }
folder="$1" library="$2" destination="$3" tool="$4" large="${5:-6291456}" key="${6:-}"

rm -rf "$folder"
mkdir -p "$folder/data/maps" "$folder/data/scripts/quests" "$folder/data/sound" "$folder/docs"
folder=$(cd "$folder" && pwd)

cp "$library" "$folder/sample_installer.dll"
# The settings reader takes CR LF line ends.
printf 'DESTINATION=%s\r\n' "$destination" >"$folder/install.ini"

printf 'Kestrel Bay\r\nA harbour, a lighthouse and three quests.\r\n' >"$folder/docs/manual.txt"
printf 'quest "intro" { start = "harbour"; goal = "lighthouse" }\n' >"$folder/data/scripts/quests/intro.lua"
head -c 20000 /dev/urandom >"$folder/data/maps/harbour.map"
head -c 35000 /dev/urandom >"$folder/data/maps/lighthouse.map"
head -c "$large" /dev/urandom >"$folder/data/sound/ambience.ogg"
# Readable by the web server's workers whoever they run as.
chmod -R a+rX "$folder"

case "$tool" in
  *.exe)
    VM_ROOT=$(cd "$(dirname "$0")/../.." && pwd)
    . "$VM_ROOT/scripts/wine-env"
    "$WINE64" "$tool" --product Kestrel-Bay ${key:+--sign "$(windows_path "$key")"} \
      "$(windows_path "$folder")" </dev/null ;;
  *)
    "$tool" --product Kestrel-Bay ${key:+--sign "$key"} "$folder" ;;
esac
