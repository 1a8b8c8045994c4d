# Installs the Debian packages named as arguments that are not installed yet.
# Sourced by the other scripts.
install_missing() {
    local missing=()
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$package")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# What building and running the program needs.
# qt6-translations-l10n holds Qt's own texts in Swedish; the program runs without it. Price lists are read
# with libcsv; backups are zip archives (libarchive); xdg-utils opens the desktop's mail program and file manager.
program_packages=(cmake ninja-build g++ qt6-base-dev qt6-pdf-dev libcups2-dev libcsv-dev libarchive-dev xdg-utils
                  qt6-translations-l10n fonts-liberation xvfb xauth)
# What the tests need besides: PDF checks, a private print server, fuzzing and benchmarks, tracing the
# syncs of a printout (strace), and building the .deb (dpkg-dev) and checking it (lintian) and its
# software-centre description (appstream), listing a backup with a zip tool of its own (unzip), and reading the
# program as a screen reader does, over the desktop's accessibility bus on a session bus of its own, with keys
# typed into its windows (xdotool), and two desks over a network share of the machine's own: an sshd on
# 127.0.0.1 and two sshfs mounts of it (openssh-server, sshfs, fuse3).
test_packages=(poppler-utils cups cups-client printer-driver-cups-pdf clang-14 libclang-rt-14-dev
               libbenchmark-dev imagemagick strace dpkg-dev lintian appstream unzip python3-pyatspi at-spi2-core
               dbus xdotool openssh-server sshfs fuse3)
