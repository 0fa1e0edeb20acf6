// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QString>

struct Post;

/// The post in BBCode, as the forums of phpBB, SMF, vBulletin and WoltLab
/// take it: the title and the headings in bold, gains in green and losses
/// in red, every tag closed, and no square bracket of a member's text
/// read as a tag. Lines end with CR LF.
QString scriviBBCode(const Post &post);
