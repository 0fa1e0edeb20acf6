// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QDialog>

#include <initializer_list>

class QPushButton;

/// A modal window of the program: its caption, the program's icon and font,
/// a fixed client area in twips, and no cancel button, so Escape does not
/// close it.
class ModalForm : public QDialog
{
    Q_OBJECT

public:
    ModalForm(QWidget *parent, const QString &caption, int widthTwips, int heightTwips);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

/// A bold command button placed in twips, with no part in Enter or Escape.
QPushButton *addCommandButton(QWidget *form, const char *name, const char *caption, int left, int top, int width,
                              int height);

/// Gives the buttons one width: the widest of their own and of what their
/// captions need in the font at hand, so that a row of buttons of one width
/// stays alike on a system whose font needs more room.
void giveSameWidth(std::initializer_list<QPushButton *> buttons);
