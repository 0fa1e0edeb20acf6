# Where Quadrivo's Windows build keeps Qt, SQLite and SQLiteCpp for Windows:
# sourced by scripts/windows.sh, which builds them, and by
# scripts/windows-tests.sh, which builds and runs the suite on them. The
# Windows Qt has the Linux Qt's version, taken from the installed packages;
# the sources are fetched in exactly the installed versions.
source_version() { dpkg-query -W -f='${source:Version}' "$1"; }
qtbase_src_version=$(source_version qt6-base-dev)
qtcharts_src_version=$(source_version qt6-charts-dev)
sqlite_src_version=$(source_version libsqlite3-dev)
sqlitecpp_src_version=$(source_version libsqlitecpp-dev)
qt_version=${qtbase_src_version#*:}
qt_version=${qt_version%%[+~-]*}

root=${QUADRIVO_MINGW_CACHE:-$HOME/.cache/quadrivo-mingw}
cache="$root/$qt_version"       # what is kept: Qt, SQLite and SQLiteCpp for Windows
qt="$cache/qt"
sqlite="$cache/sqlite"
sqlitecpp="$cache/sqlitecpp"
triplet=x86_64-w64-mingw32
# Where copy_dlls looks for a DLL: Qt's, then the MinGW runtime's.
dll_dirs=("$qt/bin" "$(dirname "$($triplet-gcc-posix -print-libgcc-file-name)")"
          "/usr/$triplet/lib" "/usr/$triplet/bin")

# Copies a program or DLL into a folder with its sections on page
# boundaries of the file and without debugging sections (a third argument,
# --strip-all, takes the symbols too): Wine reads an image laid out at
# MinGW's 512-byte steps whole into memory instead of mapping it, which
# cost the benchmark under Wine 32 MB (Qt's DLLs and the C++ runtime).
copy_image() {
    $triplet-objcopy "${3:---strip-debug}" --file-alignment 4096 "$1" "$2/$(basename "$1")"
}

# Copies into the given folder every DLL the given file loads that is not
# part of Windows itself, and what those DLLs load, each through
# copy_image.
copy_dlls() {
    local dll dir found
    for dll in $($triplet-objdump -p "$1" | sed -n 's/^\s*DLL Name: //p'); do
        [ ! -e "$2/$dll" ] || continue
        found=""
        for dir in "${dll_dirs[@]}"; do
            if [ -f "$dir/$dll" ]; then found="$dir/$dll"; break; fi
        done
        [ -n "$found" ] || continue     # a DLL of Windows
        copy_image "$found" "$2"
        copy_dlls "$2/$dll" "$2"
    done
}
