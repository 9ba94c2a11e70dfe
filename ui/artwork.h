// The pictures the program carries inside itself, embedded by reswrap.
#pragma once

#include <array>

#include "engine/cards.h"

#include "artwork_data.h"

namespace artwork {

// Card faces in card index order: entry i shows the card whose index is i.
extern const std::array<const unsigned char*, CARD_COUNT> CARD_FACES;
// The hang-jack animation: the hand holding the card, swinging, striking.
extern const std::array<const unsigned char*, 3> HANG_JACK;

}  // namespace artwork
