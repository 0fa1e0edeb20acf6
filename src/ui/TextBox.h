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

    /// Converts every CR LF, lone CR and lone LF to LF.
    static QString toLf(const QString &text);

protected:
    void insertFromMimeData(const QMimeData *source) override;
};
