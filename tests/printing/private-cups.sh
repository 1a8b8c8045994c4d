#!/bin/sh
# Runs a print server of the test's own: its configuration, spool and logs in
# the folder given, listening on 127.0.0.1 at the port given, with one
# PDF-writing queue as its default. The machine's own print server and its
# printers are left alone.
#
# The queue cannot print to the edge of the paper, as an office printer
# cannot: on A4 it keeps 17 pt free at the sides and 23 pt at the top and
# bottom, on Letter 18 pt at the sides and 36 pt at the top and bottom. Its
# paper is A4 until lpadmin -o PageSize=... says otherwise.
#
#   private-cups.sh start FOLDER PORT   starts it and waits until it answers
#   private-cups.sh stop FOLDER         stops it
set -eu

command="$1"
folder="$2"

# An administration request, again a few times while a freshly started
# server still turns connections away.
admin() {
    tries=0
    until lpadmin "$@" 2>"$folder/log/lpadmin.err"; do
        tries=$((tries + 1))
        if [ "$tries" -gt 20 ]; then
            cat "$folder/log/lpadmin.err" >&2
            return 1
        fi
        sleep 0.1
    done
}

case "$command" in
start)
    port="$3"
    mkdir -p "$folder/spool/tmp" "$folder/cache" "$folder/state" "$folder/log" "$folder/ppd" "$folder/out"
    # The filters run as the lp user and must reach the spool.
    chmod 0755 "$folder" "$folder/out"
    cat >"$folder/cupsd.conf" <<CONF
Listen 127.0.0.1:$port
LogLevel warn
MaxLogSize 0
PreserveJobFiles Yes
PreserveJobHistory Yes
Browsing No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Location /admin>
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order allow,deny
    Allow all
  </Limit>
</Policy>
CONF
    cat >"$folder/cups-files.conf" <<CONF
ServerRoot $folder
RequestRoot $folder/spool
TempDir $folder/spool/tmp
CacheDir $folder/cache
StateDir $folder/state
AccessLog $folder/log/access_log
ErrorLog $folder/log/error_log
PageLog $folder/log/page_log
FileDevice Yes
Sandboxing Relaxed
CONF
    /usr/sbin/cupsd -f -c "$folder/cupsd.conf" -s "$folder/cups-files.conf" </dev/null >"$folder/log/cupsd.out" 2>&1 &
    echo $! >"$folder/cupsd.pid"
    server="127.0.0.1:$port"
    tries=0
    until lpstat -h "$server" -r >/dev/null 2>&1; do
        tries=$((tries + 1))
        if [ "$tries" -gt 100 ]; then
            echo "the print server did not answer; its log:" >&2
            cat "$folder/log/error_log" >&2 2>/dev/null || true
            exit 1
        fi
        sleep 0.1
    done
    sed -e 's|^\*ImageableArea A4/A4: .*|*ImageableArea A4/A4: "17 23 578 819"|' \
        -e 's|^\*ImageableArea Letter/US Letter: .*|*ImageableArea Letter/US Letter: "18 36 594 756"|' \
        /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd >"$folder/OrderPDF.ppd"
    if [ "$(grep -c '^\*ImageableArea \(A4/A4: "17 23\|Letter/US Letter: "18 36\)' "$folder/OrderPDF.ppd")" != 2 ]; then
        echo "the queue's description has no A4 and Letter areas to narrow" >&2
        exit 1
    fi
    admin -h "$server" -p OrderPDF -E -v cups-pdf:/ -P "$folder/OrderPDF.ppd"
    admin -h "$server" -d OrderPDF
    ;;
stop)
    if [ -f "$folder/cupsd.pid" ]; then
        pid="$(cat "$folder/cupsd.pid")"
        kill "$pid" 2>/dev/null || true
        # Wait until it has let go of its folder (a process that has ended but
        # not been collected by its parent counts as gone).
        tries=0
        while [ "$tries" -lt 50 ] && kill -0 "$pid" 2>/dev/null \
            && [ "$(awk '{print $3}' "/proc/$pid/stat" 2>/dev/null)" != Z ]; do
            tries=$((tries + 1))
            sleep 0.1
        done
        rm -f "$folder/cupsd.pid"
    fi
    ;;
*)
    echo "usage: $0 start FOLDER PORT | stop FOLDER" >&2
    exit 2
    ;;
esac
