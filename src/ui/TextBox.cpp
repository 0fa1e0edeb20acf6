// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "ui/TextBox.h"

#include <QMimeData>
#include <QPalette>
#include <QPlainTextDocumentLayout>
#include <QTextCursor>
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
    // (U+2029 in the document's text) and within one (Shift+Enter, U+2028),
    // become CR LF. The document's text comes out in one piece and grows in
    // place, from its end, by one character a break: a pasted list of 32,767
    // lines is some 2 million characters, and a copy of the whole in between
    // would cost as much again in fresh memory.
    QString text = document()->toRawText();
    const auto isBreak = [](QChar c) { return c == QChar::ParagraphSeparator || c == QChar::LineSeparator; };
    const auto breaks = std::count_if(text.cbegin(), text.cend(), isBreak);
    if (breaks == 0)
        return text;
    qsizetype from = text.size();
    text.resize(from + breaks);
    QChar *data = text.data();
    for (qsizetype to = text.size(); from > 0;) {
        const QChar c = data[--from];
        if (isBreak(c)) {
            data[--to] = u'\n';
            data[--to] = u'\r';
        } else {
            data[--to] = c;
        }
    }
    return text;
}

void TextBox::setText(const QString &text)
{
    setPlainText(toLf(text));
}

int TextBox::release()
{
    const int position = textCursor().position();
    // Emptied, a document keeps the room its undo history took (2 MB for a
    // pasted list of 32,767 lines): a new one takes its place, set up alike.
    QTextDocument *old = document();
    auto *fresh = new QTextDocument(this);
    fresh->setDocumentLayout(new QPlainTextDocumentLayout(fresh));
    fresh->setDefaultFont(old->defaultFont());
    fresh->setDocumentMargin(old->documentMargin());
    fresh->setUndoRedoEnabled(old->isUndoRedoEnabled());
    // The box's first document belongs to the box's editing control, which
    // deletes it when it takes another; this box deletes those it made.
    const bool madeHere = old->parent() == this;
    setDocument(fresh);
    if (madeHere)
        delete old;
    return position;
}

void TextBox::putBack(const QString &text, int cursorPosition)
{
    setText(text);
    QTextCursor cursor = textCursor();
    cursor.setPosition(std::min(cursorPosition, document()->characterCount() - 1));
    setTextCursor(cursor);
    ensureCursorVisible();
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
