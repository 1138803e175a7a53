#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numeric>
#include <set>

#include "editors/mission_series.h"
#include "pictures/picture_conversion.h"
#include "pictures/picture_files.h"

namespace vexlor {
namespace {

void Paint(RgbaPicture& picture, int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b,
           std::uint8_t a = 255) {
    std::uint8_t* p = picture.Pixel(x, y);
    p[0] = r;
    p[1] = g;
    p[2] = b;
    p[3] = a;
}

// A picture in `colours` colours, opaque, in stripes.
RgbaPicture Striped(int width, int height, int colours) {
    RgbaPicture picture(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int k = (x + y * width) % colours;
            Paint(picture, x, y, static_cast<std::uint8_t>(k), static_cast<std::uint8_t>(k * 7),
                  static_cast<std::uint8_t>(255 - k));
        }
    }
    return picture;
}

Colour ColourAt(const RgbaPicture& picture, int x, int y) {
    const std::uint8_t* p = picture.Pixel(x, y);
    return MakeColour(p[0], p[1], p[2]);
}

TEST(PictureConversion, FewColoursAreKeptExactlyWithAnUnusedEntryZero) {
    // Black is one of the picture's colours, so entry 0 must be something else.
    RgbaPicture source = Striped(32, 32, 254);
    Paint(source, 5, 5, 0, 0, 0);
    source.hasAlpha = true;
    Paint(source, 0, 0, 9, 9, 9, 0);  // transparent
    const auto converted = ConvertPicture(source, 32, 32, {});
    ASSERT_TRUE(converted);
    EXPECT_TRUE(converted->exact);
    const IndexedImage& image = converted->image;
    EXPECT_EQ(image.Index(0, 0), 0);
    std::set<Colour> opaque;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            if (x == 0 && y == 0) {
                continue;
            }
            ASSERT_NE(image.Index(x, y), 0);
            ASSERT_EQ(image.PixelColour(x, y), ColourAt(source, x, y));
            opaque.insert(image.PixelColour(x, y));
        }
    }
    EXPECT_EQ(converted->colours, static_cast<int>(opaque.size()));
    EXPECT_EQ(opaque.count(image.palette[0]), 0u);
    EXPECT_TRUE(std::is_sorted(image.palette.begin() + 1, image.palette.end()));
}

// For the index-alpha kinds a colour becomes the grey of its brightness before the palette, so
// that the shade of the brightest channel, which the game shows, follows the picture's light and
// dark: a red-to-blue run darkens steadily instead of staying at full level. The brightest pixel
// keeps the level of its brightest channel.
TEST(PictureConversion, ShadesTurnEachColourIntoTheGreyOfItsBrightness) {
    RgbaPicture source(64, 64);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const auto blue = static_cast<std::uint8_t>(x * 4);
            Paint(source, x, y, static_cast<std::uint8_t>(255 - blue), 0, blue);
        }
    }
    ConversionOptions options;
    options.opaque = true;
    options.shades = true;
    const auto converted = ConvertPicture(source, 32, 32, options);
    ASSERT_TRUE(converted);
    const IndexedImage& image = converted->image;
    unsigned previous = 256;
    for (int x = 0; x < 32; ++x) {
        const Colour colour = image.PixelColour(x, 16);
        ASSERT_NE(image.Index(x, 16), 0);
        EXPECT_EQ(colour, MakeColour(RedOf(colour), RedOf(colour), RedOf(colour))) << x;
        EXPECT_LE(RedOf(colour), previous) << x;
        previous = RedOf(colour);
    }
    EXPECT_NEAR(static_cast<int>(RedOf(image.PixelColour(0, 0))), 253, 3) << "red, the brightest";
    EXPECT_NEAR(static_cast<int>(previous), 100, 4) << "blue, as much darker as it looks";
    EXPECT_EQ(ColourAt(converted->fitted, 0, 0) & 0xFF, RedOf(image.PixelColour(0, 0)));

    // A picture in one hue keeps its levels; a grey one is what the shades make of it already.
    RgbaPicture green(16, 16);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            Paint(green, x, y, 0, static_cast<std::uint8_t>(x * 15 + y), 0);
        }
    }
    const auto greenShades = ConvertPicture(green, 16, 16, options);
    ASSERT_TRUE(greenShades);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            ASSERT_EQ(greenShades->image.PixelColour(x, y) & 0xFF, static_cast<Colour>(x * 15 + y));
        }
    }

    RgbaPicture grey(16, 16);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const auto level = static_cast<std::uint8_t>(x * 16 + y);
            Paint(grey, x, y, level, level, level);
        }
    }
    options.shades = false;
    const auto plain = ConvertPicture(grey, 16, 16, options);
    options.shades = true;
    const auto shaded = ConvertPicture(grey, 16, 16, options);
    ASSERT_TRUE(plain && shaded);
    EXPECT_EQ(shaded->image.palette, plain->image.palette);
    EXPECT_EQ(shaded->image.indices, plain->image.indices);
}

TEST(PictureConversion, TransparencyComesFromAlphaOrTheTopLeftColour) {
    RgbaPicture source = Striped(16, 16, 3);
    Paint(source, 3, 0, 50, 60, 70, 127);
    Paint(source, 4, 0, 50, 60, 70, 128);
    source.hasAlpha = true;
    auto converted = ConvertPicture(source, 16, 16, {});
    ASSERT_TRUE(converted);
    EXPECT_EQ(converted->image.Index(3, 0), 0);
    EXPECT_NE(converted->image.Index(4, 0), 0);
    EXPECT_NE(converted->image.Index(0, 0), 0);

    // Without an alpha channel the top-left colour goes, wherever it is, unless opaque is asked.
    source.hasAlpha = false;
    converted = ConvertPicture(source, 16, 16, {});
    ASSERT_TRUE(converted);
    EXPECT_EQ(converted->image.Index(0, 0), 0);
    EXPECT_EQ(converted->image.Index(6, 0), 0);  // 6 % 3 == 0: the top-left colour
    EXPECT_NE(converted->image.Index(4, 0), 0);  // alpha bytes are ignored without the channel
    ConversionOptions opaque;
    opaque.opaque = true;
    converted = ConvertPicture(source, 16, 16, opaque);
    ASSERT_TRUE(converted);
    for (std::uint8_t index : converted->image.indices) {
        ASSERT_NE(index, 0);
    }
}

TEST(PictureFit, PlacementRoundsAndCentres) {
    const FitPlacement contain = PlaceFitted(400, 300, 180, 180, Fit::Contain);
    EXPECT_EQ(contain.width, 180);
    EXPECT_EQ(contain.height, 135);
    EXPECT_EQ(contain.left, 0);
    EXPECT_EQ(contain.top, 22);  // 45 rows of margin, split 22 and 23
    const FitPlacement cover = PlaceFitted(400, 300, 180, 180, Fit::Cover);
    EXPECT_EQ(cover.width, 240);
    EXPECT_EQ(cover.height, 180);
    EXPECT_EQ(cover.left, -30);
    const FitPlacement stretch = PlaceFitted(7, 3, 510, 260, Fit::Stretch);
    EXPECT_EQ(stretch.width, 510);
    EXPECT_EQ(stretch.height, 260);
}

// A red disc on a transparent black ground, shrunk: the edge pixels that stay opaque are red,
// with none of the ground's black mixed in.
TEST(PictureFit, TransparentColourDoesNotBleedIntoEdges) {
    RgbaPicture source(200, 100);
    source.hasAlpha = true;
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 200; ++x) {
            const double dx = (x - 100) / 90.0;
            const double dy = (y - 50) / 45.0;
            if (dx * dx + dy * dy < 1.0) {
                Paint(source, x, y, 255, 0, 0);
            }
        }
    }
    const auto converted = ConvertPicture(source, 32, 32, {});
    ASSERT_TRUE(converted);
    int opaque = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            if (converted->image.Index(x, y) != 0) {
                ++opaque;
                ASSERT_GE(RedOf(converted->image.PixelColour(x, y)), 250u) << x << "," << y;
            }
        }
    }
    EXPECT_GT(opaque, 100);
    // Contain leaves transparent margins above and below the wide disc.
    EXPECT_EQ(converted->image.Index(16, 0), 0);
    EXPECT_EQ(converted->image.Index(16, 31), 0);
}

TEST(PictureConversion, ManyColoursGetAtMost255CloseOnes) {
    RgbaPicture source(128, 128);
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 128; ++x) {
            Paint(source, x, y, static_cast<std::uint8_t>(x * 2), static_cast<std::uint8_t>(y * 2),
                  static_cast<std::uint8_t>((x + y) % 256));
        }
    }
    for (double dither : {0.0, 1.0}) {
        ConversionOptions options;
        options.dither = dither;
        options.opaque = true;
        const auto converted = ConvertPicture(source, 128, 128, options);
        ASSERT_TRUE(converted);
        EXPECT_FALSE(converted->exact);
        EXPECT_LE(converted->colours, 255);
        EXPECT_LE(converted->image.palette.size(), 256u);
        double squared = 0.0;
        for (int y = 0; y < 128; ++y) {
            for (int x = 0; x < 128; ++x) {
                const Colour got = converted->image.PixelColour(x, y);
                const Colour want = ColourAt(source, x, y);
                for (int shift : {0, 8, 16}) {
                    const double d = double((got >> shift) & 0xFF) - double((want >> shift) & 0xFF);
                    squared += d * d;
                }
            }
        }
        const double psnr = 10.0 * std::log10(255.0 * 255.0 / (squared / (128.0 * 128.0 * 3.0)));
        EXPECT_GT(psnr, 30.0) << "dither " << dither;
    }
}

// Flat art: a ground, a band of a smooth gradient and antialiased diagonal strokes, some 900
// colours in all, most of them with a handful of pixels each.
RgbaPicture FlatArtWithGradient() {
    RgbaPicture picture(120, 90);
    for (int y = 0; y < 90; ++y) {
        for (int x = 0; x < 120; ++x) {
            if (y < 30) {
                Paint(picture, x, y, static_cast<std::uint8_t>(x * 2), 40,
                      static_cast<std::uint8_t>(255 - x * 2));
                continue;
            }
            const int stroke = (x + 2 * y) % 23;
            const auto mix = static_cast<std::uint8_t>(stroke < 12 ? stroke * 21 : 0);
            Paint(picture, x, y, static_cast<std::uint8_t>(16 + mix / 2),
                  static_cast<std::uint8_t>(24 + (mix * (x % 7)) / 8),
                  static_cast<std::uint8_t>(48 + (mix * (y % 5)) / 6));
        }
    }
    return picture;
}

int DistinctColours(const RgbaPicture& picture) {
    std::set<Colour> colours;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            colours.insert(ColourAt(picture, x, y));
        }
    }
    return static_cast<int>(colours.size());
}

// A picture of more colours than the palette holds uses every entry, dithered or not, and the
// palette stays distinct and ascending after entry 0.
TEST(PictureConversion, MoreColoursThanThePaletteUseEveryEntry) {
    const RgbaPicture source = FlatArtWithGradient();
    ASSERT_GT(DistinctColours(source), 400);
    const RgbaPicture justOver = Striped(32, 32, 256);
    for (const RgbaPicture* picture : {&source, &justOver}) {
        for (double dither : {0.0, 0.5, 1.0}) {
            ConversionOptions options;
            options.opaque = true;
            options.dither = dither;
            const auto converted =
                ConvertPicture(*picture, picture->width, picture->height, options);
            ASSERT_TRUE(converted);
            EXPECT_FALSE(converted->exact);
            EXPECT_EQ(converted->colours, 255) << picture->width << " dither " << dither;
            const std::vector<Colour>& palette = converted->image.palette;
            ASSERT_EQ(palette.size(), 256u);
            EXPECT_TRUE(std::adjacent_find(palette.begin() + 1, palette.end(),
                                           [](Colour a, Colour b) { return a >= b; }) ==
                        palette.end());
        }
    }
}

// Dithering mixes colours where a gradient would show bands, and nowhere else: the strokes'
// flat ground, a colour the palette holds, stays that colour throughout.
TEST(PictureConversion, DitheringMixesOnlyWhereThePictureIsSmooth) {
    const RgbaPicture source = FlatArtWithGradient();
    ConversionOptions options;
    options.opaque = true;
    options.dither = 1.0;
    const auto converted = ConvertPicture(source, 120, 90, options);
    ASSERT_TRUE(converted);
    int ground = 0;
    for (int y = 30; y < 90; ++y) {
        for (int x = 0; x < 120; ++x) {
            if ((x + 2 * y) % 23 >= 12) {
                ++ground;
                ASSERT_EQ(converted->image.PixelColour(x, y), MakeColour(16, 24, 48))
                    << x << "," << y;
            }
        }
    }
    EXPECT_GT(ground, 2000);

    // A smooth picture of more colours than the palette holds is mixed, as much as asked.
    RgbaPicture smooth(128, 128);
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 128; ++x) {
            Paint(smooth, x, y, static_cast<std::uint8_t>(x * 2), static_cast<std::uint8_t>(y * 2),
                  static_cast<std::uint8_t>((x + y) / 2));
        }
    }
    options.dither = 0.0;
    const auto nearest = ConvertPicture(smooth, 128, 128, options);
    options.dither = 1.0;
    const auto mixed = ConvertPicture(smooth, 128, 128, options);
    ASSERT_TRUE(nearest && mixed);
    EXPECT_EQ(nearest->image.palette, mixed->image.palette);
    const auto changed = std::inner_product(
        nearest->image.indices.begin(), nearest->image.indices.end(), mixed->image.indices.begin(),
        0, std::plus<>(), [](std::uint8_t a, std::uint8_t b) { return a != b ? 1 : 0; });
    EXPECT_GT(changed, 128 * 128 / 10);
}

// Soft edges: by default only pixels of alpha 128 and more take palette colours, so the faint
// fringe's colours take no entries; with soft alpha every visible pixel takes the nearest one.
TEST(PictureConversion, SoftAlphaEdges) {
    RgbaPicture source(64, 64);
    source.hasAlpha = true;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const double distance = std::hypot(x - 31.5, y - 31.5);
            const auto alpha =
                static_cast<std::uint8_t>(std::clamp((30.0 - distance) * 40.0, 0.0, 255.0));
            if (alpha >= kOpaqueAlpha) {
                Paint(source, x, y, 200, 100, 50, alpha);
            } else {  // the fringe: a colour of its own in every pixel
                Paint(source, x, y, static_cast<std::uint8_t>(x * 4), static_cast<std::uint8_t>(y),
                      static_cast<std::uint8_t>(x + y), alpha);
            }
        }
    }
    const auto hard = ConvertPicture(source, 64, 64, {});
    ASSERT_TRUE(hard);
    EXPECT_TRUE(hard->exact);
    EXPECT_EQ(hard->colours, 1);

    ConversionOptions soft;
    soft.softAlpha = true;
    const auto converted = ConvertPicture(source, 64, 64, soft);
    ASSERT_TRUE(converted);
    EXPECT_GT(converted->colours, 200);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            EXPECT_EQ(converted->image.Index(x, y) != 0, source.Pixel(x, y)[3] > 0)
                << x << "," << y;
            EXPECT_EQ(converted->fitted.Pixel(x, y)[3], source.Pixel(x, y)[3]);
        }
    }
    EXPECT_EQ(converted->image.PixelColour(31, 31), MakeColour(200, 100, 50));
}

TEST(PictureConversion, UnacceptableInputGivesNothing) {
    EXPECT_FALSE(ConvertPicture(RgbaPicture(), 32, 32, {}));
    EXPECT_FALSE(ConvertPicture(Striped(4, 4, 2), 0, 32, {}));
    RgbaPicture truncated = Striped(4, 4, 2);
    truncated.rgba.resize(10);
    EXPECT_FALSE(ConvertPicture(truncated, 32, 32, {}));
}

TEST(MissionSeries, PictureSizeChoosesTheSeries) {
    EXPECT_EQ(SeriesForPictureSize(510, 260), Series::Battle);
    EXPECT_EQ(SeriesForPictureSize(260, 260), Series::Mission);
    EXPECT_EQ(SeriesForPictureSize(100, 75), Series::MissionLower);
    EXPECT_EQ(SeriesForPictureSize(1000, 1000), Series::Mission);
    EXPECT_EQ(SeriesForPictureSize(4000, 1000), Series::Battle);
    EXPECT_EQ(SeriesForPictureSize(130, 100), Series::MissionLower);
    EXPECT_EQ(SeriesOfName("mission"), Series::MissionLower);
    EXPECT_FALSE(SeriesOfName("Mission"));
}

TEST(PictureFiles, UnreadableFilesAreNamed) {
    RgbaPicture picture;
    std::string error;
    EXPECT_FALSE(ReadPictureFile("/nonexistent/gone.png", picture, error));
    EXPECT_NE(error.find("gone.png"), std::string::npos);
    const std::uint8_t garbage[] = {0x89, 'P', 'N', 'G', 1, 2, 3};
    EXPECT_FALSE(ReadPictureBytes(garbage, sizeof garbage, picture, error));
}

TEST(PictureFiles, PngKeepsColoursAndAlpha) {
    RgbaPicture picture = Striped(9, 5, 4);
    Paint(picture, 2, 3, 1, 2, 3, 0);
    picture.hasAlpha = true;
    const std::vector<std::uint8_t> png = EncodePng(picture);
    RgbaPicture back;
    std::string error;
    ASSERT_TRUE(ReadPictureBytes(png.data(), png.size(), back, error)) << error;
    EXPECT_TRUE(back.hasAlpha);
    EXPECT_EQ(back.width, 9);
    EXPECT_EQ(back.Pixel(2, 3)[3], 0);
    EXPECT_EQ(ColourAt(back, 4, 4), ColourAt(picture, 4, 4));
}

}  // namespace
}  // namespace vexlor
