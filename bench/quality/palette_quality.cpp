// Measures the palette's quality against ImageMagick's: for each picture given (or made here),
// the PSNR over the opaque pixels of the stored picture against the fitted original, beside the
// PSNR of `convert FITTED -colors 255` on the same fitted original.
//
//   vexlor_palette_quality [--dither D] [PICTURE ...]
//
// Without pictures it makes its own in a temporary folder with ImageMagick (plasma, gradients,
// rendered spheres). Prints one line per picture and exits 1 when ours is below ImageMagick's.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "pictures/picture_conversion.h"
#include "pictures/picture_files.h"

namespace {

using namespace vexlor;

struct Score {
    double psnr = 0.0;
    int colours = 0;
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

bool Run(const std::string& command) {
    return std::system(command.c_str()) == 0;
}

std::vector<std::string> MadePictures(const std::filesystem::path& folder) {
    const std::vector<std::pair<std::string, std::string>> recipes = {
        {"plasma.png", "-size 510x260 plasma:fractal"},
        {"plasma-square.png", "-seed 7 -size 260x260 plasma:red-blue"},
        {"gradient.png", "-size 510x260 gradient:navy-orange -swirl 120"},
        {"sphere.png", "-size 180x180 radial-gradient:white-darkred"},
        {"rose.png", "rose: -resize 180x180!"},
        {"logo.png", "logo: -resize 510x260!"},
    };
    std::vector<std::string> made;
    for (const auto& [name, recipe] : recipes) {
        const std::string path = (folder / name).string();
        if (Run("convert " + recipe + " -depth 8 PNG32:" + path)) {
            made.push_back(path);
        }
    }
    return made;
}

}  // namespace

int main(int argc, char** argv) {
    double dither = 1.0;
    std::vector<std::string> pictures;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--dither" && i + 1 < argc) {
            dither = std::atof(argv[++i]);
        } else {
            pictures.push_back(arg);
        }
    }
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / "vexlor-palette-quality";
    std::filesystem::create_directories(folder);
    if (pictures.empty()) {
        pictures = MadePictures(folder);
    }
    bool behind = false;
    std::printf("%-28s %8s %8s %8s\n", "picture", "colours", "vexlor", "magick");
    for (const std::string& path : pictures) {
        RgbaPicture source;
        std::string error;
        if (!ReadPictureFile(path, source, error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            behind = true;
            continue;
        }
        const int width = source.width;
        const int height = source.height;
        ConversionOptions options;
        options.dither = dither;
        options.opaque = true;
        const auto converted = ConvertPicture(source, width, height, options);
        if (!converted) {
            std::fprintf(stderr, "%s: not converted\n", path.c_str());
            behind = true;
            continue;
        }
        const double ours = Psnr(converted->fitted, Colours(converted->image));
        const std::string fitted = (folder / "fitted.png").string();
        const std::string theirs = (folder / "magick.png").string();
        WritePngFile(fitted, converted->fitted);
        RgbaPicture magick;
        double reference = 0.0;
        if (Run("convert " + fitted + " -colors 255 PNG32:" + theirs) &&
            ReadPictureFile(theirs, magick, error)) {
            reference = Psnr(converted->fitted, magick);
        }
        behind = behind || ours < reference;
        std::printf("%-28s %8d %8.2f %8.2f\n",
                    std::filesystem::path(path).filename().string().c_str(), converted->colours,
                    ours, reference);
    }
    return behind ? 1 : 0;
}
