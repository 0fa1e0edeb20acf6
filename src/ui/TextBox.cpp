// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "ui/TextBox.h"

#include <QMimeData>
#include <QPalette>

#include <algorithm>

TextBox::TextBox(QWidget *parent)
    : QPlainTextEdit(parent)
{
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // The selection is hidden while the box has no focus.
    QPalette pal = palette();
    pal.setColor(QPalette::Inactive, QPalette::Highlight, pal.color(QPalette::Inactive, QPalette::Base));
    pal.setColor(QPalette::Inactive, QPalette::HighlightedText, pal.color(QPalette::Inactive, QPalette::Text));
    setPalette(pal);
}

QString TextBox::Text() const
{
    // The raw text keeps every character as typed; only the block and line
    // separators that stand for line breaks become CR LF. Counted first, so
    // that the text is written once into a string of its exact size: a
    // pasted list of 32,767 lines is some 2 million characters.
    const QString raw = document()->toRawText();
    const auto isBreak = [](QChar c) { return c == QChar::ParagraphSeparator || c == QChar::LineSeparator; };
    const qsizetype breaks = std::count_if(raw.cbegin(), raw.cend(), isBreak);
    if (breaks == 0)
        return raw;
    QString text(raw.size() + breaks, Qt::Uninitialized);
    QChar *out = text.data();
    for (const QChar c : raw) {
        if (isBreak(c)) {
            *out++ = u'\r';
            *out++ = u'\n';
        } else {
            *out++ = c;
        }
    }
    return text;
}

void TextBox::setText(const QString &text)
{
    setPlainText(toLf(text));
}

QString TextBox::toLf(const QString &text)
{
    QString out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c == u'\r') {
            out += u'\n';
            if (i + 1 < n && text.at(i + 1) == u'\n')
                ++i;
        } else {
            out += c;
        }
    }
    return out;
}

void TextBox::insertFromMimeData(const QMimeData *source)
{
    if (source && source->hasText()) {
        insertPlainText(toLf(source->text()));
        ensureCursorVisible();
        return;
    }
    QPlainTextEdit::insertFromMimeData(source);
}
