// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QSet>
#include <QString>
#include <QStringView>

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

/// What the fuzz targets share: how an input is read, an in-memory rank
/// list, and the check that stops the run when a property does not hold.
namespace fuzz {

/// Prints what went wrong and aborts, so that libFuzzer keeps the input.
[[noreturn]] void fail(const char *what, const QString &detail = QString());

/// Aborts with what when the condition does not hold.
inline void check(bool condition, const char *what, const QString &detail = QString())
{
    if (!condition)
        fail(what, detail);
}

/// The input's bytes as the program reads a text file.
QString decodeInput(const std::uint8_t *data, std::size_t size);

/// The pieces of an input, split at the lines that read "--" alone (ended by
/// CR LF, LF or CR). With no such line the whole input is one piece.
std::vector<QStringView> splitAtMarkers(QStringView text);

/// A text as the database gives it back: U+FFFE, U+FFFF and lone
/// surrogates read as U+FFFD.
QString asStored(const QString &text);

/// True when the text holds no lone surrogate.
bool isValidUtf16(QStringView text);

/// A rank list read item by item, as the program reads "Gradi.txt", kept in
/// memory so that a lookup costs no file access.
class RankList
{
public:
    explicit RankList(QStringView fileText);
    bool contains(const QString &phrase) const { return m_names.contains(phrase.toLower()); }

private:
    QSet<QString> m_names;
};

} // namespace fuzz
