// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QString>

#include <stdexcept>

/// A failure of the database, with a message for the user in Italian.
class DatabaseError : public std::runtime_error
{
public:
    explicit DatabaseError(const QString &message)
        : std::runtime_error(message.toStdString())
    {
    }

    QString message() const { return QString::fromUtf8(what()); }
};
