#include "library/picture_encoding.h"

#include "library/picture_size.h"
#include "library/records.h"
#include "library/run_length.h"

namespace vexlor {

namespace {

constexpr int kLongestRun = 63;
constexpr int kMostOperations = 255;

bool Fits(const IndexedImage& image) {
    return IsAcceptablePictureSize(image.width, image.height) &&
           CoversPicture(image, image.width, image.height);
}

// The operations the run-length encoder writes for a row: runs of transparent and of opaque
// pixels, each cut after 63.
int OperationsOfRow(const IndexedImage& image, int y) {
    int operations = 0;
    int x = 0;
    while (x < image.width) {
        const bool transparent = image.Index(x, y) == 0;
        int run = 0;
        while (x < image.width && run < kLongestRun && (image.Index(x, y) == 0) == transparent) {
            ++x;
            ++run;
        }
        ++operations;
    }
    return operations;
}

int FirstRowTooLong(const IndexedImage& image) {
    for (int y = 0; y < image.height; ++y) {
        if (OperationsOfRow(image, y) > kMostOperations) {
            return y;
        }
    }
    return -1;
}

}  // namespace

EncodeOutcome EncodeRunLength(const IndexedImage& image, StoredPicture& out) {
    if (!Fits(image)) {
        return {EncodeResult::BadSize, -1};
    }
    if (const int row = FirstRowTooLong(image); row >= 0) {
        return {EncodeResult::RowTooLong, row};
    }
    StoredPicture stored;
    stored.format = kRunLengthFormat;
    stored.width = image.width;
    stored.height = image.height;
    if (!BmpToRlePictureWithTransparent(image, image.width, image.height, image.PaletteColour(0),
                                        stored.pixels, stored.palette)) {
        return {EncodeResult::RowTooLong, -1};
    }
    out = std::move(stored);
    return {EncodeResult::Ok, -1};
}

EncodeOutcome EncodeIndexAlpha(const IndexedImage& image, const std::vector<std::uint8_t>& alpha,
                               StoredPicture& out) {
    if (!Fits(image) || alpha.size() != image.indices.size()) {
        return {EncodeResult::BadSize, -1};
    }
    StoredPicture stored;
    stored.format = kIndexAlphaFormat;
    stored.width = image.width;
    stored.height = image.height;
    stored.palette.assign(image.palette.begin(), image.palette.end());
    if (stored.palette.empty()) {
        stored.palette.push_back(0);
    }
    stored.pixels.resize(image.indices.size() * 2);
    for (std::size_t i = 0; i < image.indices.size(); ++i) {
        const std::uint8_t index = image.indices[i];
        stored.pixels[2 * i] = index;
        stored.pixels[2 * i + 1] = index == 0 ? 0 : alpha[i];
    }
    out = std::move(stored);
    return {EncodeResult::Ok, -1};
}

std::string DescribeEncodeRefusal(const EncodeOutcome& outcome, int width, int height) {
    const std::string size = std::to_string(width) + " x " + std::to_string(height);
    switch (outcome.result) {
        case EncodeResult::Ok:
            return {};
        case EncodeResult::BadSize:
            return "A picture of " + size + " cannot be stored: each side must be 1 to " +
                   std::to_string(kMaxPictureSide) + " and the picture at most " +
                   std::to_string(kMaxPicturePixels) + " pixels";
        case EncodeResult::RowTooLong:
            return "Row " + std::to_string(outcome.row + 1) + " of the " + size +
                   " picture needs more than " + std::to_string(kMostOperations) +
                   " run-length operations, more than its count byte holds; store it as format 24 "
                   "(index-alpha) instead";
    }
    return {};
}

}  // namespace vexlor
