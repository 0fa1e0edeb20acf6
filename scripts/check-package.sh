#!/usr/bin/env bash
# Proves the Debian package on a clean Debian 12: makes a fresh root with
# `debootstrap --variant=minbase bookworm`, installs the package there with
# apt-get (without recommended packages, so its Depends alone must carry
# it), starts the program through the desktop entry's Exec line under Xvfb
# as an ordinary user, looks for the main window and for ~/Quadrivo with its
# files, starts it again to see that the user's files are kept, removes the
# package and looks again. Prints one PASS or FAIL line per check and a
# count; fails when any check fails. Needs root and the network.
#
#   scripts/check-package.sh [quadrivo_<version>_amd64.deb]
#
# Without an argument it builds the package with scripts/package.sh. The
# packages debootstrap downloads are kept in ~/.cache/quadrivo/ for the next
# run; every run still unpacks a new root of its own and deletes it at the
# end. QUADRIVO_MIRROR names another Debian mirror.
set -euo pipefail

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
mirror=${QUADRIVO_MIRROR:-http://deb.debian.org/debian}
title="Quadrivo punteggio alleanza ZORVA"
user=utente

if [ "$(id -u)" -ne 0 ]; then
    exec sudo "$0" "$@"
fi

if [ $# -gt 0 ]; then
    deb=$(realpath "$1")
else
    echo "=== Costruzione del pacchetto (scripts/package.sh)"
    deb=$("$top/scripts/package.sh" | tail -n 1)
fi
[ -f "$deb" ] || { echo "Pacchetto non trovato: $deb" >&2; exit 1; }
"$top/scripts/setup.sh" --no-build debootstrap

root=$(mktemp -d /var/tmp/quadrivo-check.XXXXXX)
chmod 755 "$root"
mounts=()

# Ends what is still running inside the root, unmounts what was mounted
# there (last first) and deletes the root without crossing into a mount.
cleanup() {
    local link pid m
    for link in /proc/[0-9]*/root; do
        pid=${link#/proc/}
        pid=${pid%/root}
        [ "$(readlink "$link" 2>/dev/null)" = "$root" ] && kill -KILL "$pid" 2>/dev/null || true
    done
    for ((m = ${#mounts[@]} - 1; m >= 0; m--)); do
        umount "${mounts[m]}" 2>/dev/null || umount -l "${mounts[m]}" || true
    done
    if grep -q " $root/" /proc/mounts; then
        echo "Resta montato qualcosa in $root: la cartella non viene cancellata." >&2
    else
        rm -rf --one-file-system "$root"
    fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# check DESCRIPTION COMMAND...: runs one check, prints PASS or FAIL and
# leaves ok=yes or ok=no for what follows.
passed=0
failed=0
ok=no
check() {
    local what=$1
    shift
    if "$@"; then
        echo "PASS: $what"
        passed=$((passed + 1))
        ok=yes
    else
        echo "FAIL: $what"
        failed=$((failed + 1))
        ok=no
    fi
}
# Prints the count and the verdict, and ends.
finish() {
    echo
    echo "check-package: $passed passed, $failed failed"
    if [ "$failed" -eq 0 ]; then
        echo "PASS"
        exit 0
    fi
    echo "FAIL"
    exit 1
}
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive "$@"; }
as_user() { chroot --userspec="$user:$user" "$root" env -i PATH=/usr/bin:/bin HOME="/home/$user" USER="$user" LANG=C.UTF-8 "$@"; }

echo "=== Radice pulita di Debian 12 (debootstrap --variant=minbase bookworm) in $root"
cache=${XDG_CACHE_HOME:-$HOME/.cache}/quadrivo
tarball=$cache/debootstrap-bookworm-minbase.tgz
mkdir -p "$cache"
if [ ! -s "$tarball" ]; then
    debootstrap --variant=minbase --make-tarball="$tarball.part" bookworm "$root/make-tarball" "$mirror" >/dev/null
    mv "$tarball.part" "$tarball"
    rm -rf --one-file-system "${root:?}/make-tarball"
fi
debootstrap --variant=minbase --unpack-tarball="$tarball" bookworm "$root" "$mirror" >/dev/null
cp /etc/resolv.conf "$root/etc/resolv.conf"
for m in proc sys dev dev/pts; do
    case $m in
        proc) mount -t proc proc "$root/proc" ;;
        sys) mount -t sysfs sysfs "$root/sys" ;;
        *) mount --bind "/$m" "$root/$m" ;;
    esac
    mounts+=("$root/$m")
done
in_root apt-get update -q >/dev/null

echo "=== Installazione di $(basename "$deb") con apt-get"
cp "$deb" "$root/tmp/"
check "apt-get install ./$(basename "$deb") (senza pacchetti raccomandati)" \
    in_root sh -c "cd /tmp && apt-get install -y -q --no-install-recommends ./$(basename "$deb") >/tmp/install.log 2>&1"
[ "$ok" = yes ] || { cat "$root/tmp/install.log"; finish; }
in_root dpkg-query -L quadrivo >"$root/tmp/quadrivo.files"

# Checked before anything is installed for the check itself: every library
# the program and the Qt plugins it loads need is there.
libraries_found() {
    local out
    out=$(in_root ldd /usr/bin/quadrivo \
        /usr/lib/x86_64-linux-gnu/qt6/plugins/platforms/libqxcb.so 2>&1) || { grep -E '^ldd:|not found' <<<"$out"; return 1; }
    ! grep 'not found' <<<"$out"
}
icons_installed() {
    local size
    test -s "$root/usr/share/icons/hicolor/scalable/apps/$app_id.svg" || return 1
    for size in 32 48 64 128 256; do
        test -s "$root/usr/share/icons/hicolor/${size}x$size/apps/$app_id.png" || return 1
    done
}
check "il programma e il plugin xcb trovano tutte le librerie" libraries_found
check "le traduzioni italiane di Qt (qtbase_it.qm) sono installate" test -s "$root/usr/share/qt6/translations/qtbase_it.qm"

# The package's one desktop entry names the application id.
desktop=$(grep -m 1 '^/usr/share/applications/.*\.desktop$' "$root/tmp/quadrivo.files" || true)
app_id=$(basename "$desktop" .desktop)
desktop=$root$desktop
desktop_installed() { [ -n "$app_id" ] && [ -f "$desktop" ] && [ -s "$desktop" ]; }
check "la voce di menu $app_id.desktop è installata" desktop_installed
[ "$ok" = yes ] || finish
check "l'icona è nel tema hicolor (SVG e PNG a 32, 48, 64, 128, 256)" icons_installed

echo "=== Strumenti della sola verifica (Xvfb, xdotool, xwd) e utente $user"
in_root apt-get install -y -q --no-install-recommends xvfb xauth xdotool x11-apps >/dev/null
in_root useradd -m -s /bin/sh "$user"

exec_line=$(sed -n 's/^Exec=//p' "$desktop" | head -n 1 | sed 's/ *%[fFuUick]//g')
echo "Exec della voce di menu: $exec_line"
home=$root/home/$user
folder=$home/Quadrivo

# Starts the Exec line in a new X display, waits up to 60 s for the main
# window, saves a picture of the screen, then ends the program.
start_from_menu() {
    as_user xvfb-run -a -s "-screen 0 1024x768x24" sh -c '
        '"$exec_line"' >"$HOME/quadrivo.log" 2>&1 &
        program=$!
        if timeout 60 xdotool search --sync --onlyvisible --name "^'"$title"'$" >/dev/null; then
            sleep 1
            xwd -root -silent >"$HOME/schermo.xwd" 2>/dev/null || true
            found=0
        else
            found=1
        fi
        kill "$program" 2>/dev/null
        wait "$program" 2>/dev/null
        exit "$found"'
}

echo "=== Primo avvio dal menu"
check "la finestra principale \"$title\" compare" start_from_menu
[ "$ok" = yes ] || cat "$home/quadrivo.log" || true
check "~/Quadrivo è stata creata con Gradi.txt, Esempio1.txt, Esempio2.txt" \
    test -s "$folder/Gradi.txt" -a -s "$folder/Esempio1.txt" -a -s "$folder/Esempio2.txt"
check "~/Quadrivo/Quadrivo.mdb è stato creato dal programma" test -s "$folder/Quadrivo.mdb"
owned_by_user() {
    local uid
    uid=$(in_root id -u "$user")
    [ -z "$(find "$folder" ! -uid "$uid")" ]
}
check "i file di ~/Quadrivo appartengono a $user" owned_by_user
if command -v convert >/dev/null && [ -s "$home/schermo.xwd" ]; then
    convert "xwd:$home/schermo.xwd" "$(dirname "$deb")/check-package-schermo.png" \
        && echo "Schermata: $(dirname "$deb")/check-package-schermo.png"
fi

echo "=== Secondo avvio: i file dell'utente restano, quelli mancanti tornano"
printf 'Grado Mio\n' >"$folder/Gradi.txt"
rm "$folder/Esempio2.txt"
check "la finestra principale compare di nuovo" start_from_menu
check "Gradi.txt modificato dall'utente non è stato sovrascritto" \
    test "$(cat "$folder/Gradi.txt")" = "Grado Mio"
check "Esempio2.txt mancante è stato copiato di nuovo" \
    cmp -s "$folder/Esempio2.txt" "$root/usr/share/quadrivo/Esempio2.txt"

echo "=== Rimozione del pacchetto"
remove_package() { in_root apt-get remove -y -q quadrivo >"$root/tmp/remove.log" 2>&1 || { cat "$root/tmp/remove.log"; return 1; }; }
check "apt-get remove quadrivo" remove_package
nothing_left() {
    local f
    while read -r f; do
        [ -d "$root$f" ] || [ ! -e "$root$f" ] || { echo "rimasto: $f"; return 1; }
    done <"$root/tmp/quadrivo.files"
}
check "nessun file del pacchetto resta installato" nothing_left
check "~/Quadrivo resta con Gradi.txt e Quadrivo.mdb" test -s "$folder/Gradi.txt" -a -s "$folder/Quadrivo.mdb"

finish
