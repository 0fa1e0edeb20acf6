// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "store/SharedTexts.h"

void SharedTexts::share(QString &text)
{
    if (!m_open)
        return;
    const auto kept = m_texts.constFind(text);
    if (kept != m_texts.constEnd()) {
        text = *kept;
    } else if (m_texts.size() < m_limit) {
        m_texts.insert(text, text);
    } else {
        m_open = false;
        m_texts = {};
    }
}
