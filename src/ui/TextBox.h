// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QPlainTextEdit>

/// A multi-line text box whose text has CR LF between its lines, as the
/// program's files and clipboard text have. Text pasted with LF-only or
/// CR-only line ends is stored the same way.
class TextBox : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit TextBox(QWidget *parent = nullptr);

    /// The box's content, lines joined by CR LF.
    QString Text() const;
    /// Replaces the content; any of CR LF, CR or LF ends a line.
    void setText(const QString &text);

    /// Empties the box, its undo history with it, and gives the cursor's
    /// position for putBack(). The document of a long pasted list holds
    /// about twice as much memory as the list's text: a window that works
    /// on a copy of the text lets the box's go meanwhile.
    int release();
    /// Gives the box back a text that release() took, the cursor where it
    /// was.
    void putBack(const QString &text, int cursorPosition);

    /// Converts every CR LF, lone CR and lone LF to LF.
    static QString toLf(const QString &text);

protected:
    void insertFromMimeData(const QMimeData *source) override;
};
