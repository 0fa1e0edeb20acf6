// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "ui/MessageBox.h"

#include <QMessageBox>
#include <QPushButton>
#include <QWindow>

QString applicationTitle()
{
    return QStringLiteral("Quadrivo ZORVA");
}

namespace MessageBox {

namespace {

// What every box of the program shares: its name, title and plain text.
void prepara(QMessageBox &box, const QString &text, const QString &title)
{
    box.setObjectName(QStringLiteral("messageBox"));
    box.setWindowTitle(title);
    box.setText(text);
    box.setTextFormat(Qt::PlainText);
    // Windows names a window that is created without a title after the
    // program; the empty title is given again once the window exists.
    if (title.isEmpty()) {
        box.winId();
        if (QWindow *window = box.windowHandle())
            window->setTitle(title);
    }
}

} // namespace

void show(QWidget *parent, const QString &text, Icon icon, const QString &title)
{
    QMessageBox box(parent);
    prepara(box, text, title);
    switch (icon) {
    case Icon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case Icon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case Icon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

bool ask(QWidget *parent, const QString &text, const QString &title)
{
    QMessageBox box(parent);
    prepara(box, text, title);
    box.setIcon(QMessageBox::Question);
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("&Sì"));
    box.button(QMessageBox::No)->setText(QStringLiteral("&No"));
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

} // namespace MessageBox
