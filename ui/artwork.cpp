#include "ui/artwork.h"

#include "artwork_large_data.h"
#include "artwork_medium_data.h"
#include "artwork_small_data.h"

namespace {

#define MARVANTO_TEN_CARDS(ns, d) \
    ns::card_##d##0, ns::card_##d##1, ns::card_##d##2, ns::card_##d##3, ns::card_##d##4, \
    ns::card_##d##5, ns::card_##d##6, ns::card_##d##7, ns::card_##d##8, ns::card_##d##9

#define MARVANTO_ARTWORK_SET(ns)                                                                    \
    ArtworkSet                                                                                      \
    {                                                                                               \
        {MARVANTO_TEN_CARDS(ns, 0), MARVANTO_TEN_CARDS(ns, 1), MARVANTO_TEN_CARDS(ns, 2),           \
         MARVANTO_TEN_CARDS(ns, 3), MARVANTO_TEN_CARDS(ns, 4), ns::card_50, ns::card_51},           \
            ns::card_back, {ns::hangjack_1, ns::hangjack_2, ns::hangjack_3}, ns::banner, ns::banner_side, ns::icon \
    }

const ArtworkSet SMALL = MARVANTO_ARTWORK_SET(artwork_small);
const ArtworkSet MEDIUM = MARVANTO_ARTWORK_SET(artwork_medium);
const ArtworkSet LARGE = MARVANTO_ARTWORK_SET(artwork_large);

#undef MARVANTO_ARTWORK_SET
#undef MARVANTO_TEN_CARDS

}  // namespace

const ArtworkSet& artworkAt(CardScale scale)
{
    switch (scale) {
    case CardScale::MEDIUM: return MEDIUM;
    case CardScale::LARGE: return LARGE;
    case CardScale::SMALL: break;
    }
    return SMALL;
}

PixelSize gifSize(const unsigned char* gif)
{
    // After the six bytes of "GIF89a": the logical screen's width and
    // height, each two bytes, low byte first.
    return {gif[6] | gif[7] << 8, gif[8] | gif[9] << 8};
}
