// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QString>

struct Post;

/// The longest message Discord takes, in characters.
constexpr qsizetype limiteDiscord = 2000;

/// The post for Discord: its texts as tables in monospace, the columns
/// padded, inside fenced code blocks (```), so that it reads alike in
/// every client. A post longer than one message is cut between lines into
/// whole blocks, each headed by a line "parte 1 di 3" and so on; a block
/// with its heading is at most limiteDiscord characters. Lines end with
/// CR LF, which count as two.
QString scriviMarkdown(const Post &post);
