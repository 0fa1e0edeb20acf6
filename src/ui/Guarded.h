// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <exception>
#include <utility>

class QWidget;

/// Tells the user, in a box, that a command failed and why.
void showFailure(QWidget *parent, const std::exception &error);
void showUnknownFailure(QWidget *parent);

/// Runs an event handler so that no failure escapes into the event loop:
/// whatever it throws is shown to the user and the program goes on.
/// Returns true when the handler ran to its end.
template <typename Handler> bool runGuarded(QWidget *parent, Handler &&handler) noexcept
{
    try {
        std::forward<Handler>(handler)();
        return true;
    } catch (const std::exception &error) {
        showFailure(parent, error);
    } catch (...) {
        showUnknownFailure(parent);
    }
    return false;
}
