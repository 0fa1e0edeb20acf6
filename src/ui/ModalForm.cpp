// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "ui/ModalForm.h"

#include "ui/AppIcon.h"
#include "ui/Twips.h"

#include <QKeyEvent>
#include <QPushButton>

#include <algorithm>

ModalForm::ModalForm(QWidget *parent, const QString &caption, int widthTwips, int heightTwips)
    : QDialog(parent)
{
    setWindowTitle(caption);
    setWindowIcon(appIcon());
    setFont(msSansSerif(false));
    setModal(true);
    setClientSizeTwips(this, widthTwips, heightTwips);
}

void ModalForm::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

QPushButton *addCommandButton(QWidget *form, const char *name, const char *caption, int left, int top, int width,
                              int height)
{
    auto *button = new QPushButton(QString::fromUtf8(caption), form);
    button->setObjectName(QString::fromLatin1(name));
    button->setFont(msSansSerif(true));
    button->setAutoDefault(false);
    button->setDefault(false);
    placeTwips(button, left, top, width, height);
    return button;
}

void giveSameWidth(std::initializer_list<QPushButton *> buttons)
{
    int width = 0;
    for (const QPushButton *button : buttons)
        width = std::max({width, button->width(), button->sizeHint().width()});
    for (QPushButton *button : buttons)
        button->resize(width, button->height());
}
