#include "pictures/palette_quantiser.h"

#include <libimagequant.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <limits>
#include <memory>

namespace vexlor {

namespace {

// libimagequant's trade of time for quality in choosing the first palette, which the refinement
// below then moves: lower speeds gain little after it and cost several times as long.
constexpr int kChoosingSpeed = 7;
// Pictures of up to this many distinct colours are given to libimagequant and refined colour for
// colour; those of more are gathered into as many buckets first, which keeps the time within
// bounds whatever the noise, and then refined on their own colours for a round or two.
constexpr std::size_t kMostExactEntries = 32768;
// Rounds of moving each entry to the mean of the colours nearest it; they stop sooner once a
// round gains less than a thousandth of the squared error.
constexpr int kMostRefinements = 6;
constexpr int kMostExactRefinements = 1;

// libimagequant's objects, each released by its own function.
struct AttrRelease {
    void operator()(liq_attr* attr) const { liq_attr_destroy(attr); }
};
struct ResultRelease {
    void operator()(liq_result* result) const { liq_result_destroy(result); }
};
struct HistogramRelease {
    void operator()(liq_histogram* histogram) const { liq_histogram_destroy(histogram); }
};
using Attr = std::unique_ptr<liq_attr, AttrRelease>;
using Histogram = std::unique_ptr<liq_histogram, HistogramRelease>;
using QuantResult = std::unique_ptr<liq_result, ResultRelease>;

constexpr std::uint32_t kNone = 0xFFFFFFFFu;

int Red(Colour c) {
    return static_cast<int>(RedOf(c));
}
int Green(Colour c) {
    return static_cast<int>(GreenOf(c));
}
int Blue(Colour c) {
    return static_cast<int>(BlueOf(c));
}

std::uint32_t SquaredDistance(Colour a, Colour b) {
    const int dr = Red(a) - Red(b);
    const int dg = Green(a) - Green(b);
    const int db = Blue(a) - Blue(b);
    return static_cast<std::uint32_t>(dr * dr + dg * dg + db * db);
}

// Colours, each with how many pixels it stands for.
struct WeightedColours {
    std::vector<Colour> colours;
    std::vector<std::uint32_t> counts;
};

// The distinct colours of the opaque pixels, and which each pixel has.
struct ColourCounts : WeightedColours {
    std::vector<std::uint32_t> ofPixel;  // a position in `colours`, kNone for transparent pixels
};

ColourCounts CountColours(const RgbaPicture& picture, int opaqueAlpha) {
    // An open-addressed table at most half full: twice the pixels, or twice every colour there is.
    unsigned bits = 1;
    while ((std::size_t{1} << bits) < picture.PixelCount() * 2 && bits < 25) {
        ++bits;
    }
    const std::size_t mask = (std::size_t{1} << bits) - 1;
    std::vector<std::uint32_t> slots(mask + 1, kNone);
    ColourCounts counts;
    counts.ofPixel.assign(picture.PixelCount(), kNone);
    for (std::size_t i = 0; i < picture.PixelCount(); ++i) {
        const std::uint8_t* pixel = picture.rgba.data() + i * 4;
        if (pixel[3] < opaqueAlpha) {
            continue;
        }
        const Colour colour = MakeColour(pixel[0], pixel[1], pixel[2]);
        if (i > 0 && counts.ofPixel[i - 1] != kNone &&
            counts.colours[counts.ofPixel[i - 1]] == colour) {
            ++counts.counts[counts.ofPixel[i - 1]];
            counts.ofPixel[i] = counts.ofPixel[i - 1];
            continue;
        }
        std::size_t slot =
            (static_cast<std::uint64_t>(colour) * 0x9E3779B97F4A7C15u) >> (64 - bits);
        while (slots[slot] != kNone && counts.colours[slots[slot]] != colour) {
            slot = (slot + 1) & mask;
        }
        if (slots[slot] == kNone) {
            slots[slot] = static_cast<std::uint32_t>(counts.colours.size());
            counts.colours.push_back(colour);
            counts.counts.push_back(0);
        }
        ++counts.counts[slots[slot]];
        counts.ofPixel[i] = slots[slot];
    }
    return counts;
}

// Exact nearest-colour search: the colour cube is cut into 16 x 16 x 16 cells, and each cell,
// when first asked, keeps only the palette entries that can be nearest to some point inside it
// (those no farther from the cell than the entry whose farthest corner is nearest).
class NearestColour {
  public:
    explicit NearestColour(const std::vector<Colour>& palette)
        : palette_(palette), cells_(kCells * kCells * kCells) {
        // Rows past the palette stand so far away that they are never candidates, so that the
        // searches below run over all 256 and the compiler can do several at once.
        for (auto& row : nearest_) {
            row.fill(kFarAway);
        }
        for (auto& row : farthest_) {
            row.fill(kFarAway);
        }
        for (std::size_t i = 0; i < palette_.size(); ++i) {
            const int channel[3] = {Red(palette_[i]), Green(palette_[i]), Blue(palette_[i])};
            for (std::size_t c = 0; c < 3; ++c) {
                for (std::size_t cell = 0; cell < kCells; ++cell) {
                    const int low = static_cast<int>(cell) * kSide;
                    nearest_[c * kCells + cell][i] = Nearest(channel[c], low);
                    farthest_[c * kCells + cell][i] = Farthest(channel[c], low);
                }
            }
        }
    }

    // The palette position nearest to `colour`.
    std::uint8_t Find(Colour colour) {
        const int red = Red(colour);
        const int green = Green(colour);
        const int blue = Blue(colour);
        std::vector<std::uint8_t>& candidates =
            cells_[static_cast<std::size_t>(red / kSide) * kCells * kCells +
                   static_cast<std::size_t>(green / kSide) * kCells +
                   static_cast<std::size_t>(blue / kSide)];
        if (candidates.empty()) {
            candidates = CandidatesOf(red / kSide, green / kSide, blue / kSide);
        }
        std::uint8_t best = candidates.front();
        std::uint32_t bestDistance = std::numeric_limits<std::uint32_t>::max();
        for (std::uint8_t position : candidates) {
            const std::uint32_t distance = SquaredDistance(palette_[position], colour);
            if (distance < bestDistance) {
                bestDistance = distance;
                best = position;
            }
        }
        return best;
    }

  private:
    static constexpr int kSide = 16;
    static constexpr std::size_t kCells = 256 / kSide;
    static constexpr int kFarAway = 1 << 28;

    // Squared distances from a channel value to the nearest and farthest point of a cell's side.
    static int Nearest(int value, int low) {
        const int high = low + kSide - 1;
        const int d = value < low ? low - value : value > high ? value - high : 0;
        return d * d;
    }
    static int Farthest(int value, int low) {
        const int d = std::max(std::abs(value - low), std::abs(value - (low + kSide - 1)));
        return d * d;
    }

    std::vector<std::uint8_t> CandidatesOf(int r, int g, int b) const {
        const auto& nearR = nearest_[0 * kCells + static_cast<std::size_t>(r)];
        const auto& nearG = nearest_[1 * kCells + static_cast<std::size_t>(g)];
        const auto& nearB = nearest_[2 * kCells + static_cast<std::size_t>(b)];
        const auto& farR = farthest_[0 * kCells + static_cast<std::size_t>(r)];
        const auto& farG = farthest_[1 * kCells + static_cast<std::size_t>(g)];
        const auto& farB = farthest_[2 * kCells + static_cast<std::size_t>(b)];
        int bound = std::numeric_limits<int>::max();
        for (std::size_t i = 0; i < 256; ++i) {
            bound = std::min(bound, farR[i] + farG[i] + farB[i]);
        }
        std::array<std::uint8_t, 256> within;
        for (std::size_t i = 0; i < 256; ++i) {
            within[i] = nearR[i] + nearG[i] + nearB[i] <= bound ? 1 : 0;
        }
        std::vector<std::uint8_t> candidates;
        for (std::size_t i = 0; i < palette_.size(); ++i) {
            if (within[i] != 0) {
                candidates.push_back(static_cast<std::uint8_t>(i));
            }
        }
        return candidates;
    }

    const std::vector<Colour>& palette_;
    std::vector<std::vector<std::uint8_t>> cells_;
    // Squared distances along each channel from each entry to the nearest and the farthest
    // point of each row of cells.
    std::vector<std::array<int, 256>> nearest_ = std::vector<std::array<int, 256>>(3 * kCells);
    std::vector<std::array<int, 256>> farthest_ = std::vector<std::array<int, 256>>(3 * kCells);
};

// What the palette is chosen from: every colour with its count, or, for a picture of very many,
// buckets of 8 levels a channel, each at the mean of its colours with their count, which keeps
// the time within bounds whatever the noise and moves the means little; `bucketOf` then holds
// each colour's bucket.
WeightedColours Working(const WeightedColours& counts, std::vector<std::uint32_t>& bucketOf) {
    if (counts.colours.size() <= kMostExactEntries) {
        return counts;
    }
    struct Bucket {
        std::uint64_t red = 0, green = 0, blue = 0, count = 0;
        std::uint32_t position = kNone;
    };
    const auto bucketKey = [](Colour c) {
        return static_cast<std::size_t>(((Red(c) >> 3) << 10) | ((Green(c) >> 3) << 5) |
                                        (Blue(c) >> 3));
    };
    std::vector<Bucket> buckets(std::size_t{1} << 15);
    for (std::size_t i = 0; i < counts.colours.size(); ++i) {
        const Colour c = counts.colours[i];
        Bucket& bucket = buckets[bucketKey(c)];
        bucket.red += std::uint64_t{counts.counts[i]} * static_cast<std::uint64_t>(Red(c));
        bucket.green += std::uint64_t{counts.counts[i]} * static_cast<std::uint64_t>(Green(c));
        bucket.blue += std::uint64_t{counts.counts[i]} * static_cast<std::uint64_t>(Blue(c));
        bucket.count += counts.counts[i];
    }
    WeightedColours working;
    for (Bucket& bucket : buckets) {
        if (bucket.count != 0) {
            const auto mean = [&](std::uint64_t sum) {
                return static_cast<Colour>((sum + bucket.count / 2) / bucket.count);
            };
            bucket.position = static_cast<std::uint32_t>(working.colours.size());
            working.colours.push_back(
                MakeColour(mean(bucket.red), mean(bucket.green), mean(bucket.blue)));
            working.counts.push_back(static_cast<std::uint32_t>(bucket.count));
        }
    }
    bucketOf.resize(counts.colours.size());
    for (std::size_t i = 0; i < counts.colours.size(); ++i) {
        bucketOf[i] = buckets[bucketKey(counts.colours[i])].position;
    }
    return working;
}

std::vector<liq_histogram_entry> HistogramEntries(const WeightedColours& working) {
    std::vector<liq_histogram_entry> entries;
    for (std::size_t i = 0; i < working.colours.size(); ++i) {
        const Colour c = working.colours[i];
        entries.push_back(
            {{static_cast<unsigned char>(Red(c)), static_cast<unsigned char>(Green(c)),
              static_cast<unsigned char>(Blue(c)), 255},
             working.counts[i]});
    }
    return entries;
}

void SortUnique(std::vector<Colour>& colours) {
    std::sort(colours.begin(), colours.end());
    colours.erase(std::unique(colours.begin(), colours.end()), colours.end());
}

// The colours libimagequant chooses among `entries`, opaque ones only, ascending.
std::optional<std::vector<Colour>> LibimagequantPalette(
    const std::vector<liq_histogram_entry>& entries, int most) {
    const Attr attr(liq_attr_create());
    if (!attr || liq_set_max_colors(attr.get(), most) != LIQ_OK ||
        liq_set_speed(attr.get(), kChoosingSpeed) != LIQ_OK) {
        return std::nullopt;
    }
    const Histogram histogram(liq_histogram_create(attr.get()));
    liq_result* made = nullptr;
    if (!histogram || entries.empty() ||
        liq_histogram_add_colors(histogram.get(), attr.get(), entries.data(),
                                 static_cast<int>(entries.size()), 0) != LIQ_OK ||
        liq_histogram_quantize(histogram.get(), attr.get(), &made) != LIQ_OK) {
        return std::nullopt;
    }
    const QuantResult result(made);
    const liq_palette* palette = liq_get_palette(result.get());
    std::vector<Colour> colours;
    for (unsigned i = 0; i < palette->count; ++i) {
        const liq_color& c = palette->entries[i];
        colours.push_back(MakeColour(c.r, c.g, c.b));
    }
    SortUnique(colours);
    return colours;
}

// Each distinct colour's nearest entry, its squared distance, and the pixels' total.
struct Assignment {
    std::vector<std::uint8_t> entry;
    std::vector<std::uint32_t> distance;
    std::uint64_t total = 0;
};

// A quarter of the squared distance from each entry to the nearest other one: a colour within
// it of an entry has no entry nearer.
std::vector<std::uint32_t> QuarterGaps(const std::vector<Colour>& palette) {
    std::vector<std::uint32_t> gaps(palette.size(), std::numeric_limits<std::uint32_t>::max());
    for (std::size_t i = 0; i < palette.size(); ++i) {
        for (std::size_t j = i + 1; j < palette.size(); ++j) {
            const std::uint32_t distance = SquaredDistance(palette[i], palette[j]) / 4;
            gaps[i] = std::min(gaps[i], distance);
            gaps[j] = std::min(gaps[j], distance);
        }
    }
    return gaps;
}

// `hints`, when given, holds an entry for each colour that is likely nearest (the one it had
// before the palette moved), which spares the search wherever it is plainly so.
Assignment Assign(const std::vector<Colour>& palette, const WeightedColours& counts,
                  const std::vector<std::uint8_t>* hints = nullptr) {
    NearestColour nearest(palette);
    const std::vector<std::uint32_t> gaps =
        hints ? QuarterGaps(palette) : std::vector<std::uint32_t>();
    Assignment assignment;
    assignment.entry.resize(counts.colours.size());
    assignment.distance.resize(counts.colours.size());
    for (std::size_t i = 0; i < counts.colours.size(); ++i) {
        const Colour colour = counts.colours[i];
        std::uint8_t entry = hints ? (*hints)[i] : 0;
        std::uint32_t distance = hints ? SquaredDistance(palette[entry], colour) : 0;
        if (!hints || distance > gaps[entry]) {
            entry = nearest.Find(colour);
            distance = SquaredDistance(palette[entry], colour);
        }
        assignment.entry[i] = entry;
        assignment.distance[i] = distance;
        assignment.total += std::uint64_t{distance} * counts.counts[i];
    }
    return assignment;
}

// The rounded mean of the colours nearest each entry, kNone for an entry that none took.
std::vector<Colour> Means(std::size_t entries, const WeightedColours& counts,
                          const Assignment& assignment) {
    struct Sum {
        std::uint64_t red = 0, green = 0, blue = 0, count = 0;
    };
    std::vector<Sum> sums(entries);
    for (std::size_t i = 0; i < counts.colours.size(); ++i) {
        Sum& sum = sums[assignment.entry[i]];
        const Colour c = counts.colours[i];
        sum.red += std::uint64_t{counts.counts[i]} * static_cast<std::uint64_t>(Red(c));
        sum.green += std::uint64_t{counts.counts[i]} * static_cast<std::uint64_t>(Green(c));
        sum.blue += std::uint64_t{counts.counts[i]} * static_cast<std::uint64_t>(Blue(c));
        sum.count += counts.counts[i];
    }
    std::vector<Colour> means;
    for (const Sum& sum : sums) {
        const auto mean = [&](std::uint64_t total) {
            return static_cast<Colour>((total + sum.count / 2) / sum.count);
        };
        means.push_back(
            sum.count == 0 ? kNone : MakeColour(mean(sum.red), mean(sum.green), mean(sum.blue)));
    }
    return means;
}

// Entries for the colours whose pixels lose most to their nearest entry, until the palette
// holds `wanted`: a picture of more colours than the palette holds uses all of it. A colour close
// to one just added is passed over, so that one badly matched area does not take them all.
void FillUp(std::vector<Colour>& palette, const WeightedColours& counts,
            const Assignment& assignment, std::size_t wanted) {
    if (palette.size() >= wanted) {
        return;
    }
    std::vector<std::uint32_t> order;
    for (std::uint32_t i = 0; i < counts.colours.size(); ++i) {
        if (assignment.distance[i] != 0) {
            order.push_back(i);
        }
    }
    const auto loss = [&](std::uint32_t i) {
        return std::uint64_t{assignment.distance[i]} * counts.counts[i];
    };
    std::sort(order.begin(), order.end(),
              [&](std::uint32_t a, std::uint32_t b) { return loss(a) > loss(b); });
    // Where passing over the crowded ones leaves too few, a second pass takes them too.
    for (const bool spread : {true, false}) {
        std::vector<Colour> added;
        for (std::uint32_t i : order) {
            if (palette.size() + added.size() >= wanted) {
                break;
            }
            const Colour colour = counts.colours[i];
            const bool crowded =
                spread && std::any_of(added.begin(), added.end(), [&](Colour other) {
                    return 4 * SquaredDistance(colour, other) < assignment.distance[i];
                });
            if (!crowded && !std::binary_search(palette.begin(), palette.end(), colour)) {
                added.push_back(colour);
            }
        }
        palette.insert(palette.end(), added.begin(), added.end());
        SortUnique(palette);
    }
}

// Rounds of k-means on the pixels' own colours in the plain squared error the stored picture is
// judged by: libimagequant measures in a perceptual space of its own, and for a picture of very
// many colours chooses from buckets.
// `firstHints` as Assign takes them, for the palette as it comes.
Assignment Refine(std::vector<Colour>& palette, const WeightedColours& counts, std::size_t wanted,
                  int rounds, const std::vector<std::uint8_t>* firstHints = nullptr) {
    Assignment assignment = Assign(palette, counts, firstHints);
    if (palette.size() < wanted) {
        FillUp(palette, counts, assignment, wanted);
        assignment = Assign(palette, counts);
    }
    for (int round = 0; round < rounds; ++round) {
        const std::vector<Colour> means = Means(palette.size(), counts, assignment);
        std::vector<Colour> moved;
        std::copy_if(means.begin(), means.end(), std::back_inserter(moved),
                     [](Colour mean) { return mean != kNone; });
        SortUnique(moved);
        FillUp(moved, counts, assignment, wanted);
        std::vector<std::uint8_t> hints(counts.colours.size());
        for (std::size_t i = 0; i < hints.size(); ++i) {
            const Colour mean = means[assignment.entry[i]];
            hints[i] = static_cast<std::uint8_t>(
                std::lower_bound(moved.begin(), moved.end(), mean) - moved.begin());
        }
        Assignment next = Assign(moved, counts, &hints);
        if (next.total >= assignment.total) {
            break;
        }
        const bool small = (assignment.total - next.total) * 1000 < assignment.total;
        palette = std::move(moved);
        assignment = std::move(next);
        if (small) {
            break;
        }
    }
    return assignment;
}

// How much each opaque pixel may be dithered, 0 to 1: fully where the picture is smooth, where
// a gradient would otherwise show bands, and not at all at edges and in noise, where the
// picture's own detail hides the steps and diffused error would only add grain. The contrast is
// the largest channel difference to a neighbour.
std::vector<float> DitherWeights(const RgbaPicture& picture, int opaqueAlpha) {
    constexpr int kSmooth = 2;
    constexpr int kBusy = 8;
    const int width = picture.width;
    const int height = picture.height;
    std::vector<float> weights(picture.PixelCount(), 0.0f);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* pixel = picture.Pixel(x, y);
            if (pixel[3] < opaqueAlpha) {
                continue;
            }
            int contrast = 0;
            const auto compare = [&](int nx, int ny) {
                if (nx < 0 || ny < 0 || nx >= width || ny >= height) {
                    return;
                }
                const std::uint8_t* other = picture.Pixel(nx, ny);
                if (other[3] < opaqueAlpha) {
                    return;
                }
                for (int c = 0; c < 3; ++c) {
                    contrast = std::max(contrast, std::abs(pixel[c] - other[c]));
                }
            };
            compare(x - 1, y);
            compare(x + 1, y);
            compare(x, y - 1);
            compare(x, y + 1);
            const float weight =
                static_cast<float>(kBusy - contrast) / static_cast<float>(kBusy - kSmooth);
            weights[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                    static_cast<std::size_t>(x)] = std::clamp(weight, 0.0f, 1.0f);
        }
    }
    return weights;
}

// Passes the error between the colour wanted and the one chosen on to the pixel ahead (`ahead`
// floats on in `error`) and the three below, in Floyd and Steinberg's shares. An error below
// kLeastError is not passed on, so that well matched areas stay quiet.
void Spread(const float (&wanted)[3], Colour chosen, std::ptrdiff_t ahead, float* error,
            float* below) {
    constexpr float kLeastError = 2.0f;
    const float got[3] = {static_cast<float>(Red(chosen)), static_cast<float>(Green(chosen)),
                          static_cast<float>(Blue(chosen))};
    for (int c = 0; c < 3; ++c) {
        const float e = wanted[c] - got[c];
        if (std::abs(e) < kLeastError) {
            continue;
        }
        error[ahead + c] += e * (7.0f / 16.0f);
        below[-ahead + c] += e * (3.0f / 16.0f);
        below[c] += e * (5.0f / 16.0f);
        below[ahead + c] += e * (1.0f / 16.0f);
    }
}

// Floyd-Steinberg error diffusion over the opaque pixels in serpentine order, scaled by `dither`
// and each pixel's weight; transparent pixels neither take nor pass on error, so the edges stay
// clean, and the diffused error is limited so that a run of one colour cannot push a streak
// across the picture.
// `nearestEntries` holds each opaque pixel's nearest entry, for the pixels that the diffused error
// leaves as they are.
std::vector<std::uint8_t> Diffused(const RgbaPicture& picture, int opaqueAlpha,
                                   const std::vector<Colour>& palette,
                                   std::vector<std::uint8_t> nearestEntries, double dither) {
    constexpr float kMostError = 32.0f;
    NearestColour nearest(palette);
    const std::vector<float> weights = DitherWeights(picture, opaqueAlpha);
    const auto width = static_cast<std::size_t>(picture.width);
    // Error of this row and the next, three floats per pixel, one pixel of margin each side.
    std::vector<float> current((width + 2) * 3, 0.0f);
    std::vector<float> next((width + 2) * 3, 0.0f);
    const auto amount = static_cast<float>(std::clamp(dither, 0.0, 1.0));
    for (std::size_t y = 0; y < static_cast<std::size_t>(picture.height); ++y) {
        const bool rightwards = y % 2 == 0;
        for (std::size_t k = 0; k < width; ++k) {
            const std::size_t x = rightwards ? k : width - 1 - k;
            const std::size_t i = y * width + x;
            const std::uint8_t* pixel = picture.rgba.data() + i * 4;
            if (pixel[3] < opaqueAlpha) {
                continue;
            }
            float* error = current.data() + (x + 1) * 3;
            const float share = amount * weights[i];
            float wanted[3];
            int rounded[3];
            for (int c = 0; c < 3; ++c) {
                wanted[c] = pixel[c] + share * std::clamp(error[c], -kMostError, kMostError);
                rounded[c] = std::clamp(static_cast<int>(std::floor(wanted[c] + 0.5f)), 0, 255);
            }
            const bool unmoved =
                rounded[0] == pixel[0] && rounded[1] == pixel[1] && rounded[2] == pixel[2];
            const std::uint8_t entry =
                unmoved ? nearestEntries[i]
                        : nearest.Find(MakeColour(static_cast<unsigned>(rounded[0]),
                                                  static_cast<unsigned>(rounded[1]),
                                                  static_cast<unsigned>(rounded[2])));
            nearestEntries[i] = entry;
            Spread(wanted, palette[entry], rightwards ? 3 : -3, error, next.data() + (x + 1) * 3);
        }
        std::swap(current, next);
        std::fill(next.begin(), next.end(), 0.0f);
    }
    return nearestEntries;
}

}  // namespace

std::optional<QuantisedColours> QuantiseColours(const RgbaPicture& picture, int opaqueAlpha,
                                                int most, double dither) {
    const ColourCounts counts = CountColours(picture, opaqueAlpha);
    if (counts.colours.empty() || most < 1 || most > 255) {
        return std::nullopt;
    }
    std::vector<std::uint32_t> bucketOf;
    const WeightedColours working = Working(counts, bucketOf);
    auto palette = LibimagequantPalette(HistogramEntries(working), most);
    if (!palette || palette->empty()) {
        return std::nullopt;
    }
    const std::size_t wanted = std::min(static_cast<std::size_t>(most), counts.colours.size());
    Assignment assignment = Refine(*palette, working, wanted, kMostRefinements);
    if (!bucketOf.empty()) {
        // Each colour most likely keeps the entry its bucket took.
        std::vector<std::uint8_t> hints(bucketOf.size());
        for (std::size_t i = 0; i < hints.size(); ++i) {
            hints[i] = assignment.entry[bucketOf[i]];
        }
        assignment = Refine(*palette, counts, wanted, kMostExactRefinements, &hints);
    }
    QuantisedColours quantised;
    quantised.entries.assign(picture.PixelCount(), 0);
    for (std::size_t i = 0; i < counts.ofPixel.size(); ++i) {
        if (counts.ofPixel[i] != kNone) {
            quantised.entries[i] = assignment.entry[counts.ofPixel[i]];
        }
    }
    if (dither > 0.0) {
        quantised.entries =
            Diffused(picture, opaqueAlpha, *palette, std::move(quantised.entries), dither);
    }
    quantised.palette = std::move(*palette);
    return quantised;
}

}  // namespace vexlor
