// The pictures the program carries inside itself, embedded by reswrap: one
// set for each size of the table, drawn at that size.
#pragma once

#include <array>

#include "engine/cards.h"
#include "ui/card_scale.h"

struct ArtworkSet {
    // Card faces in card index order: entry i shows the card whose index is i.
    std::array<const unsigned char*, CARD_COUNT> cardFaces;
    const unsigned char* cardBack;
    // The hang-jack animation: the hand holding the card, swinging, striking.
    std::array<const unsigned char*, 3> hangJack;
    const unsigned char* banner;
    // One column of the banner's sky and sea, repeated beside it.
    const unsigned char* bannerSide;
    // The window icon, larger with the table.
    const unsigned char* icon;
};

const ArtworkSet& artworkAt(CardScale scale);

// A GIF's width and height, read from its header without decoding it.
PixelSize gifSize(const unsigned char* gif);
