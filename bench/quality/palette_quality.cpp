// Measures the palette's quality beside pngquant's and ImageMagick's: for each picture, the PSNR
// over the pixels opaque in the fitted original of what Vexlor stores, of `pngquant 255` and of
// `convert -colors 255`, each given the same fitted original (its transparency already decided)
// and each decoded back from what it wrote.
//
//   vexlor_palette_quality [--dither D] [PICTURE ...]
//
// Without pictures it makes its own with ImageMagick in a temporary folder, in classes: smooth
// photograph-like gradients, flat art with antialiased text and logos, pictures with soft alpha
// edges, and 32 x 32 and 16 x 16 ones. Each is measured dithered (pngquant's default, ImageMagick's
// -dither FloydSteinberg) and without dithering (pngquant --nofs, ImageMagick +dither), unless
// --dither names one level. Prints one row per picture and way ("<" where Vexlor is behind
// pngquant), and the mean of each class and way; exits 1 when Vexlor's mean is behind
// pngquant's in any of them. Needs pngquant and ImageMagick's convert.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "pictures/picture_conversion.h"
#include "pictures/picture_files.h"

namespace {

using namespace vexlor;

// A picture to measure and the class it stands for.
struct Sample {
    std::string kind;
    std::string path;
};

// One way of converting: Vexlor's dithering level with the peers' matching options.
struct Way {
    std::string name;
    double dither = 1.0;
    std::string pngquant;
    std::string magick;
};

// Each tool's score on one picture; nothing where the tool failed.
struct Row {
    std::optional<double> vexlor, pngquant, magick;
    int entries = 0;
    int peerEntries = 0;
};

// PSNR of `stored` against `original` over the pixels opaque in the original.
double Psnr(const RgbaPicture& original, const RgbaPicture& stored) {
    double squared = 0.0;
    std::size_t samples = 0;
    for (std::size_t i = 0; i < original.PixelCount(); ++i) {
        if (original.rgba[i * 4 + 3] < kOpaqueAlpha) {
            continue;
        }
        for (int c = 0; c < 3; ++c) {
            const double d = double(original.rgba[i * 4 + c]) - double(stored.rgba[i * 4 + c]);
            squared += d * d;
        }
        samples += 3;
    }
    if (samples == 0 || squared == 0.0) {
        return 99.0;
    }
    return 10.0 * std::log10(255.0 * 255.0 / (squared / double(samples)));
}

RgbaPicture Colours(const IndexedImage& image) {
    RgbaPicture picture(image.width, image.height);
    for (std::size_t i = 0; i < picture.PixelCount(); ++i) {
        const Colour c = image.PaletteColour(image.indices[i]);
        picture.rgba[i * 4 + 0] = static_cast<std::uint8_t>(RedOf(c));
        picture.rgba[i * 4 + 1] = static_cast<std::uint8_t>(GreenOf(c));
        picture.rgba[i * 4 + 2] = static_cast<std::uint8_t>(BlueOf(c));
        picture.rgba[i * 4 + 3] = image.indices[i] == 0 ? 0 : 255;
    }
    return picture;
}

// The fitted picture with its transparency as the conversion decided it, alpha 0 or 255: what
// every tool is asked to give a palette.
RgbaPicture Decided(const RgbaPicture& fitted) {
    RgbaPicture decided = fitted;
    decided.hasAlpha = true;
    for (std::size_t i = 0; i < decided.PixelCount(); ++i) {
        std::uint8_t& alpha = decided.rgba[i * 4 + 3];
        alpha = alpha >= kOpaqueAlpha ? 255 : 0;
    }
    return decided;
}

// The distinct colours of the pixels opaque in `original` that `stored` shows.
int OpaqueColoursUsed(const RgbaPicture& original, const RgbaPicture& stored) {
    std::set<std::uint32_t> colours;
    for (std::size_t i = 0; i < original.PixelCount(); ++i) {
        if (original.rgba[i * 4 + 3] >= kOpaqueAlpha) {
            const std::uint8_t* p = stored.rgba.data() + i * 4;
            colours.insert(MakeColour(p[0], p[1], p[2]));
        }
    }
    return static_cast<int>(colours.size());
}

bool Run(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

std::optional<RgbaPicture> Read(const std::string& path) {
    RgbaPicture picture;
    std::string error;
    if (!ReadPictureFile(path, picture, error)) {
        return std::nullopt;
    }
    return picture;
}

// ImageMagick's recipes for each class, "NAME:ARGUMENTS". The text is drawn in ImageMagick's
// default font.
std::vector<std::pair<std::string, std::string>> Recipes() {
    const std::string title =
        "-size 510x260 xc:'#101830' -fill '#203a70' -draw 'rectangle 0,170 510,260' "
        "-fill '#e0c040' -gravity center -pointsize 44 -annotate +0-40 'Rogue Squadron' "
        "-fill '#f0f0f0' -pointsize 20 -annotate +0+10 'Imperial Navy briefing' "
        "-fill '#ff6030' -pointsize 28 -annotate +0+80 'MISSION 7' -gravity northwest "
        "-fill '#c03020' -draw 'circle 60,60 60,20' -fill '#30a050' "
        "-draw 'polygon 400,200 500,250 420,250' -stroke '#80c0ff' -strokewidth 3 -fill none "
        "-draw 'ellipse 255,130 240,120 0,360' -stroke none";
    const std::string badge =
        "-size 260x260 xc:white -fill navy -draw 'roundrectangle 20,20 240,240 30,30' "
        "-fill gold -pointsize 60 -gravity center -annotate 20 'XWA' -fill '#ff8080' "
        "-pointsize 18 -annotate +0+70 'Alliance' -stroke red -strokewidth 4 "
        "-draw 'line 20,240 240,20' -stroke none -fill '#40c040' -draw 'circle 200,60 200,40'";
    // Alpha from a blurred mask of SIZE with DRAWING in white.
    const auto softEdges = [](const std::string& size, const std::string& drawing) {
        return " ( -size " + size + " xc:black -fill white -draw '" + drawing +
               "' -blur 0x10 ) -alpha off -compose copy_opacity -composite";
    };
    const auto radialEdges = [](const std::string& size, const std::string& level) {
        return " ( -size " + size + " radial-gradient:white-black -level " + level +
               " ) -alpha off -compose copy_opacity -composite";
    };
    return {
        {"photo", "plasma.png:-seed 3 -size 510x260 plasma:fractal"},
        {"photo", "plasma-square.png:-seed 7 -size 260x260 plasma:red-blue"},
        {"photo", "swirl.png:-size 510x260 gradient:navy-orange -swirl 120"},
        {"photo", "sphere.png:-size 180x180 radial-gradient:white-darkred"},
        {"photo", "rose.png:rose: -resize 180x180!"},
        {"photo",
         "clouds.png:-seed 5 -size 510x260 xc: +noise Random -blur 0x12 -normalize "
         "-modulate 100,180"},
        {"photo", "small-plasma.png:-seed 11 -size 100x75 plasma:fractal"},
        {"flat", "logo.png:logo: -resize 510x260!"},
        {"flat", "title.png:" + title},
        {"flat", "badge.png:" + badge},
        {"flat",
         "menu.png:-size 100x75 xc:black -fill cyan -pointsize 14 -gravity center "
         "-annotate 0 'Launch\\nOptions' -fill magenta -draw 'circle 10,10 10,4'"},
        {"soft",
         "soft-plasma.png:-seed 13 -size 260x260 plasma:fractal" + radialEdges("260x260", "0,60%")},
        {"soft",
         "soft-title.png:" + title + softEdges("510x260", "roundrectangle 30,30 480,230 40,40")},
        {"soft", "soft-sphere.png:-size 180x180 radial-gradient:orange-navy" +
                     radialEdges("180x180", "10,50%")},
        {"soft", "soft-badge.png:" + badge + softEdges("260x260", "circle 130,130 130,15")},
        {"soft", "soft-logo.png:logo: -resize 260x260! -fuzz 8% -transparent white"},
        {"small", "rose-32.png:rose: -resize 32x32!"},
        {"small", "plasma-32.png:-seed 17 -size 32x32 plasma:fractal"},
        {"small", "logo-32.png:logo: -resize 32x32!"},
        {"small", "title-32.png:" + title + " -resize 32x32!"},
        {"small", "rose-16.png:rose: -resize 16x16!"},
        {"small", "logo-16.png:logo: -trim -resize 16x16!"},
        {"small",
         "soft-16.png:-seed 19 -size 16x16 plasma:fractal" + radialEdges("16x16", "0,70%")},
    };
}

std::vector<Sample> MadePictures(const std::filesystem::path& folder) {
    std::vector<Sample> made;
    for (const auto& [kind, recipe] : Recipes()) {
        const std::size_t colon = recipe.find(':');
        const std::string path = (folder / recipe.substr(0, colon)).string();
        std::string command = "convert " + recipe.substr(colon + 1) + " -depth 8 PNG32:" + path;
        for (std::size_t at = 0; (at = command.find_first_of("()", at)) != std::string::npos;
             at += 2) {
            command.insert(at, "\\");
        }
        if (Run(command)) {
            made.push_back({kind, path});
        } else {
            std::fprintf(stderr, "could not make %s\n", path.c_str());
        }
    }
    return made;
}

// The peer's PSNR on `decided` with `command` writing `output`, and its opaque colours.
std::optional<double> PeerPsnr(const std::string& command, const std::string& output,
                               const RgbaPicture& decided, int& entries) {
    std::filesystem::remove(output);
    if (!Run(command)) {
        return std::nullopt;
    }
    const auto picture = Read(output);
    if (!picture || picture->width != decided.width || picture->height != decided.height) {
        return std::nullopt;
    }
    entries = OpaqueColoursUsed(decided, *picture);
    return Psnr(decided, *picture);
}

Row Measure(const RgbaPicture& source, const Way& way, const std::filesystem::path& folder) {
    ConversionOptions options;
    options.dither = way.dither;
    options.opaque = true;
    Row row;
    const auto converted = ConvertPicture(source, source.width, source.height, options);
    if (!converted) {
        return row;
    }
    const RgbaPicture decided = Decided(converted->fitted);
    row.vexlor = Psnr(decided, Colours(converted->image));
    row.entries = converted->colours;
    const std::string fitted = (folder / "fitted.png").string();
    const std::string quantised = (folder / "pngquant.png").string();
    const std::string magick = (folder / "magick.png").string();
    if (!WritePngFile(fitted, decided)) {
        return row;
    }
    row.pngquant =
        PeerPsnr("pngquant --force " + way.pngquant + " --output " + quantised + " 255 " + fitted,
                 quantised, decided, row.peerEntries);
    int magickEntries = 0;
    row.magick = PeerPsnr("convert " + fitted + " " + way.magick + " -colors 255 PNG32:" + magick,
                          magick, decided, magickEntries);
    return row;
}

std::string Shown(const std::optional<double>& psnr) {
    char text[16];
    std::snprintf(text, sizeof text, "%.2f", psnr.value_or(0.0));
    return psnr ? text : "-";
}

// Sums of the rows of one class and way, for their means.
struct Sums {
    double vexlor = 0.0, pngquant = 0.0, magick = 0.0;
    int count = 0;
};

}  // namespace

int main(int argc, char** argv) {
    std::vector<Way> ways = {{"dither", 1.0, "", "-dither FloydSteinberg"},
                             {"nofs", 0.0, "--nofs", "+dither"}};
    std::vector<Sample> samples;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--dither" && i + 1 < argc) {
            const double dither = std::atof(argv[++i]);
            ways = {dither > 0.0 ? Way{"dither", dither, "", "-dither FloydSteinberg"}
                                 : Way{"nofs", 0.0, "--nofs", "+dither"}};
        } else {
            samples.push_back({"given", arg});
        }
    }
    QuietPictureReaders();
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / "vexlor-palette-quality";
    std::filesystem::create_directories(folder);
    if (samples.empty()) {
        samples = MadePictures(folder);
    }
    bool behind = false;
    std::map<std::string, Sums> sums;
    std::printf("%-6s %-18s %-9s %-6s %7s %8s %7s %8s %8s\n", "class", "picture", "size", "way",
                "vexlor", "pngquant", "magick", "used", "pq-used");
    for (const Sample& sample : samples) {
        const auto source = Read(sample.path);
        if (!source) {
            std::fprintf(stderr, "%s: not read\n", sample.path.c_str());
            behind = true;
            continue;
        }
        const std::string name = std::filesystem::path(sample.path).filename().string();
        const std::string size =
            std::to_string(source->width) + "x" + std::to_string(source->height);
        for (const Way& way : ways) {
            const Row row = Measure(*source, way, folder);
            behind = behind || !row.vexlor;
            const bool rowBehind = row.vexlor && row.pngquant && *row.vexlor < *row.pngquant;
            std::printf("%-6s %-18s %-9s %-6s %7s %8s %7s %8d %8d%s\n", sample.kind.c_str(),
                        name.c_str(), size.c_str(), way.name.c_str(), Shown(row.vexlor).c_str(),
                        Shown(row.pngquant).c_str(), Shown(row.magick).c_str(), row.entries,
                        row.peerEntries, rowBehind ? " <" : "");
            Sums& sum = sums[sample.kind + " " + way.name];
            sum.vexlor += row.vexlor.value_or(0.0);
            sum.pngquant += row.pngquant.value_or(0.0);
            sum.magick += row.magick.value_or(0.0);
            ++sum.count;
        }
    }
    std::printf("\n%-13s %7s %8s %7s   (means)\n", "class", "vexlor", "pngquant", "magick");
    for (const auto& [key, sum] : sums) {
        behind = behind || sum.vexlor < sum.pngquant;
        std::printf("%-13s %7.2f %8.2f %7.2f\n", key.c_str(), sum.vexlor / sum.count,
                    sum.pngquant / sum.count, sum.magick / sum.count);
    }
    return behind ? 1 : 0;
}
