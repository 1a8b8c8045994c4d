#!/usr/bin/env bash
# The .deb: the program with its sample data in /opt/orderregistrering, the
# menu entry, icon, description and documents in /usr/share, its libraries
# among its dependencies, and no System folder of its own, so that the first
# installation lays one out and a reinstall or an upgrade never changes a file
# in it. Installed, System and all in it belong to the group orderregistrering
# and to no one else; an upgrade gives an earlier, world-writable System the
# group and keeps every byte. lintian, where installed, finds nothing beyond
# the two findings that are by design: the program's data beside it in /opt
# (dir-or-file-in-opt) and the data files' Windows-1252 (national-encoding).
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
            /usr/share/doc/orderregistrering/copyright /usr/share/doc/orderregistrering/changelog.gz \
            /usr/share/doc/orderregistrering/NEWS.Debian.gz; do
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

# The package installed by dpkg into a root of the test's own. Its set-up runs
# outside that root with DPKG_ROOT, as dpkg runs it for a root it does not
# enter, and makes the operators' group in the root's own group file.
modes() { # what is wrong with the modes under System (links aside): nothing when all is well
    find "$1" -type l -o -perm -o+w -printf '%p is writable by others\n' -o -perm -o+r -printf '%p is readable by others\n' \
        -o ! -group "$gid" -printf '%p is not the group'"'"'s\n' -o -type d ! -perm -2070 -printf '%p is not 2770\n' \
        -o -type f ! -perm -0660 -printf '%p is not 0660\n'
}
sums() { (cd "$1" && find . -type f -exec sha256sum {} + | sort); }
if [ "$(id -u)" != 0 ]; then
    echo "installing into a root of the test's own needs root: the installation is not checked"
else
    root=$work/root
    mkdir -p "$root/etc" "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
    touch "$root/var/lib/dpkg/status"
    printf 'root:x:0:\n' >"$root/etc/group"
    printf 'root:*::\n' >"$root/etc/gshadow"
    dpkg_install() {
        dpkg --root="$root" --force-script-chrootless --force-depends --log=/dev/null -i "$deb" >"$work/dpkg.log" 2>&1 \
            || { cat "$work/dpkg.log"; fail "dpkg could not install the package"; }
    }
    dpkg_install
    gid=$(awk -F: '$1 == "orderregistrering" { print $3 }' "$root/etc/group")
    [ -n "$gid" ] || fail "the installation made no group orderregistrering"
    data=$root/opt/orderregistrering/System
    [ -f "$data/Registret/Produkter.dbf" ] || fail "the first installation has no System folder"
    wrong=$(modes "$data")
    [ -z "$wrong" ] || fail "after the installation: $wrong"

    # An installation by the package before 1.1.0, open to every account, with
    # the business's own orders in it and a link someone left there.
    printf '2000\r\n' >"$data/Registret/OrderNr.dbf"
    printf 'kept\r\n' >"$data/Order/lista.dbf"
    echo outside >"$work/outside" && chmod 644 "$work/outside"
    ln -s "$work/outside" "$data/Order/1.basket.dbf"
    chown -R -h root:root "$data" && chmod -R a+rwX "$data"
    before=$(sums "$data")
    sed -i '/^Package: orderregistrering$/,/^$/ s/^Version: .*/Version: 1.0.0/' "$root/var/lib/dpkg/status"
    dpkg_install
    wrong=$(modes "$data")
    [ -z "$wrong" ] || fail "after an upgrade: $wrong"
    [ "$(sums "$data")" = "$before" ] || fail "an upgrade changed the data files"
    [ "$(stat -c %a:%g "$work/outside")" = 644:0 ] || fail "an upgrade followed a link in System"

    # A System folder that leads outside the program's folder is left alone.
    mv "$data" "$work/share" && ln -s "$work/share" "$data" && chmod -R a+rwX "$work/share"
    sed -i '/^Package: orderregistrering$/,/^$/ s/^Version: .*/Version: 1.0.0/' "$root/var/lib/dpkg/status"
    dpkg_install
    grep -q 'left as they are' "$work/dpkg.log" || fail "an upgrade did not say it left a linked System alone"
    [ "$(stat -c %a "$work/share/Order")" = 2777 ] || fail "an upgrade changed a System folder outside the program's"
fi

if command -v lintian >/dev/null; then
    lintian --suppress-tags dir-or-file-in-opt,national-encoding "$deb" >"$work/lintian" 2>"$work/lintian.err" || true
    [ ! -s "$work/lintian" ] || { cat "$work/lintian"; fail "lintian finds more than the two findings by design"; }
    errors=$(grep -v 'root privileges' "$work/lintian.err" || true)
    [ -z "$errors" ] || fail "lintian could not check the package: $errors"
else
    echo "lintian is not installed: the package's conventions are not checked"
fi
echo "debian package: 1 passed, 0 failed"
