// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QString>

class QWidget;

/// The title of every message box that gives none of its own.
QString applicationTitle();

/// The one way the program talks to the user in a box. Each box is a
/// QMessageBox named "messageBox", so tests can catch it when it is shown.
namespace MessageBox {

enum class Icon { None, Information, Exclamation, Critical };

/// Shows a modal box with the given text, icon and title and a single OK button.
void show(QWidget *parent, const QString &text, Icon icon, const QString &title);

/// Shows a warning with the program's title, when there is one: for what
/// went wrong beside a command that was not stopped by it.
void warn(QWidget *parent, const QString &text);

/// Asks a question in a modal box with the buttons "&Sì" and "&No", No
/// being the default (and Escape's answer). Returns true for Sì.
bool ask(QWidget *parent, const QString &text, const QString &title);

} // namespace MessageBox
