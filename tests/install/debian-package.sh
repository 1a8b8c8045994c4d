#!/usr/bin/env bash
# The .deb: the program with its sample data in /opt/orderregistrering, the
# menu entry, icon, description and documents in /usr/share, its libraries
# among its dependencies, and no System folder of its own, so that the first
# installation lays one out and a reinstall or an upgrade never touches it.
# lintian, where installed, finds nothing beyond the two findings that are by
# design: the program's data beside it in /opt (dir-or-file-in-opt) and the
# data files' Windows-1252 (national-encoding).
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "$*"; exit 1; }

# The library dependencies are computed by dpkg-dev's dpkg-shlibdeps.
command -v dpkg-shlibdeps >/dev/null || { echo "dpkg-dev is not installed: no package to check"; exit 77; }
cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 \
    || { cat "$work/cpack.log"; fail "cpack could not build the package"; }
deb=$(ls "$work"/out/orderregistrering_*.deb)

dpkg-deb -c "$deb" | awk '{ print $6 }' | sed 's|^\./|/|' >"$work/contents"
for path in /opt/orderregistrering/orderregistrering \
            /opt/orderregistrering/share/sample-data/System/Registret/Produkter.dbf \
            /usr/share/applications/orderregistrering.desktop \
            /usr/share/icons/hicolor/128x128/apps/orderregistrering.png \
            /usr/share/metainfo/se.orderregistrering.orderregistrering.metainfo.xml \
            /usr/share/doc/orderregistrering/copyright /usr/share/doc/orderregistrering/changelog.gz; do
    grep -qx "$path" "$work/contents" || fail "the package lacks $path"
done
! grep -q '^/opt/orderregistrering/System' "$work/contents" || fail "the package holds a System folder of its own"
strays=$(grep -v '^/opt/$\|^/opt/orderregistrering/\|^/usr/$\|^/usr/share/' "$work/contents" || true)
[ -z "$strays" ] || fail "the package installs outside its layout: $strays"

depends=$(dpkg-deb -f "$deb" Depends)
for package in libc6 libstdc++6 libqt6widgets6 qt6-qpa-plugins fonts-liberation qt6-translations-l10n; do
    [[ ", $depends," == *", $package "* || ", $depends," == *", $package,"* ]] \
        || fail "the package does not depend on $package: $depends"
done
dpkg-deb -x "$deb" "$work/root"
grep -qx 'Exec=/opt/orderregistrering/orderregistrering' "$work/root/usr/share/applications/orderregistrering.desktop" \
    || fail "the menu entry does not start the packaged program"

# The package's set-up, run as dpkg runs it into another root.
dpkg-deb -e "$deb" "$work/control"
DPKG_ROOT=$work/root sh "$work/control/postinst" configure
data=$work/root/opt/orderregistrering/System
[ -f "$data/Registret/Produkter.dbf" ] || fail "the first installation has no System folder"
[ "$(stat -c %a "$data/Registret/OrderNr.dbf")" = 666 ] || fail "the order-number file is not writable by the operator"
[ "$(stat -c %a "$data/Registret/Felmeddelande")" = 777 ] || fail "the catalogue folder is not open to the operator"
printf '2000\r\n' >"$data/Registret/OrderNr.dbf"
printf 'kept\r\n' >"$data/Order/lista.dbf"
# An upgrade unpacks the package's files again and runs the set-up again.
dpkg-deb -x "$deb" "$work/root"
DPKG_ROOT=$work/root sh "$work/control/postinst" configure
[ "$(cat "$data/Registret/OrderNr.dbf")" = $'2000\r' ] || fail "an upgrade overwrote the order number"
[ -f "$data/Order/lista.dbf" ] || fail "an upgrade lost the order list"

if command -v lintian >/dev/null; then
    lintian --suppress-tags dir-or-file-in-opt,national-encoding "$deb" >"$work/lintian" 2>"$work/lintian.err" || true
    [ ! -s "$work/lintian" ] || { cat "$work/lintian"; fail "lintian finds more than the two findings by design"; }
    errors=$(grep -v 'root privileges' "$work/lintian.err" || true)
    [ -z "$errors" ] || fail "lintian could not check the package: $errors"
else
    echo "lintian is not installed: the package's conventions are not checked"
fi
echo "debian package: 1 passed, 0 failed"
