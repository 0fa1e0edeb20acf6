#!/usr/bin/env bash
# Builds Quadrivo for 64-bit Windows on Debian 12 and packs it into
# build-windows/Quadrivo-<version>-win64.zip and the installer
# build-windows/Quadrivo-<version>-setup.exe (NSIS, for the current user).
#
#   [QTCHARTS_SOURCE=qtcharts-everywhere-src-6.4.2.tar.xz] scripts/windows.sh
#
# Qt for Windows is built first, once, from Debian's own source packages
# (qt6-base of the same version as the Linux Qt, sqlite3 and sqlitecpp of
# the versions the Linux build links) and Qt Charts of the same version,
# with Debian's MinGW-w64 toolchain, and kept outside the repository in
#   ${QUADRIVO_MINGW_CACHE:-~/.cache/quadrivo-mingw}/<qt-version>/
# A stamp file there marks each finished part, so the next run only
# rebuilds Quadrivo. The source entry lives in a private apt configuration
# under the cache; the machine's own apt sources are not touched.
#
# Qt Charts comes from QTCHARTS_SOURCE when it is set (the release tarball,
# qtcharts-everywhere-src-<version>.tar.xz from Qt's download site, or an
# unpacked folder of it), otherwise from Debian's qt6-charts source package.
# The history window needs it: without it the script stops.
#
# Everything heavy runs with nice/ionice and two jobs (JOBS=N changes it).
set -euo pipefail

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
jobs=${JOBS:-2}
heavy=(nice -n 19 ionice -c3)
out="$top/build-windows"
mkdir -p "$out"
times_file="$out/tempi.txt"
: > "$times_file"

say() { printf '\n== %s\n' "$*"; }
die() { printf 'windows.sh: %s\n' "$*" >&2; exit 1; }

# Runs one stage and records its wall-clock time.
# (Its locals are seen by the stage's function: Bash's scoping is dynamic,
# so they carry names no stage uses.)
stage() {
    local stage_title=$1
    shift
    local stage_start=$SECONDS
    say "$stage_title"
    "$@"
    local stage_s=$((SECONDS - stage_start))
    printf '%-40s %3d min %02d s\n' "$stage_title" $((stage_s / 60)) $((stage_s % 60)) | tee -a "$times_file"
}

# --- Debian packages ---------------------------------------------------------

packages=(cmake ninja-build dpkg-dev tcl xz-utils zip nsis
          g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
          qt6-base-dev qt6-base-dev-tools qt6-charts-dev qt6-translations-l10n libsqlite3-dev libsqlitecpp-dev)

stage "pacchetti Debian" "$top/scripts/setup.sh" --no-build "${packages[@]}"

# shellcheck source=scripts/windows-env.sh
. "$top/scripts/windows-env.sh"
# Sources and build trees, removed once Qt is complete; a build left half
# done by an earlier run is resumed, unless it was for another version.
src="$root/src"
bld="$root/build"
if [ -f "$src/.qt-version" ] && [ "$(cat "$src/.qt-version")" != "$qt_version" ]; then
    rm -rf "$src" "$bld"
fi
mkdir -p "$cache" "$src" "$bld"
echo "$qt_version" > "$src/.qt-version"
echo "Qt $qt_version per Windows in $qt"

# --- Sources, through a private apt configuration ----------------------------

apt_dir="$root/apt"
apt_opts=(-o "Dir::Etc::sourcelist=$apt_dir/sources.list" -o "Dir::Etc::sourceparts=-"
          -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache"
          -o "Dir::Cache::archives=$apt_dir/cache/archives")
[ "$(id -u)" -ne 0 ] || apt_opts+=(-o "APT::Sandbox::User=root")

apt_private_update() {
    # The source lists are fetched again once a day.
    [ -z "$(find "$apt_dir/updated" -mmin -1440 2>/dev/null)" ] || return 0
    mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
    local key=/usr/share/keyrings/debian-archive-keyring.gpg
    cat > "$apt_dir/sources.list" <<EOF
deb-src [signed-by=$key] http://deb.debian.org/debian bookworm main
deb-src [signed-by=$key] http://deb.debian.org/debian bookworm-updates main
deb-src [signed-by=$key] http://deb.debian.org/debian-security bookworm-security main
EOF
    apt-get "${apt_opts[@]}" update -q
    touch "$apt_dir/updated"
}

# Fetches a source package and unpacks it (with Debian's patches) into
# $src/<dir>. Fails when the registry does not have it.
fetch_source() {
    local pkg=$1 version=$2 dir=$3
    [ ! -f "$src/$dir/.quadrivo-unpacked" ] || return 0
    apt_private_update
    (cd "$src" && apt-get "${apt_opts[@]}" source --download-only "$pkg=$version") || return 1
    rm -rf "${src:?}/$dir"
    dpkg-source --no-check -x "$src/${pkg}_${version#*:}.dsc" "$src/$dir" > /dev/null
    touch "$src/$dir/.quadrivo-unpacked"
}

# --- SQLite for Windows ------------------------------------------------------

# A static library from Debian's sqlite3 source: the amalgamation is
# generated on this machine (it needs tclsh), then compiled with MinGW; the
# program links it in, so no sqlite DLL ships.
build_sqlite() {
    [ ! -f "$cache/sqlite.ok" ] || { echo "già pronto: $sqlite"; return 0; }
    fetch_source sqlite3 "$sqlite_src_version" sqlite || die "sorgente di sqlite3 $sqlite_src_version non disponibile"
    local b="$bld/sqlite"
    rm -rf "$b" "$sqlite"
    mkdir -p "$b" "$sqlite/include" "$sqlite/lib"
    (cd "$b" && "$src/sqlite/configure" > configure.log 2>&1 && "${heavy[@]}" make -j"$jobs" sqlite3.c > make.log 2>&1) \
        || die "amalgamazione di SQLite non riuscita (vedi $b)"
    "${heavy[@]}" $triplet-gcc-posix -O2 -DSQLITE_THREADSAFE=1 -DSQLITE_ENABLE_COLUMN_METADATA \
        -DSQLITE_OMIT_LOAD_EXTENSION -c "$b/sqlite3.c" -o "$b/sqlite3.o"
    $triplet-ar rcs "$sqlite/lib/libsqlite3.a" "$b/sqlite3.o"
    cp "$b/sqlite3.h" "$b/sqlite3ext.h" "$sqlite/include/"
    echo "$sqlite_src_version" > "$cache/sqlite.ok"
    rm -rf "$b" "${src:?}/sqlite"
}

# --- SQLiteCpp for Windows ---------------------------------------------------

# The C++ layer the store speaks to SQLite through, from Debian's sqlitecpp
# source, over the SQLite above: a static library and its CMake package.
build_sqlitecpp() {
    [ ! -f "$cache/sqlitecpp.ok" ] || { echo "già pronto: $sqlitecpp"; return 0; }
    fetch_source sqlitecpp "$sqlitecpp_src_version" sqlitecpp || die "sorgente di sqlitecpp $sqlitecpp_src_version non disponibile"
    cp "$top/cmake/mingw-w64-x86_64.cmake" "$cache/mingw-w64-x86_64.cmake"
    local b="$bld/sqlitecpp"
    rm -rf "$b" "$sqlitecpp"
    "${heavy[@]}" cmake -S "$src/sqlitecpp" -B "$b" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$cache/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$sqlitecpp" -DSQLITECPP_INTERNAL_SQLITE=OFF \
        -DSQLITECPP_RUN_CPPLINT=OFF -DSQLITECPP_RUN_CPPCHECK=OFF -DSQLITECPP_BUILD_TESTS=OFF \
        -DSQLITECPP_BUILD_EXAMPLES=OFF -DSQLITECPP_USE_STACK_PROTECTION=OFF -DSQLITE_OMIT_LOAD_EXTENSION=ON \
        -DSQLite3_INCLUDE_DIR="$sqlite/include" -DSQLite3_LIBRARY="$sqlite/lib/libsqlite3.a" > "$b.configure.log" 2>&1 \
        || { tail -30 "$b.configure.log"; die "configurazione di SQLiteCpp non riuscita (vedi $b.configure.log)"; }
    "${heavy[@]}" cmake --build "$b" -j"$jobs" > "$b.build.log" 2>&1 \
        || { tail -30 "$b.build.log"; die "compilazione di SQLiteCpp non riuscita (vedi $b.build.log)"; }
    cmake --install "$b" > /dev/null || die "installazione di SQLiteCpp non riuscita"
    echo "$sqlitecpp_src_version" > "$cache/sqlitecpp.ok"
    rm -rf "$b" "$b".*.log "${src:?}/sqlitecpp"
}

# --- Qt for Windows ----------------------------------------------------------

# Only what Quadrivo needs: Core, Gui, Widgets, Test (for the test suite
# under Wine; the program does not ship it), the Windows platform plugin and
# style, and the offscreen plugin the tests run on. The host tools (moc, rcc, uic) are
# Debian's own of the same version, from qt6-base-dev-tools.
qtbase_options=(
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON
    -DQT_BUILD_TESTS=OFF -DQT_BUILD_EXAMPLES=OFF
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
    -DFEATURE_sql=OFF -DFEATURE_testlib=ON
    -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF
    -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF
    -DINPUT_opengl=no -DFEATURE_opengl=OFF -DFEATURE_vulkan=OFF
    # The Windows platform plugin draws text through DirectWrite, which
    # Qt 6.4 builds only together with Direct2D.
    -DFEATURE_direct2d=ON -DFEATURE_directwrite=ON -DFEATURE_directwrite3=ON
    # Qt's own FreeType as well, so that fontengine=freetype is at hand.
    -DFEATURE_freetype=ON -DFEATURE_system_freetype=OFF -DFEATURE_fontconfig=OFF -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF
    -DFEATURE_icu=OFF -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF
    -DFEATURE_system_png=OFF -DFEATURE_system_harfbuzz=OFF
    # Debian's source leaves out the Wintab header (its license forbids
    # changes); without tablet events the Windows plugin does not need it.
    -DFEATURE_tabletevent=OFF
)

build_qtbase() {
    [ ! -f "$cache/qtbase.ok" ] || { echo "già pronto: $qt"; return 0; }
    fetch_source qt6-base "$qtbase_src_version" qtbase || die "sorgente di qt6-base $qtbase_src_version non disponibile"
    # Qt's build records the toolchain file's path; the copy in the cache
    # outlives any checkout of this repository.
    cp "$top/cmake/mingw-w64-x86_64.cmake" "$cache/mingw-w64-x86_64.cmake"
    local b="$bld/qtbase"
    mkdir -p "$b"
    # Configured again when the options above changed since the last run.
    printf '%s\n' "${qtbase_options[@]}" > "$b/options.new"
    if [ ! -f "$b/build.ninja" ] || ! cmp -s "$b/options.new" "$b/options.txt"; then
        "${heavy[@]}" cmake -S "$src/qtbase" -B "$b" -G Ninja \
            -DCMAKE_TOOLCHAIN_FILE="$cache/mingw-w64-x86_64.cmake" \
            -DCMAKE_INSTALL_PREFIX="$qt" "${qtbase_options[@]}" > "$b/configure.log" 2>&1 \
            || { tail -30 "$b/configure.log"; die "configurazione di qtbase non riuscita (vedi $b/configure.log)"; }
        mv "$b/options.new" "$b/options.txt"
    fi
    echo "compilazione: $b/build.log"
    "${heavy[@]}" cmake --build "$b" -j"$jobs" > "$b/build.log" 2>&1 \
        || { tail -30 "$b/build.log"; die "compilazione di qtbase non riuscita (vedi $b/build.log)"; }
    cmake --install "$b" > "$b/install.log" 2>&1 || die "installazione di qtbase non riuscita"
    echo "$qtbase_src_version" > "$cache/qtbase.ok"
    # The build tree takes gigabytes; what is installed is all that is used.
    rm -rf "$b" "${src:?}/qtbase"
}

# Qt Charts on top of it, configured through the new Qt's own toolchain
# file, from QTCHARTS_SOURCE or else Debian's source package.
qtcharts_source() {
    local given=${QTCHARTS_SOURCE:-}
    if [ -n "$given" ]; then
        [ -e "$given" ] || die "QTCHARTS_SOURCE=$given non esiste"
        [ ! -f "$src/qtcharts/.quadrivo-unpacked" ] || return 0
        rm -rf "${src:?}/qtcharts"
        if [ -d "$given" ]; then
            cp -a "$given" "$src/qtcharts"
        else
            mkdir -p "$src/qtcharts"
            tar -xf "$given" -C "$src/qtcharts" --strip-components=1 \
                || die "QTCHARTS_SOURCE=$given non è un archivio leggibile"
        fi
        [ -f "$src/qtcharts/CMakeLists.txt" ] || die "QTCHARTS_SOURCE=$given non contiene il sorgente di Qt Charts"
        touch "$src/qtcharts/.quadrivo-unpacked"
        return 0
    fi
    fetch_source qt6-charts "$qtcharts_src_version" qtcharts && return 0
    die "sorgente di Qt Charts $qt_version non disponibile dal registro di Debian.
Il sorgente si trova sul sito di download di Qt come
qtcharts-everywhere-src-$qt_version.tar.xz (oppure nel repository git pubblico
di Qt Charts, tag v$qt_version). Indicarlo con:
  QTCHARTS_SOURCE=/percorso/qtcharts-everywhere-src-$qt_version.tar.xz scripts/windows.sh"
}

build_qtcharts() {
    [ ! -f "$cache/qtcharts.ok" ] || { echo "già pronto: Qt Charts"; return 0; }
    qtcharts_source
    local b="$bld/qtcharts"
    mkdir -p "$b"
    if [ ! -f "$b/build.ninja" ]; then
        "${heavy[@]}" cmake -S "$src/qtcharts" -B "$b" -G Ninja \
            -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
            -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$qt" \
            -DQT_BUILD_TESTS=OFF -DQT_BUILD_EXAMPLES=OFF > "$b/configure.log" 2>&1 \
            || { tail -30 "$b/configure.log"; die "configurazione di qtcharts non riuscita (vedi $b/configure.log)"; }
    fi
    echo "compilazione: $b/build.log"
    "${heavy[@]}" cmake --build "$b" -j"$jobs" > "$b/build.log" 2>&1 \
        || { tail -30 "$b/build.log"; die "compilazione di qtcharts non riuscita (vedi $b/build.log)"; }
    cmake --install "$b" > "$b/install.log" 2>&1 || die "installazione di qtcharts non riuscita"
    echo "${QTCHARTS_SOURCE:+$(basename "$QTCHARTS_SOURCE") }$qtcharts_src_version" > "$cache/qtcharts.ok"
    rm -rf "$b" "${src:?}/qtcharts"
}

cleanup_work() {
    # Once Qt is complete the downloads are of no more use either.
    if [ -f "$cache/qtbase.ok" ] && [ -f "$cache/qtcharts.ok" ]; then
        rm -rf "$src" "$bld"
    fi
}

# The Qt Charts source is looked for before the long build of qtbase.
[ -f "$cache/qtcharts.ok" ] || qtcharts_source
stage "SQLite per Windows" build_sqlite
stage "SQLiteCpp per Windows" build_sqlitecpp
stage "qtbase per Windows" build_qtbase
stage "qtcharts per Windows" build_qtcharts
cleanup_work

# --- Quadrivo ----------------------------------------------------------------

build="$out/build"
build_quadrivo() {
    "${heavy[@]}" cmake -S "$top" -B "$build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
        -DQT_CHAINLOAD_TOOLCHAIN_FILE="$top/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DQUADRIVO_WERROR=ON \
        -DQUADRIVO_BUILD_TESTS=OFF -DQUADRIVO_BUILD_BENCH=OFF \
        -DSQLite3_INCLUDE_DIR="$sqlite/include" -DSQLite3_LIBRARY="$sqlite/lib/libsqlite3.a" \
        -DSQLiteCpp_DIR="$sqlitecpp/lib/cmake/SQLiteCpp"
    "${heavy[@]}" cmake --build "$build" -j"$jobs"
}
stage "Quadrivo per Windows" build_quadrivo

# --- The zip -----------------------------------------------------------------

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || die "versione del progetto non trovata in $build/CMakeCache.txt"
name="Quadrivo-$version-win64"
stagedir="$out/$name"
zipfile="$out/$name.zip"

write_leggimi() {
    sed 's/$/\r/' > "$stagedir/LEGGIMI.txt" <<EOF
Quadrivo $version per Windows (64 bit)
======================================

Quadrivo tiene le statistiche di punteggio di un'alleanza di Zorva.

Installazione
-------------
Estrarre tutto il contenuto di questo archivio in una cartella propria,
per esempio Documenti\\Quadrivo, e avviare quadrivo.exe. Non serve
installare altro.

I file del programma
--------------------
Il programma tiene i suoi file nella cartella da cui viene avviato:
- Quadrivo.mdb: la base dati dei membri, creata vuota al primo avvio;
- Gradi.txt: l'elenco dei gradi, un nome per riga;
- Esempio1.txt ed Esempio2.txt: le palmerie d'esempio, iniziale e finale,
  lette con il pulsante "Leggi da FILE".
Per conservare i dati basta copiare la cartella.

Uso
---
1. "Dati Iniziali": incollare la palmeria di inizio periodo e premere OK.
2. "Dati Finali": incollare la palmeria di fine periodo e premere OK.
3. "Ordina x %" e "Ordina x incr.punti" ordinano la griglia.
4. "Esporta" prepara il resoconto; "Copia in clipboard" lo copia.
5. "Pulisci" azzera le statistiche per un nuovo periodo.
EOF
}

package() {
    rm -rf "$stagedir" "$zipfile"
    mkdir -p "$stagedir"/{platforms,styles,imageformats,translations}
    # Where the program is linked depends on the toolchain (Qt's own puts
    # programs at the top of the build tree): it is looked for.
    local exe
    exe=$(find "$build" -name quadrivo.exe -not -path '*/CMakeFiles/*' -print -quit)
    [ -n "$exe" ] || die "quadrivo.exe non trovato in $build"
    copy_image "$exe" "$stagedir" --strip-all
    copy_dlls "$stagedir/quadrivo.exe" "$stagedir"
    local plugin
    for plugin in platforms/qwindows.dll styles/qwindowsvistastyle.dll imageformats/qico.dll; do
        copy_image "$qt/plugins/$plugin" "$stagedir/$(dirname "$plugin")"
        copy_dlls "$stagedir/$plugin" "$stagedir"
    done
    cp /usr/share/qt6/translations/qtbase_it.qm "$stagedir/translations/"
    # Qt looks for its plugins and translations beside the program. Text is
    # drawn through Qt's own FreeType: Qt 6.4's default GDI font engine,
    # under Wine, draws the capital I of Liberation Sans (what the
    # program's sans-serif fonts come to there) blank, while FreeType, as on
    # Linux, draws every glyph; on Windows it takes the same TrueType fonts.
    printf '[Paths]\r\nPrefix = .\r\nPlugins = .\r\nTranslations = translations\r\n\r\n[Platforms]\r\nWindowsArguments = fontengine=freetype\r\n' \
        > "$stagedir/qt.conf"
    cp "$top/examples/Gradi.txt" "$top/examples/Esempio1.txt" "$top/examples/Esempio2.txt" "$stagedir/"
    sed 's/$/\r/' "$top/LICENSE" > "$stagedir/LICENSE.txt"
    write_leggimi
    (cd "$out" && zip -q -r -X "$zipfile" "$name")
    echo "contenuto:"
    (cd "$stagedir" && find . -type f | sort | sed 's|^\./|  |')
}
stage "archivio zip" package

# --- The installer -----------------------------------------------------------

setupfile="$out/Quadrivo-$version-setup.exe"
installer() {
    # What the uninstaller removes: every file the zip holds, then its
    # folders, deepest first; nothing else under the program's folder.
    local files="$out/installer-files.nsh" f d
    : > "$files"
    while IFS= read -r f; do
        printf 'Delete "$INSTDIR\\%s"\n' "${f//\//\\}" >> "$files"
    done < <(cd "$stagedir" && find . -type f | sed 's|^\./||' | sort)
    while IFS= read -r d; do
        printf 'RMDir "$INSTDIR\\%s"\n' "${d//\//\\}" >> "$files"
    done < <(cd "$stagedir" && find . -mindepth 1 -type d | sed 's|^\./||' | sort -r)
    # Windows wants a file version of four numbers.
    local fileversion=$version
    while [ "$(tr -cd . <<<"$fileversion" | wc -c)" -lt 3 ]; do fileversion+=.0; done
    rm -f "$setupfile"
    makensis -V2 -DVERSION="$version" -DFILEVERSION="$fileversion" -DSTAGE="$stagedir" -DICON="$top/packaging/windows/quadrivo.ico" \
        -DFILES="$files" -DOUTFILE="$setupfile" "$top/packaging/windows/quadrivo.nsi"
    [ -f "$setupfile" ] || die "installatore non creato"
    ls -l "$setupfile"
}
stage "installatore" installer

say "pronto: $zipfile e $setupfile"
echo "tempi di questa esecuzione:"
cat "$times_file"
