// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QHash>
#include <QString>
#include <QStringView>

#include <limits>

/// Texts that come back again and again (a rank over every member, a home
/// planet in every snapshot) kept once: share() turns a text into the copy
/// already kept of an equal one, and keeps it when there is none. With a
/// limit, a source that shows more distinct texts than that (a nickname)
/// is left alone from then on.
class SharedTexts
{
public:
    explicit SharedTexts(qsizetype limit = std::numeric_limits<qsizetype>::max())
        : m_limit(limit)
    {
    }

    void share(QString &text);

    /// The copy kept of a text equal to this one; a null text when there is
    /// none, or when the source has been left alone.
    QString find(QStringView text) const;
    /// Keeps the text for later calls, unless the limit has been passed:
    /// then the source is left alone from now on.
    void keep(const QString &text);

private:
    qsizetype m_limit;
    QHash<QString, QString> m_texts;
    bool m_open = true;
};
