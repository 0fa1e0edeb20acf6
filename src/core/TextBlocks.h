// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QString>
#include <QStringView>

#include <memory>
#include <vector>

/// Texts kept back to back in blocks of 64 KiB that never move: a text once
/// kept stays where it is, unchanged, as long as the blocks live. Tens of
/// thousands of short texts (the nicknames of a list) take a few dozen
/// allocations instead of one each, with no header of their own, and leave
/// no small blocks scattered over the heap.
class TextBlocks
{
public:
    /// The text's copy in the blocks; the empty text takes no room.
    QStringView keep(QStringView text);
    /// The text as a QString that reads its copy in the blocks: it must not
    /// outlive them, nor be kept by anything that does. A null or empty
    /// text stays as it is.
    QString keepShared(const QString &text);

private:
    std::vector<std::unique_ptr<char16_t[]>> m_blocks;
    char16_t *m_free = nullptr; // the room left in the last block
    std::size_t m_left = 0;
};
