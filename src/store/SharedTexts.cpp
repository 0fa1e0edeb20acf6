// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "store/SharedTexts.h"

#include <utility>

void SharedTexts::share(QString &text)
{
    if (QString kept = find(text); !kept.isNull())
        text = std::move(kept);
    else
        keep(text);
}

QString SharedTexts::find(QStringView text) const
{
    if (!m_open)
        return {};
    // A view of the text as a key, not a copy.
    return m_texts.value(QString::fromRawData(text.data(), text.size()));
}

void SharedTexts::keep(const QString &text)
{
    if (!m_open)
        return;
    if (m_texts.size() < m_limit) {
        m_texts.insert(text, text);
    } else {
        m_open = false;
        m_texts = {};
    }
}
