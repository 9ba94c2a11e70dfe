#include "ui/artwork.h"

namespace artwork {

#define MARVANTO_TEN_CARDS(d) \
    card_##d##0, card_##d##1, card_##d##2, card_##d##3, card_##d##4, \
    card_##d##5, card_##d##6, card_##d##7, card_##d##8, card_##d##9

const std::array<const unsigned char*, CARD_COUNT> CARD_FACES = {
    MARVANTO_TEN_CARDS(0), MARVANTO_TEN_CARDS(1), MARVANTO_TEN_CARDS(2),
    MARVANTO_TEN_CARDS(3), MARVANTO_TEN_CARDS(4), card_50, card_51,
};

#undef MARVANTO_TEN_CARDS

const std::array<const unsigned char*, 3> HANG_JACK = {hangjack_1, hangjack_2, hangjack_3};

}  // namespace artwork
