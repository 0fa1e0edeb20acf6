// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "core/TextBlocks.h"

#include <algorithm>

namespace {

constexpr std::size_t blockChars = 32 * 1024;
// A longer text has a block of its own, so that little of a block is lost
// at its end.
constexpr std::size_t ownBlockChars = blockChars / 8;

constexpr char16_t noChars[1] = {};

} // namespace

QStringView TextBlocks::keep(QStringView text)
{
    if (text.isEmpty())
        return QStringView(noChars, 0);
    const auto size = static_cast<std::size_t>(text.size());
    char16_t *chars = nullptr;
    if (size > ownBlockChars) {
        m_blocks.push_back(std::make_unique_for_overwrite<char16_t[]>(size));
        chars = m_blocks.back().get();
    } else {
        if (size > m_left) {
            m_blocks.push_back(std::make_unique_for_overwrite<char16_t[]>(blockChars));
            m_free = m_blocks.back().get();
            m_left = blockChars;
        }
        chars = m_free;
        m_free += size;
        m_left -= size;
    }
    std::copy(text.utf16(), text.utf16() + size, chars);
    return QStringView(chars, text.size());
}

QString TextBlocks::keepShared(const QString &text)
{
    if (text.isEmpty())
        return text;
    const QStringView kept = keep(text);
    return QString::fromRawData(kept.data(), kept.size());
}
