#!/usr/bin/env bash
# A private CUPS scheduler with one PDF queue (cups-pdf) as its default printer, for the printing tests.
#   cups-pdf-queue.sh start <folder>   starts it in <folder> (made by the caller, e.g. with mktemp -d) and
#                                      prints the CUPS_SERVER value that reaches it; the queue's PDF files
#                                      land in <folder>/out
#   cups-pdf-queue.sh stop <folder>    stops it and removes the queue's configuration file
# Nothing of the machine's own CUPS is touched apart from one configuration file that cups-pdf reads only
# from /etc/cups, named after the folder so that runs in parallel do not meet.
set -euo pipefail
action=${1:?start or stop}
folder=$(cd "${2:?folder}" && pwd)
queue=quillock-$(basename "$folder" | tr -c 'A-Za-z0-9\n' '-')
pdfConfig=/etc/cups/cups-pdf-$queue.conf

if [[ $action == stop ]]; then
    if [[ -f $folder/cupsd.pid ]]; then
        pid=$(cat "$folder/cupsd.pid")
        kill "$pid" 2>/dev/null || true
        for _ in $(seq 50); do # gone before the caller removes its folder
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
    fi
    rm -f "$pdfConfig"
    exit 0
fi

mkdir -p "$folder"/{root,spool,cache,state,logs,out}
chmod 755 "$folder"
chmod 1777 "$folder/out"
cat >"$folder/root/cupsd.conf" <<CONF
Listen $folder/cups.sock
LogLevel warn
<Location />
  Order allow,deny
  Allow all
</Location>
CONF
cat >"$folder/root/cups-files.conf" <<CONF
ServerRoot $folder/root
RequestRoot $folder/spool
CacheDir $folder/cache
StateDir $folder/state
ErrorLog $folder/logs/error_log
AccessLog $folder/logs/access_log
PageLog $folder/logs/page_log
ServerBin /usr/lib/cups
DataDir /usr/share/cups
CONF
printf 'Out %s/out\nAnonDirName %s/out\nSpool %s/spool-pdf\nLog %s/logs\n' \
    "$folder" "$folder" "$folder" "$folder" >"$pdfConfig"

/usr/sbin/cupsd -f -c "$folder/root/cupsd.conf" -s "$folder/root/cups-files.conf" </dev/null >/dev/null 2>&1 &
echo $! >"$folder/cupsd.pid"
export CUPS_SERVER=$folder/cups.sock
for _ in $(seq 50); do
    # lpstat -r ends with 0 either way; only its words tell.
    [[ $(lpstat -r 2>/dev/null) == "scheduler is running" ]] && break
    sleep 0.1
done
# The PPD is the only way cups-pdf is offered; lpadmin warns that drivers are deprecated on success too.
if ! said=$(lpadmin -p "$queue" -E -v "cups-pdf:/$queue" -P /usr/share/ppd/cups-pdf/CUPS-PDF_noopt.ppd 2>&1); then
    echo "$said" >&2
    exit 1
fi
lpadmin -d "$queue"
echo "$CUPS_SERVER"
