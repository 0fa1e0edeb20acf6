// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "ui/MessageBox.h"

#include <QMessageBox>
#include <QPushButton>

#ifdef Q_OS_WIN
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// The system's own MessageBox is a macro; ours is a namespace.
#undef MessageBox
#endif

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
#ifdef Q_OS_WIN
    // Qt gives a window without a title the program's name on Windows;
    // the box's own window gets its empty title once it exists.
    if (title.isEmpty())
        SetWindowTextW(reinterpret_cast<HWND>(box.winId()), L"");
#endif
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

void warn(QWidget *parent, const QString &text)
{
    if (!text.isEmpty())
        show(parent, text, Icon::Exclamation, applicationTitle());
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
