#!/usr/bin/env bash
# "cmake --install --prefix X" puts every file under X: the program with its
# System folder beside it, the menu entry that starts it, the icon and the
# software centres' description; nothing is written outside X, and a second
# install keeps the System folder and the orders in it.
set -euo pipefail
build=$1
programdir=${2:-lib/orderregistrering} # under the prefix, as the build was configured
datadir=${3:-share}
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
prefix=$root/prefix
program=$prefix/$programdir
share=$prefix/$datadir
fail() { echo "$*"; exit 1; }

touch "$root/before"
cmake --install "$build" --prefix "$prefix" >/dev/null

for path in "$program/orderregistrering" "$program/System/Registret/Produkter.dbf" "$program/System/Order" \
            "$share/applications/orderregistrering.desktop" \
            "$share/icons/hicolor/128x128/apps/orderregistrering.png" \
            "$share/metainfo/se.orderregistrering.orderregistrering.metainfo.xml"; do
    [ -e "$path" ] || fail "missing after install: ${path#"$root"}"
done
grep -qx "Exec=$program/orderregistrering" "$share/applications/orderregistrering.desktop" \
    || fail "the menu entry does not start the installed program"

# Every file the install names lies under the prefix.
outside=$(grep -v "^$prefix/" "$build/install_manifest.txt" || true)
[ -z "$outside" ] || fail "installed outside the prefix: $outside"
# Nothing of the program appeared where installs usually write; the build
# folder (the manifest) and the prefix itself are the install's own.
for dir in /usr /opt /etc /var "${HOME:-/root}/.local"; do
    [ -d "$dir" ] || continue
    written=$(find "$dir" -xdev -newer "$root/before" -iname '*orderregistrering*' -print 2>/dev/null | head -5)
    [ -z "$written" ] || fail "written outside the prefix: $written"
done

# A staged install (DESTDIR) keeps to the prefix inside the stage as well.
DESTDIR=$root/stage cmake --install "$build" --prefix "$prefix" >/dev/null
strays=$(cd "$root/stage" && find . -type f ! -path ".$prefix/*" | head -5)
[ -z "$strays" ] || fail "staged outside the prefix: $strays"

if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$share/metainfo/se.orderregistrering.orderregistrering.metainfo.xml" \
        >"$root/appstream" 2>&1 || { cat "$root/appstream"; fail "the AppStream description is not valid"; }
fi
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$share/applications/orderregistrering.desktop" \
        || fail "the menu entry is not valid"
fi

printf '2000\r\n' > "$program/System/Registret/OrderNr.dbf"
printf 'kept\r\n' > "$program/System/Order/lista.dbf"
cmake --install "$build" --prefix "$prefix" >/dev/null
[ "$(cat "$program/System/Registret/OrderNr.dbf")" = $'2000\r' ] || fail "the order number was overwritten"
[ -f "$program/System/Order/lista.dbf" ] || fail "the order list was lost"
echo "install layout: 1 passed, 0 failed"
