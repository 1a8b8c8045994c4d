#!/usr/bin/env bash
# "cmake --install" lays out a self-contained folder: the program with System
# beside it, a menu entry and an icon; a second install keeps the System folder
# and the orders in it.
set -euo pipefail
build=$1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
prefix=/opt/orderregistrering

DESTDIR=$root cmake --install "$build" --prefix "$prefix" >/dev/null
for path in "$prefix/orderregistrering" "$prefix/System/Registret/Produkter.dbf" "$prefix/System/Order" \
            /usr/share/applications/orderregistrering.desktop \
            /usr/share/icons/hicolor/128x128/apps/orderregistrering.png; do
    [ -e "$root$path" ] || { echo "missing after install: $path"; exit 1; }
done
grep -q "^Exec=$prefix/orderregistrering$" "$root/usr/share/applications/orderregistrering.desktop" \
    || { echo "the menu entry does not start the installed program"; exit 1; }

printf '2000\r\n' > "$root$prefix/System/Registret/OrderNr.dbf"
printf 'kept\r\n' > "$root$prefix/System/Order/lista.dbf"
DESTDIR=$root cmake --install "$build" --prefix "$prefix" >/dev/null
[ "$(cat "$root$prefix/System/Registret/OrderNr.dbf")" = $'2000\r' ] || { echo "the order number was overwritten"; exit 1; }
[ -f "$root$prefix/System/Order/lista.dbf" ] || { echo "the order list was lost"; exit 1; }
echo "install layout: 1 passed, 0 failed"
