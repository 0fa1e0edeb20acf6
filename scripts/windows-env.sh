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
