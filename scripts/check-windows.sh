#!/usr/bin/env bash
# Checks the Windows zip and installer made by scripts/windows.sh, under
# Wine (64-bit, a fresh WINEPREFIX each) in Xvfb, against the Linux build.
#
#   scripts/check-windows.sh [Quadrivo-<versione>-win64.zip [Quadrivo-<versione>-setup.exe]]
#
# The zip is unpacked into an empty temporary folder and quadrivo.exe is
# started there. Driven through keys (xdotool), it shows the box "Nessun
# testo incollato" (whose title must be empty, as Qt on Windows would name
# it after the program), imports Esempio1.txt as the
# initial list and Esempio2.txt as the final one, exports the report sorted
# by % and then by points, and each report is taken from the clipboard
# (xclip; under Wine a small Windows helper reads the Windows clipboard,
# since Wine's hand-over to X drops the \r of each line end); then the
# history window's "C&opia grafico" must leave an image there. The Linux
# build (build/quadrivo, built if missing) runs the same steps in a folder
# of its own with the same lists: the reports must be byte-identical and
# the rows of Membri the same. Both run with the Italian regional settings.
#
# The installer is then run with /S in another fresh WINEPREFIX: the
# program and its Start-menu entry must exist, the program started as the
# entry starts it must create Quadrivo.mdb in Documents\Quadrivo, and the
# uninstaller with /S must remove the program and the entry and leave
# Documents\Quadrivo.
#
# One line per check, and a last line "N passed, N failed". Reports,
# database dumps and screenshots stay in build-windows/check/.
set -euo pipefail

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out="$top/build-windows/check"
title_main="Quadrivo punteggio alleanza ZORVA"
title_entry="Inserimento palmeria"
title_export="Esportazione Quadrivo"
step_timeout=${STEP_TIMEOUT:-120}
# The main window at 96 DPI: its client area is 10065 twips (671 px) wide,
# and "Ordina x incr.punti" lies 140 px from its left edge and 64 px above
# its bottom edge.
client_width=671
sort_points_x=140
sort_points_up=64

passed=0
failed=0
summary_done=""
# Runs one check: its name, then the command that must succeed.
check() {
    local name=$1
    shift
    if "$@"; then
        echo "PASS: $name"
        passed=$((passed + 1))
    else
        echo "FAIL: $name"
        failed=$((failed + 1))
    fi
}
summary() {
    summary_done=yes
    echo "$passed passed, $failed failed"
}
# A step that cannot go on ends the run; it counts as one failed check.
die() { printf 'check-windows: %s\n' "$*" >&2; exit 1; }

# --- What is needed ----------------------------------------------------------

packages=(wine wine64 xvfb xdotool xclip imagemagick sqlite3 unzip gcc-mingw-w64-x86-64-posix)
# Only 64-bit Wine: quadrivo.exe and everything it loads are 64-bit.
"$top/scripts/setup.sh" --no-build "${packages[@]}"

zip=${1:-}
if [ -z "$zip" ]; then
    zip=$(ls -t "$top"/build-windows/Quadrivo-*-win64.zip 2>/dev/null | head -n 1 || true)
    [ -n "$zip" ] || die "nessun archivio in build-windows/: eseguire prima scripts/windows.sh"
fi
[ -f "$zip" ] || die "archivio non trovato: $zip"
zip=$(cd "$(dirname "$zip")" && pwd)/$(basename "$zip")
setup=${2:-${zip%-win64.zip}-setup.exe}
[ -f "$setup" ] || die "installatore non trovato: $setup"
setup=$(cd "$(dirname "$setup")" && pwd)/$(basename "$setup")

linux_exe="$top/build/quadrivo"
if [ ! -x "$linux_exe" ]; then
    echo "Compilazione della versione Linux in build/"
    "$top/scripts/setup.sh" --no-build
    [ -f "$top/build/build.ninja" ] || cmake -S "$top" -B "$top/build" -G Ninja \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUADRIVO_WERROR=ON
    nice -n 19 ionice -c3 cmake --build "$top/build" --target quadrivo -j2
fi

# --- A display of our own ----------------------------------------------------

tmp=$(mktemp -d)
xvfb_pid=""
app_pid=""
cleanup() {
    local status=$?
    [ -z "$app_pid" ] || kill "$app_pid" 2>/dev/null || true
    for prefix in "$tmp/prefix" "$tmp/prefix-setup"; do
        [ ! -d "$prefix" ] || WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
    done
    if [ -z "$summary_done" ]; then
        [ "$status" -eq 0 ] || failed=$((failed + 1))
        summary
    fi
    [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$tmp"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3> "$tmp/display" 2> "$tmp/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$tmp/display" ] && break
    sleep 0.1
done
[ -s "$tmp/display" ] || die "Xvfb non parte"
export DISPLAY=":$(head -n 1 "$tmp/display")"

rm -rf "$out"
mkdir -p "$out"

shot() { import -window root "$out/$1.png" 2>/dev/null || true; }

# Waits for a window whose title starts with this text and prints its id.
wait_window() {
    local title=$1 id
    for _ in $(seq $((step_timeout * 4))); do
        id=$(xdotool search --onlyvisible --name "^${title}" 2>/dev/null | head -n 1 || true)
        if [ -n "$id" ]; then echo "$id"; return 0; fi
        sleep 0.25
    done
    shot "timeout"
    die "la finestra \"$title\" non compare entro ${step_timeout} s (vedi $out/timeout.png)"
}

wait_gone() {
    local title=$1
    for _ in $(seq $((step_timeout * 4))); do
        xdotool search --onlyvisible --name "^${title}" > /dev/null 2>&1 || return 0
        sleep 0.25
    done
    shot "timeout"
    die "la finestra \"$title\" non si chiude entro ${step_timeout} s (vedi $out/timeout.png)"
}

# Gives the window the keyboard and types the keys.
keys() {
    local win=$1
    shift
    xdotool windowfocus "$win" 2>/dev/null || true
    sleep 0.5
    xdotool key --clearmodifiers --delay 150 "$@"
}

# Clicks a point of the main window's client area, given from its left and
# bottom edges; a frame drawn around it (by Wine, without a window manager)
# is as wide at the bottom as at the sides.
click_client() {
    local win=$1 x=$2 up=$3 WIDTH HEIGHT X Y SCREEN WINDOW border
    eval "$(xdotool getwindowgeometry --shell "$win")"
    border=$(( (WIDTH - client_width) / 2 ))
    xdotool mousemove --window "$win" $((border + x)) $((HEIGHT - border - up)) click 1
}

clipboard() { xclip -o -selection clipboard -target UTF8_STRING 2>/dev/null || true; }

# Imports a list through the entry window: Leggi da FILE, then OK.
import_list() {
    local main=$1 button=$2 entry
    keys "$main" "alt+$button"
    entry=$(wait_window "$title_entry")
    keys "$entry" alt+l
    sleep 2
    keys "$entry" alt+o
    wait_gone "$title_entry"
}

# Exports the report and copies it to the clipboard, into file $2.
export_report() {
    local main=$1 file=$2 win text=""
    printf 'appunti vuoti' | xclip -selection clipboard -i
    keys "$main" alt+s
    win=$(wait_window "$title_export")
    keys "$win" alt+o
    for _ in $(seq 40); do
        sleep 0.25
        text=$(clipboard)
        [ -z "$text" ] || [ "$text" = "appunti vuoti" ] || break
    done
    [ -n "$text" ] && [ "$text" != "appunti vuoti" ] || { shot "clipboard"; die "il resoconto non arriva negli appunti"; }
    if [ "$clip_reader" = wine ]; then
        # Wine drops the \r of each line end when it hands text to X, so
        # the exact text is read from the Windows clipboard itself; what X
        # got is kept beside it.
        (cd "$tmp/clipdump" && wine clipdump.exe appunti.txt) || die "lettura degli appunti di Windows non riuscita"
        mv "$tmp/clipdump/appunti.txt" "$file"
        clipboard > "${file%.txt}-x11.txt"
    else
        clipboard > "$file"
    fi
    keys "$win" alt+c
    wait_gone "$title_export"
}

# The ids of the visible windows, one a line, sorted.
visible_windows() { xdotool search --onlyvisible --name '' 2>/dev/null | sort || true; }

# Presses OK in an empty entry window: the box "Nessun testo incollato"
# must come with an empty title. Prints the title it had.
empty_text_box_title() {
    local main=$1 name=$2 entry before box=""
    keys "$main" alt+i
    entry=$(wait_window "$title_entry")
    before=$(visible_windows)
    keys "$entry" alt+o
    for _ in $(seq $((step_timeout * 4))); do
        box=$(comm -13 <(echo "$before") <(visible_windows) | head -n 1)
        [ -z "$box" ] || break
        sleep 0.25
    done
    [ -n "$box" ] || { shot "$name-nessun-testo"; die "$name: il messaggio \"Nessun testo incollato\" non compare"; }
    sleep 1
    shot "$name-nessun-testo"
    xdotool getwindowname "$box" > "$out/$name-titolo-messaggio.txt" 2>/dev/null \
        || echo "(titolo non letto)" > "$out/$name-titolo-messaggio.txt"
    keys "$box" Return
    keys "$entry" alt+a
    wait_gone "$title_entry"
}

# Opens the history window, copies its chart and closes it; the clipboard
# must then hold an image.
copy_chart() {
    local main=$1 name=$2 win
    printf 'appunti vuoti' | xclip -selection clipboard -i
    keys "$main" alt+t
    win=$(wait_window "Storico Quadrivo")
    sleep 3
    shot "$name-storico"
    keys "$win" alt+o
    sleep 2
    if [ "$clip_reader" = wine ]; then
        (cd "$tmp/clipdump" && wine clipdump.exe --immagine immagine.txt) > /dev/null 2>&1 || true
        cat "$tmp/clipdump/immagine.txt" > "$out/$name-grafico.txt" 2>/dev/null || : > "$out/$name-grafico.txt"
    else
        xclip -o -selection clipboard -t TARGETS 2>/dev/null | grep '^image/' > "$out/$name-grafico.txt" || true
    fi
    keys "$win" alt+c
    wait_gone "Storico Quadrivo"
}

# One whole session in folder $1 with the program started by the rest of
# the arguments; results in $out/<name>-*.
session() {
    local name=$1 dir=$2
    shift 2
    echo "-- $name: avvio"
    # Italian regional settings for both programs (Wine takes them from
    # LC_ALL as well).
    (cd "$dir" && exec env LC_ALL=it_IT.UTF-8 LANG=it_IT.UTF-8 "$@" > "$out/$name-output.txt" 2>&1) &
    app_pid=$!
    local main
    main=$(wait_window "$title_main")
    sleep 2
    shot "$name-avvio"
    if [ "$clip_reader" = wine ]; then
        echo "-- $name: messaggio senza titolo"
        empty_text_box_title "$main" "$name"
    fi
    echo "-- $name: dati iniziali e finali"
    import_list "$main" i
    import_list "$main" f
    shot "$name-griglia"
    echo "-- $name: resoconti"
    export_report "$main" "$out/$name-resoconto-percento.txt"
    # The sort options have no key of their own and Tab inside the filled
    # grid walks its cells, so "Ordina x incr.punti" is clicked.
    click_client "$main" "$sort_points_x" "$sort_points_up"
    sleep 2
    export_report "$main" "$out/$name-resoconto-punti.txt"
    ! cmp -s "$out/$name-resoconto-percento.txt" "$out/$name-resoconto-punti.txt" \
        || { shot "$name-ordine"; die "$name: il resoconto per punti è uguale a quello per %: l'ordinamento non è cambiato"; }
    echo "-- $name: storico e grafico"
    copy_chart "$main" "$name"
    keys "$main" alt+e
    for _ in $(seq $((step_timeout * 4))); do
        kill -0 "$app_pid" 2>/dev/null || break
        sleep 0.25
    done
    if kill -0 "$app_pid" 2>/dev/null; then shot "uscita"; die "$name: il programma non termina"; fi
    wait "$app_pid" || true
    app_pid=""
    [ -f "$dir/Quadrivo.mdb" ] || die "$name: Quadrivo.mdb non creato"
    sqlite3 -batch "$dir/Quadrivo.mdb" '.mode quote' 'SELECT * FROM Membri;' | LC_ALL=C sort > "$out/$name-membri.txt"
    cp "$dir/Quadrivo.mdb" "$out/$name-Quadrivo.mdb"
}

# --- Windows, under Wine -----------------------------------------------------

mkdir -p "$tmp/win"
(cd "$tmp/win" && unzip -q "$zip")
win_dir=$(find "$tmp/win" -name quadrivo.exe -printf '%h\n' | head -n 1)
[ -n "$win_dir" ] || die "quadrivo.exe non trovato nell'archivio"
[ -z "$(ls "$win_dir"/Quadrivo.mdb 2>/dev/null)" ] || die "l'archivio contiene già Quadrivo.mdb"

# A small Windows program that writes the Windows clipboard's text, as
# UTF-8 and byte for byte, to the file named.
mkdir -p "$tmp/clipdump"
cat > "$tmp/clipdump/clipdump.c" <<'EOF'
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <wchar.h>
/* clipdump FILE: the clipboard's text; clipdump --immagine FILE: the size
   of the bitmap the clipboard holds, as "WIDTHxHEIGHT". */
static int image(const wchar_t *path)
{
    if (!OpenClipboard(NULL))
        return 2;
    HANDLE h = GetClipboardData(CF_DIB);
    if (!h) {
        CloseClipboard();
        return 3;
    }
    const BITMAPINFOHEADER *info = GlobalLock(h);
    long width = info->biWidth, height = info->biHeight < 0 ? -info->biHeight : info->biHeight;
    GlobalUnlock(h);
    CloseClipboard();
    FILE *f = _wfopen(path, L"wb");
    if (!f)
        return 4;
    fprintf(f, "%ldx%ld\n", width, height);
    fclose(f);
    return 0;
}
int wmain(int argc, wchar_t **argv)
{
    if (argc == 3 && wcscmp(argv[1], L"--immagine") == 0)
        return image(argv[2]);
    if (argc != 2 || !OpenClipboard(NULL))
        return 2;
    HANDLE h = GetClipboardData(CF_UNICODETEXT);
    if (!h) {
        CloseClipboard();
        return 3;
    }
    const wchar_t *text = GlobalLock(h);
    int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, NULL, 0, NULL, NULL);
    char *utf8 = malloc(n);
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, n, NULL, NULL);
    GlobalUnlock(h);
    CloseClipboard();
    FILE *f = _wfopen(argv[1], L"wb");
    if (!f)
        return 4;
    fwrite(utf8, 1, n - 1, f);
    fclose(f);
    free(utf8);
    return 0;
}
EOF
x86_64-w64-mingw32-gcc-posix -municode -O1 "$tmp/clipdump/clipdump.c" -o "$tmp/clipdump/clipdump.exe" \
    || die "compilazione di clipdump.exe non riuscita"

export WINEPREFIX="$tmp/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
echo "-- wine: nuovo WINEPREFIX"
wineboot -i > /dev/null 2>&1 || true
wineserver -w
clip_reader=wine
session windows "$win_dir" wine "$win_dir/quadrivo.exe"
wineserver -k 2>/dev/null || true

# --- Linux, the same steps on the same lists ---------------------------------

mkdir -p "$tmp/linux"
cp "$win_dir/Gradi.txt" "$win_dir/Esempio1.txt" "$win_dir/Esempio2.txt" "$tmp/linux/"
clip_reader=x11
QT_QPA_PLATFORM=xcb session linux "$tmp/linux" "$linux_exe"

# --- Comparison --------------------------------------------------------------

check "windows: il messaggio \"Nessun testo incollato\" ha il titolo vuoto" \
    test -z "$(cat "$out/windows-titolo-messaggio.txt")"
for name in windows linux; do
    check "$name: \"C&opia grafico\" lascia un'immagine negli appunti ($(head -c 40 "$out/$name-grafico.txt" | tr '\n' ' '))" \
        test -s "$out/$name-grafico.txt"
done
for f in resoconto-percento resoconto-punti membri; do
    check "Windows e Linux: $f identico byte per byte ($(wc -l < "$out/linux-$f.txt") righe)" \
        cmp -s "$out/windows-$f.txt" "$out/linux-$f.txt"
    cmp -s "$out/windows-$f.txt" "$out/linux-$f.txt" || diff "$out/linux-$f.txt" "$out/windows-$f.txt" | head -n 20 || true
done

# --- The installer, under Wine -----------------------------------------------

# Wine links the user's Documents to the home folder: a home of its own
# keeps the check away from the real ~/Quadrivo.
mkdir -p "$tmp/home"
export HOME="$tmp/home" WINEPREFIX="$tmp/prefix-setup"
echo "-- installatore: nuovo WINEPREFIX"
wineboot -i > /dev/null 2>&1 || true
wineserver -w
# Windows' own folders of this user, as Unix paths.
winfolder() { winepath -u "$(wine cmd /c "echo $1" 2>/dev/null | tr -d '\r')" 2>/dev/null; }
local_appdata=$(winfolder '%LOCALAPPDATA%')
documents=$(winfolder '%USERPROFILE%')/Documents/Quadrivo
start_menu="$(winfolder '%APPDATA%')/Microsoft/Windows/Start Menu/Programs"
program="$local_appdata/Programs/Quadrivo/quadrivo.exe"
entry="$start_menu/Quadrivo.lnk"

echo "-- installatore: setup.exe /S"
wine "$setup" /S > "$out/setup-output.txt" 2>&1 || true
wineserver -w
check "installatore: quadrivo.exe in %LOCALAPPDATA%\\Programs\\Quadrivo" test -f "$program"
check "installatore: voce \"Quadrivo\" nel menu Start" test -f "$entry"
check "installatore: Documenti\\Quadrivo con Gradi.txt, Esempio1.txt ed Esempio2.txt" \
    test -f "$documents/Gradi.txt" -a -f "$documents/Esempio1.txt" -a -f "$documents/Esempio2.txt"
check "installatore: disinstallazione registrata tra i programmi dell'utente" \
    sh -c 'wine reg query "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quadrivo" /v UninstallString 2>/dev/null | grep -q disinstalla.exe'

echo "-- installatore: avvio dalla voce del menu"
(cd / && exec wine start /unix "$entry" > "$out/setup-avvio.txt" 2>&1) || true
main=$(wait_window "$title_main")
for _ in $(seq $((step_timeout * 4))); do
    [ ! -f "$documents/Quadrivo.mdb" ] || break
    sleep 0.25
done
sleep 1
shot "installato-avvio"
check "avvio dalla voce del menu: Quadrivo.mdb creato in Documenti\\Quadrivo" test -f "$documents/Quadrivo.mdb"
keys "$main" alt+e
wait_gone "$title_main"
wineserver -w

echo "-- installatore: disinstallazione /S"
wine "$local_appdata/Programs/Quadrivo/disinstalla.exe" /S > "$out/disinstalla-output.txt" 2>&1 || true
wineserver -w
for _ in $(seq 40); do
    [ -e "$program" ] || break
    sleep 0.25
done
check "disinstallazione: programma rimosso" test ! -e "$program" -a ! -e "$local_appdata/Programs/Quadrivo"
check "disinstallazione: voce del menu rimossa" test ! -e "$entry"
check "disinstallazione: Documenti\\Quadrivo resta, con Quadrivo.mdb e le liste" \
    test -f "$documents/Quadrivo.mdb" -a -f "$documents/Gradi.txt" -a -f "$documents/Esempio1.txt"
wineserver -k 2>/dev/null || true

summary
[ "$failed" -eq 0 ]
