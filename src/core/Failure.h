// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QString>

#include <stdexcept>

/// A failure that reaches the user: a command stops, and the message says
/// in Italian what went wrong. Every layer throws this type (or a type
/// derived from it that carries more detail); the windows' failure boundary
/// shows its message.
class UserError : public std::runtime_error
{
public:
    explicit UserError(const QString &message)
        : std::runtime_error(message.toStdString())
    {
    }

    QString message() const { return QString::fromUtf8(what()); }
};
