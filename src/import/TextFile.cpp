// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "import/TextFile.h"

#include "core/Failure.h"
#include "core/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <optional>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

// Windows-1252 differs from Latin-1 only in 0x80-0x9F. Its five unassigned
// bytes keep their Latin-1 control characters, so no byte is lost.
constexpr char16_t windows1252High[32] = {
    u'\u20AC', u'\u0081', u'\u201A', u'\u0192', u'\u201E', u'\u2026', u'\u2020', u'\u2021',
    u'\u02C6', u'\u2030', u'\u0160', u'\u2039', u'\u0152', u'\u008D', u'\u017D', u'\u008F',
    u'\u0090', u'\u2018', u'\u2019', u'\u201C', u'\u201D', u'\u2022', u'\u2013', u'\u2014',
    u'\u02DC', u'\u2122', u'\u0161', u'\u203A', u'\u0153', u'\u009D', u'\u017E', u'\u0178',
};

QString decodeWindows1252(const QByteArray &bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *out++ = QChar(b >= 0x80 && b < 0xA0 ? windows1252High[b - 0x80] : char16_t(b));
    }
    return text;
}

QString shownName(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

[[noreturn]] void failRead(const QString &path, const QString &why)
{
    throw UserError(QStringLiteral("Impossibile leggere il file «%1»: %2.").arg(shownName(path), why));
}

// The rank list is read several times for every member line of an import,
// and QFile spends seven system calls on a small file: open, three stats,
// two reads and close. This reads it with the four it needs. Any failure
// gives nothing, and the caller reads through QFile, which tells why.
std::optional<QByteArray> readDirectly(const QString &path)
{
#ifdef Q_OS_UNIX
    const QByteArray name = QFile::encodeName(path);
    int fd = -1;
    do {
        fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return std::nullopt;

    QByteArray bytes(4096, Qt::Uninitialized);
    qsizetype size = 0;
    bool failed = false;
    for (;;) {
        if (size == bytes.size())
            bytes.resize(bytes.size() * 2);
        const ssize_t n = ::read(fd, bytes.data() + size, static_cast<std::size_t>(bytes.size() - size));
        if (n > 0) {
            size += n;
        } else if (n == 0) {
            break;
        } else if (errno != EINTR) {
            failed = true;
            break;
        }
    }
    ::close(fd);
    if (failed)
        return std::nullopt;
    bytes.truncate(size);
    return bytes;
#else
    Q_UNUSED(path);
    return std::nullopt;
#endif
}

} // namespace

QString decodeText(const QByteArray &bytes)
{
    // Stateless, so that a sequence cut short at the end counts as invalid.
    QStringDecoder decoder(QStringConverter::System, QStringConverter::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return decodeWindows1252(bytes);
    return text;
}

QString readTextFile(const QString &path)
{
    if (const auto bytes = readDirectly(path))
        return decodeText(*bytes);

    // Whether the file exists is asked only when it cannot be opened.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        failRead(path, file.exists() ? fileErrorReason(file) : QStringLiteral("file non trovato"));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        failRead(path, fileErrorReason(file));
    return decodeText(bytes);
}

void writeTextFile(const QString &path, const QString &text)
{
    QStringEncoder encoder(QStringConverter::System);
    writeWholeFile(path, encoder.encode(text));
}
