# Sourced by wine-env.sh before Wine starts: a private CUPS server whose one queue, "PDF"
# (cups-pdf, Letter paper as the program's default page), is the default printer. Finished jobs land as PDF files in
# $ORVELLO_PRINT_DIR, each with its text (.txt, pages split by form feeds), word boxes
# (.html) and fonts (.fonts) beside it. Without CUPS (or with ORVELLO_NO_PRINTER set) the
# variable stays unset and the printer tests skip. stop_printer ends the server (wine-env.sh's trap calls it).
printer_root="/tmp/orvello-cups-$(printf %s "$build_dir" | md5sum | cut -c1-10)"
printer_socket="$printer_root/cups.sock"
printer_instance="orvello-$(printf %s "$build_dir" | md5sum | cut -c1-10)"
printer_conf="/etc/cups/cups-pdf-$printer_instance.conf"
printer_pid=

stop_printer() {
    if [ -n "$printer_pid" ]; then
        kill "$printer_pid" >/dev/null 2>&1
        wait "$printer_pid" 2>/dev/null
        printer_pid=
        rm -rf "$printer_root"
    fi
    rm -f "$printer_conf"
}

# No printer this run: says why, and hands the reason to the tests that skip.
no_printer() {
    export ORVELLO_PRINTER_SKIP="$1"
    echo "$1: printer tests will skip."
    return 1
}

start_printer() {
    unset ORVELLO_PRINT_DIR ORVELLO_PRINTER_SKIP
    if [ -n "$ORVELLO_NO_PRINTER" ]; then
        no_printer "ORVELLO_NO_PRINTER is set"
        return 1
    fi
    if ! command -v cupsd >/dev/null 2>&1; then
        no_printer "cupsd is not installed (run make setup as root)"
        return 1
    fi
    if [ ! -x /usr/lib/cups/backend/cups-pdf ] || [ ! -f /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd ]; then
        no_printer "the cups-pdf printer driver is not installed (run make setup as root)"
        return 1
    fi
    if [ "$(id -u)" != 0 ]; then
        no_printer "not run as root, which cups-pdf's configuration in /etc/cups needs"
        return 1
    fi
    rm -rf "$printer_root"
    mkdir -p "$printer_root/etc/ppd" "$printer_root/spool/tmp" "$printer_root/cache" \
             "$printer_root/state" "$printer_root/log"
    print_out="$build_dir/printed"
    rm -rf "$print_out"
    mkdir -p "$print_out"
    cat >"$printer_root/etc/cups-files.conf" <<EOF
ServerRoot $printer_root/etc
RequestRoot $printer_root/spool
TempDir $printer_root/spool/tmp
CacheDir $printer_root/cache
StateDir $printer_root/state
ErrorLog $printer_root/log/error_log
AccessLog $printer_root/log/access_log
PageLog $printer_root/log/page_log
Sandboxing Relaxed
SystemGroup root
FileDevice No
EOF
    cat >"$printer_root/etc/cupsd.conf" <<EOF
LogLevel warn
Listen $printer_socket
Browsing Off
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
EOF
    cat >"$printer_conf" <<EOF
Out $print_out
AnonDirName $print_out
Label 1
Grp root
UserUMask 0022
PostProcessing $top/scripts/printed-pdf.sh
EOF
    cupsd -f -c "$printer_root/etc/cupsd.conf" -s "$printer_root/etc/cups-files.conf" \
        >"$printer_root/log/cupsd.out" 2>&1 </dev/null &
    printer_pid=$!
    for i in 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20; do
        [ -S "$printer_socket" ] && break
        sleep 0.25
    done
    if [ ! -S "$printer_socket" ]; then
        stop_printer
        no_printer "cupsd did not start (see $printer_root/log)"
        return 1
    fi
    if ! lpadmin -h "$printer_socket" -p PDF -v "cups-pdf:/$printer_instance" \
            -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd -E >/dev/null 2>&1 ||
       ! lpadmin -h "$printer_socket" -p PDF -o PageSize=Letter >/dev/null 2>&1 ||
       ! lpadmin -h "$printer_socket" -d PDF >/dev/null 2>&1; then
        stop_printer
        no_printer "lpadmin could not set up the PDF queue"
        return 1
    fi
    export CUPS_SERVER="$printer_socket"
    export ORVELLO_PRINT_DIR="$print_out"
    return 0
}
