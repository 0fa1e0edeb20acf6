// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "ui/TextBox.h"

#include <QMimeData>
#include <QPalette>
#include <QTextBlock>
#include <QTextDocument>

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
    // Every character as typed; only the line breaks, between the blocks
    // and within one (Shift+Enter), become CR LF. The text is written once,
    // block by block, into a string of its size: a pasted list of 32,767
    // lines is some 2 million characters, and a copy of the whole in
    // between would cost as much again in fresh memory.
    const QTextDocument *doc = document();
    QString text;
    text.reserve(doc->characterCount() - 1 + doc->blockCount() - 1);
    const auto isBreak = [](QChar c) { return c == QChar::ParagraphSeparator || c == QChar::LineSeparator; };
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        if (block != doc->begin())
            text.append(u"\r\n");
        const QString line = block.text();
        auto from = line.cbegin();
        for (auto at = std::find_if(from, line.cend(), isBreak); at != line.cend();
             from = at + 1, at = std::find_if(from, line.cend(), isBreak)) {
            text.append(QStringView(from, at));
            text.append(u"\r\n");
        }
        text.append(QStringView(from, line.cend()));
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
