// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include "core/Failure.h"

/// A database file that SQLite cannot read as one (damaged, cut short, or
/// not a database at all): the failure is the usual one, and the main
/// window's start-up adds how to go back to a copy of the file.
class DamagedDatabase : public UserError
{
public:
    using UserError::UserError;
};
