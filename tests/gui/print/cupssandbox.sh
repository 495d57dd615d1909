#!/usr/bin/env bash
# A private print spooler for the end-to-end print tests: its own cupsd, configuration and spool under DIR,
# reached through a socket in DIR, with one queue on the cups-pdf backend as its default printer. It never
# touches the machine's own print queues; the one file it puts outside DIR is the queue's cups-pdf
# configuration, which cups-pdf only reads from /etc/cups, and `stop` takes it away again.
#
#   tests/gui/print/cupssandbox.sh start DIR   start the spooler; prints the CUPS_SERVER value to use
#   tests/gui/print/cupssandbox.sh stop DIR    stop it and remove the queue's configuration
#   tests/gui/print/cupssandbox.sh run DIR COMMAND...   start, run COMMAND with CUPS_SERVER set, stop
#
# COMMAND also gets TARVELIN_TEST_PDF_DIR, where the queue writes its PDF files, and TARVELIN_TEST_CUPSD_PID,
# so a test can stall the spooler with SIGSTOP.
set -euo pipefail

queue=tarvelin-pdf
pdfConfig=/etc/cups/cups-pdf-$queue.conf

start() {
    local dir
    dir=$(realpath -m "$1")
    stop "$dir" 2>/dev/null || true
    rm -rf "$dir"
    mkdir -p "$dir"/{etc/ppd,etc/ssl,spool/tmp,cache,state,log,pdf}
    chmod 0755 "$dir" "$dir"/etc "$dir"/etc/ppd "$dir"/log "$dir"/pdf
    chmod 0710 "$dir"/spool
    chown root:lp "$dir"/spool "$dir"/spool/tmp 2>/dev/null || true
    chmod 1770 "$dir"/spool/tmp

    cat >"$dir"/etc/cups-files.conf <<CONF
ServerRoot $dir/etc
RequestRoot $dir/spool
TempDir $dir/spool/tmp
CacheDir $dir/cache
StateDir $dir/state
ServerBin /usr/lib/cups
DataDir /usr/share/cups
DocumentRoot /usr/share/cups/doc-root
ErrorLog $dir/log/error_log
AccessLog $dir/log/access_log
PageLog $dir/log/page_log
User lp
Group lp
SystemGroup root lpadmin
CONF
    cat >"$dir"/etc/cupsd.conf <<CONF
LogLevel warn
Listen $dir/cups.sock
Browsing No
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
    cat >"$pdfConfig" <<CONF
Out $dir/pdf
AnonDirName $dir/pdf
Label 0
CONF

    # In the foreground, in the background of this script, so that its process id is known for `stop`.
    cupsd -f -c "$dir"/etc/cupsd.conf -s "$dir"/etc/cups-files.conf </dev/null >/dev/null 2>&1 &
    echo $! >"$dir"/cupsd.pid
    for _ in $(seq 50); do
        [ -S "$dir"/cups.sock ] && break
        sleep 0.1
    done
    export CUPS_SERVER="$dir/cups.sock"
    lpadmin -p "$queue" -E -v "cups-pdf:/$queue" -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
    lpadmin -d "$queue"
    echo "$CUPS_SERVER"
}

stop() {
    local dir
    dir=$(realpath -m "$1")
    if [ -f "$dir"/cupsd.pid ]; then
        kill "$(cat "$dir"/cupsd.pid)" 2>/dev/null || true
        for _ in $(seq 50); do
            [ -f "$dir"/cupsd.pid ] && kill -0 "$(cat "$dir"/cupsd.pid)" 2>/dev/null || break
            sleep 0.1
        done
    fi
    rm -f "$pdfConfig"
}

case "${1:-}" in
start) start "$2" ;;
stop) stop "$2" ;;
run)
    dir=$2
    shift 2
    if [ "$(id -u)" -ne 0 ] || ! command -v cupsd >/dev/null || [ ! -x /usr/lib/cups/backend/cups-pdf ]; then
        echo "cupssandbox: the private spooler needs root, cupsd and the cups-pdf backend; skipped" >&2
        exit 77
    fi
    server=$(start "$dir")
    status=0
    CUPS_SERVER="$server" TARVELIN_TEST_PDF_DIR="$(realpath -m "$dir")/pdf" \
        TARVELIN_TEST_CUPSD_PID="$(cat "$(realpath -m "$dir")"/cupsd.pid)" "$@" || status=$?
    # A test that stopped the spooler to stall it may have failed before letting it go on.
    kill -CONT "$(cat "$(realpath -m "$dir")"/cupsd.pid)" 2>/dev/null || true
    stop "$dir"
    exit $status
    ;;
*)
    echo "usage: $0 start|stop DIR | run DIR COMMAND..." >&2
    exit 2
    ;;
esac
