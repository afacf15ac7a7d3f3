#include "surface/colour_quantizer.h"

#include <algorithm>
#include <cstdint>

namespace {

// A colour as red << 16 | green << 8 | blue.
uint32_t Key(const BYTE* bgr) {
    return static_cast<uint32_t>(bgr[2]) << 16 | static_cast<uint32_t>(bgr[1]) << 8 | bgr[0];
}

// channel 0 = red, 1 = green, 2 = blue
int Channel(uint32_t colour, int channel) {
    return static_cast<int>(colour >> (16 - 8 * channel) & 0xFF);
}

struct ColourCount {
    uint32_t colour;
    uint32_t pixels;
};

// The colours [begin, end) of the sorted colour list.
struct Box {
    size_t begin = 0;
    size_t end = 0;
    uint64_t pixels = 0;
    int longestSide = 0;  // channel with the widest range
    int range = 0;        // that range
};

void Measure(const std::vector<ColourCount>& colours, Box* box) {
    int lo[3] = {255, 255, 255};
    int hi[3] = {0, 0, 0};
    box->pixels = 0;
    for (size_t i = box->begin; i < box->end; ++i) {
        for (int c = 0; c < 3; ++c) {
            int value = Channel(colours[i].colour, c);
            lo[c] = std::min(lo[c], value);
            hi[c] = std::max(hi[c], value);
        }
        box->pixels += colours[i].pixels;
    }
    box->longestSide = 0;
    box->range = -1;
    for (int c = 0; c < 3; ++c) {
        if (hi[c] - lo[c] > box->range) {
            box->range = hi[c] - lo[c];
            box->longestSide = c;
        }
    }
}

// Splits the box at the weighted median of its longest side; the upper half
// is returned, the lower half stays in *box.
Box Split(std::vector<ColourCount>& colours, Box* box) {
    const int side = box->longestSide;
    std::sort(colours.begin() + static_cast<long>(box->begin),
              colours.begin() + static_cast<long>(box->end),
              [side](const ColourCount& a, const ColourCount& b) {
                  return Channel(a.colour, side) < Channel(b.colour, side);
              });
    size_t middle = box->end - 1;
    uint64_t below = 0;
    for (size_t i = box->begin; i + 1 < box->end; ++i) {
        below += colours[i].pixels;
        if (below * 2 >= box->pixels) {
            middle = i + 1;
            break;
        }
    }
    Box upper;
    upper.begin = middle;
    upper.end = box->end;
    box->end = middle;
    Measure(colours, box);
    Measure(colours, &upper);
    return upper;
}

std::vector<uint32_t> MedianCut(std::vector<ColourCount> colours, int maxColours) {
    std::vector<Box> boxes(1);
    boxes[0].end = colours.size();
    Measure(colours, &boxes[0]);
    while (static_cast<int>(boxes.size()) < maxColours) {
        // The box whose pixels spread widest: population times longest side.
        Box* widest = nullptr;
        double widestScore = 0;
        for (Box& box : boxes) {
            double score = static_cast<double>(box.pixels) * box.range;
            if (box.end - box.begin >= 2 && score > widestScore) {
                widestScore = score;
                widest = &box;
            }
        }
        if (!widest) break;
        Box upper = Split(colours, widest);
        boxes.push_back(upper);
    }
    std::vector<uint32_t> palette;
    for (const Box& box : boxes) {
        uint64_t sum[3] = {0, 0, 0};
        for (size_t i = box.begin; i < box.end; ++i)
            for (int c = 0; c < 3; ++c)
                sum[c] += static_cast<uint64_t>(Channel(colours[i].colour, c)) * colours[i].pixels;
        uint32_t mean = 0;
        for (int c = 0; c < 3; ++c)
            mean = mean << 8 | static_cast<uint32_t>((sum[c] + box.pixels / 2) / box.pixels);
        palette.push_back(mean);
    }
    return palette;
}

BYTE Nearest(uint32_t colour, const std::vector<uint32_t>& palette) {
    size_t best = 0;
    int bestDistance = 1 << 30;
    for (size_t i = 0; i < palette.size(); ++i) {
        int distance = 0;
        for (int c = 0; c < 3; ++c) {
            int d = Channel(colour, c) - Channel(palette[i], c);
            distance += d * d;
        }
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return static_cast<BYTE>(best);
}

}  // namespace

bool QuantizeColours(const QuantizerInput& input, int maxColours, BYTE* indices, long indexStride,
                     std::vector<RGBQUAD>* palette) {
    if (maxColours < 1 || maxColours > 256 || !input.bgr || input.width < 1 || input.height < 1 ||
        !indices || !palette)
        return false;
    auto row = [&input](int y) { return input.bgr + static_cast<long>(y) * input.stride; };

    // The picture's own colours with their pixel counts, in colour order.
    std::vector<uint32_t> keys;
    keys.reserve(static_cast<size_t>(input.width) * static_cast<size_t>(input.height));
    for (int y = 0; y < input.height; ++y)
        for (int x = 0; x < input.width; ++x)
            keys.push_back(Key(row(y) + 3 * x));
    std::sort(keys.begin(), keys.end());
    std::vector<ColourCount> colours;
    for (uint32_t key : keys) {
        if (colours.empty() || colours.back().colour != key)
            colours.push_back({key, 1});
        else
            ++colours.back().pixels;
    }
    keys.clear();
    keys.shrink_to_fit();

    std::vector<uint32_t> chosen;
    std::vector<BYTE> indexOfColour(colours.size());
    if (colours.size() <= static_cast<size_t>(maxColours)) {
        for (size_t i = 0; i < colours.size(); ++i) {
            chosen.push_back(colours[i].colour);
            indexOfColour[i] = static_cast<BYTE>(i);
        }
    } else {
        chosen = MedianCut(colours, maxColours);
        for (size_t i = 0; i < colours.size(); ++i)
            indexOfColour[i] = Nearest(colours[i].colour, chosen);
    }

    palette->clear();
    for (uint32_t colour : chosen)
        palette->push_back(RGBQUAD{static_cast<BYTE>(colour), static_cast<BYTE>(colour >> 8),
                                   static_cast<BYTE>(colour >> 16), 0});

    uint32_t lastKey = 0xFFFFFFFF;
    BYTE lastIndex = 0;
    for (int y = 0; y < input.height; ++y) {
        const BYTE* pixel = row(y);
        BYTE* out = indices + static_cast<long>(y) * indexStride;
        for (int x = 0; x < input.width; ++x, pixel += 3) {
            uint32_t key = Key(pixel);
            if (key != lastKey) {
                auto found = std::lower_bound(
                    colours.begin(), colours.end(), key,
                    [](const ColourCount& entry, uint32_t k) { return entry.colour < k; });
                lastIndex = indexOfColour[static_cast<size_t>(found - colours.begin())];
                lastKey = key;
            }
            out[x] = lastIndex;
        }
    }
    return true;
}
