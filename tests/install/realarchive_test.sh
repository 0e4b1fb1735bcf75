#!/bin/sh
# The installed program on an office's own archive, as the README's "For a
# real archive" sets it up: the office's share (here a folder standing for
# its mount point) holds the archive and the collection point it records;
# the program folder ~/Corbix has only the drive table the README gives,
# with no program database; the first-run wizard of the installed corbix,
# under a virtual display, is given \\SERVER\Dogana\Archivio.mdb and ends.
# The program database shipped with the program must then be there, the
# user's to change, and a folder flow is composed, filed, answered, fetched
# and processed on it by the roads the screens run.
# realarchive_test.sh PREFIX CRASH_RUN
set -u
prefix=$1
roads=$2
. "$(dirname "$0")/shell_support.sh"

home="$work/casa"
program="$home/Corbix"
share="$work/dogana"
mkdir -p "$home" "$share"

# The office's archive, with its declarations, recording its collection
# point on the share in network form.
"$prefix/bin/corbix-sample-data" "$work/ufficio" >/dev/null || fail "corbix-sample-data failed"
cp "$work/ufficio/Archivio.mdb" "$share/Archivio.mdb" || exit 1
cp -R "$work/ufficio/Corbix" "$share/Corbix" || exit 1
python3 - "$share/Archivio.mdb" <<'PY' || fail "the archive could not be prepared"
import sqlite3, sys
db = sqlite3.connect(sys.argv[1])
db.execute("UPDATE Paramflu SET Centrale = ?", ("\\\\SERVER\\Dogana\\Corbix\\",))
db.commit()
PY

# The drive table as the README gives it, and the EDI service's share of the
# declarant whose flow is answered.
mkdir -p "$program/dosdevices/unc/SERVER" "$program/dosdevices/unc/MIRSOLAN" "$program/servizio/R001/corbix"
ln -s "$share" "$program/dosdevices/unc/SERVER/Dogana"
ln -s "$home" "$program/dosdevices/c:"
ln -s "$program/servizio/R001" "$program/dosdevices/unc/MIRSOLAN/R001"

start_display

# The window of that title once it shows, else nothing after some seconds.
window() {
  i=0
  while [ $i -lt 100 ]; do
    found=$(DISPLAY="$display" xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1)
    [ -n "$found" ] && { echo "$found"; return 0; }
    kill -0 "$corbix" 2>/dev/null || return 1
    sleep 0.1
    i=$((i + 1))
  done
  return 1
}
press() { DISPLAY="$display" xdotool windowfocus --sync "$1" key --delay 50 "$2" 2>/dev/null; sleep 0.3; }

cd "$program" || exit 1
env -u QT_QPA_PLATFORM ASAN_OPTIONS="$on_display_asan" DISPLAY="$display" HOME="$home" "$prefix/bin/corbix" >"$work/out" 2>&1 &
corbix=$!
wizard=$(window '^CORBIX DOGANALI - Preparazione alla prima esecuzione$') || fail "no wizard: $(cat "$work/out")"
press "$wizard" Return
DISPLAY="$display" xdotool windowfocus --sync "$wizard" key ctrl+a type --delay 20 '\\SERVER\Dogana\Archivio.mdb'
sleep 0.3
press "$wizard" Return
press "$wizard" Return
window '^CORBIX DOGANALI$' >/dev/null || fail "the main window did not open: $(cat "$work/out")"
kill "$corbix"
wait "$corbix" 2>/dev/null
corbix=

[ -f "$program/CORBIX.INI" ] || fail "no settings file"
cmp -s "$program/Corbix.mdb" "$prefix/share/corbix/Corbix.mdb" || fail "no copy of the shipped program database"
[ -w "$program/Corbix.mdb" ] && [ ! -w "$prefix/share/corbix/Corbix.mdb" -o "$(id -u)" -eq 0 ] \
  || fail "the program database is not the user's to change"
ls "$program" | grep -q corbix~ && fail "a temporary was left: $(ls "$program")"

export HOME="$home"
"$roads" "$program" folder >"$work/out" 2>&1 || fail "composition: $(cat "$work/out")"
[ -f "$home/Uscita/R0010115.T07" ] || fail "no flow: $(ls -R "$home/Uscita")"
ls "$share/Corbix/Corbix inviati/" | grep -q '^20260115-' || fail "the flow was not filed"
"$prefix/bin/corbix-sample-answer" "$program" 2026-01-15 7 >"$work/out" 2>&1 || fail "answer: $(cat "$work/out")"
"$roads" "$program" fetch >"$work/out" 2>&1 || fail "fetch: $(cat "$work/out")"
"$roads" "$program" process >"$work/out" 2>&1 || fail "processing: $(cat "$work/out")"
python3 - "$share/Archivio.mdb" <<'PY' || fail "the outcome is not in the archive"
import sqlite3, sys
db = sqlite3.connect(sys.argv[1])
rows = db.execute("SELECT Stato, OK, KO, ND FROM Corbix WHERE Posizione = 3 AND Progressivo = 7").fetchall()
states = db.execute("SELECT Indice, Stato1 FROM IndiceDoc WHERE Indice IN (1, 3, 5) ORDER BY Indice").fetchall()
ok = rows == [(5, 2, 1, 0)] and states == [(1, 2), (3, 0), (5, 2)]
print(rows, states, file=sys.stderr)
sys.exit(0 if ok else 1)
PY
exit 0
