// Fallen Letters' parameters: letters dropped onto the picture.
#pragma once

#include "engine/toolkit.h"
#include "surface/gdi_types.h"

// The choices of the letter colour list, by item index.
enum FallenLettersColourMode : int {
    kLettersSingleSolid = 0,
    kLettersBasedOnImage = 1,
    kLettersRandom = 2,
};

constexpr int kMaxLetters = 26;

struct FallenLettersParams {
    int wizardChooses = 1;
    int byIntensity = 1;  // letters are likelier where the force is strong
    int bySize = 0;       // letters are larger where the force is strong
    COLORREF letterColour = 0xFFFFFF;
    Background background;
    int count = 550;                       // 100..1000
    int colourMode = kLettersSingleSolid;  // 0..2
    double letterSize = 4.5;               // 1.0..8.0, height in percent of the canvas width
    char letters[kMaxLetters + 1] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";

    bool operator==(const FallenLettersParams&) const = default;
};
