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

start_printer() {
    unset ORVELLO_PRINT_DIR
    if [ -n "$ORVELLO_NO_PRINTER" ]; then
        echo "ORVELLO_NO_PRINTER is set: no test printer, printer tests will skip."
        return 1
    fi
    if ! command -v cupsd >/dev/null 2>&1 || [ ! -x /usr/lib/cups/backend/cups-pdf ] ||
       [ ! -f /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd ] || [ "$(id -u)" != 0 ]; then
        echo "No CUPS with cups-pdf here (run make setup as root): printer tests will skip."
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
    if [ ! -S "$printer_socket" ] ||
       ! lpadmin -h "$printer_socket" -p PDF -v "cups-pdf:/$printer_instance" \
            -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd -E >/dev/null 2>&1 ||
       ! lpadmin -h "$printer_socket" -p PDF -o PageSize=Letter >/dev/null 2>&1 ||
       ! lpadmin -h "$printer_socket" -d PDF >/dev/null 2>&1; then
        echo "cupsd did not start (see $printer_root/log): printer tests will skip."
        stop_printer
        return 1
    fi
    export CUPS_SERVER="$printer_socket"
    export ORVELLO_PRINT_DIR="$print_out"
    return 0
}
