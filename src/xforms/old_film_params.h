// Old Film's parameters: a dirty frame of black-and-white film.
#pragma once

struct OldFilmParams {
    int wizardChooses = 1;
    int sprockets = 0;         // sprocket bands with holes at the sides
    int processingErrors = 1;  // greys from a random selection instead of the user's
    int dirtiness = 50;        // 0..100, specks / 4

    bool operator==(const OldFilmParams&) const = default;
};
