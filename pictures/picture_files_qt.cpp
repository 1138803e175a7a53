#include <QBuffer>
#include <QByteArray>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QString>
#include <QtGlobal>

#include <stb/stb_image.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <system_error>

#include "library/picture_size.h"
#include "pictures/picture_completeness.h"
#include "pictures/picture_files.h"

namespace vexlor {

namespace {

// Decoded pictures larger than this (32 million pixels) are refused before the reader allocates
// them: the conversion holds a few copies of what is read.
constexpr int kAllocationLimitMiB = 128;

bool ToRgba(const QImage& image, RgbaPicture& out, std::string& why) {
    if (image.isNull()) {
        why = "the picture is empty";
        return false;
    }
    const QImage rgba = image.convertToFormat(QImage::Format_RGBA8888);
    if (rgba.isNull()) {
        why = "the picture cannot be turned into colours";
        return false;
    }
    RgbaPicture picture(rgba.width(), rgba.height());
    const auto rowBytes = static_cast<std::size_t>(rgba.width()) * 4;
    for (int y = 0; y < rgba.height(); ++y) {
        std::memcpy(picture.Pixel(0, y), rgba.constScanLine(y), rowBytes);
    }
    picture.hasAlpha = image.hasAlphaChannel();
    out = std::move(picture);
    return true;
}

// Qt's TGA reader gives every picture an alpha channel, also those of 24 bits; the file's header
// says whether it stores one: the number of attribute (alpha) bits of each pixel.
bool TgaStoresAlpha(QIODevice& device) {
    constexpr qint64 kDescriptorOffset = 17;
    const QByteArray header = device.peek(kDescriptorOffset + 1);
    return header.size() > kDescriptorOffset && (header[kDescriptorOffset] & 0x0F) != 0;
}

bool ReadFrom(QImageReader& reader, RgbaPicture& out, std::string& why) {
    reader.setAllocationLimit(kAllocationLimitMiB);
    const bool tga = reader.format() == "tga";
    const bool tgaAlpha = tga && reader.device() != nullptr && TgaStoresAlpha(*reader.device());
    const QImage image = reader.read();
    if (image.isNull()) {
        why = reader.errorString().toStdString();
        return false;
    }
    if (!ToRgba(image, out, why)) {
        return false;
    }
    if (tga) {
        out.hasAlpha = tgaAlpha;
    }
    return true;
}

// Qt's TGA reader takes only files that end in the TrueVision 2.0 footer and are not run-length
// compressed; many painting programs write others. stb_image reads every kind of TGA, and is
// asked when Qt's readers refuse a file.
bool ReadWithStb(const std::uint8_t* data, std::size_t size, RgbaPicture& out) {
    if (size == 0 || size > static_cast<std::size_t>(kAllocationLimitMiB) << 20) {
        return false;
    }
    const int length = static_cast<int>(size);
    int width = 0;
    int height = 0;
    int channels = 0;
    if (stbi_info_from_memory(data, length, &width, &height, &channels) == 0 || width <= 0 ||
        height <= 0 ||
        PixelCount(width, height) * 4 > static_cast<std::size_t>(kAllocationLimitMiB) << 20) {
        return false;
    }
    const std::unique_ptr<stbi_uc, void (*)(void*)> pixels(
        stbi_load_from_memory(data, length, &width, &height, &channels, 4), stbi_image_free);
    if (!pixels) {
        return false;
    }
    RgbaPicture picture(width, height);
    std::memcpy(picture.rgba.data(), pixels.get(), picture.rgba.size());
    // One or three channels in the file: no alpha; two or four: alpha samples.
    picture.hasAlpha = channels == 2 || channels == 4;
    out = std::move(picture);
    return true;
}

// The file's bytes for stb_image, when it is no larger than a decoded picture may be: a file of
// any size may be named, and it is never read into memory beyond that.
bool ReadSmallFile(const std::string& path, std::vector<std::uint8_t>& bytes) {
    std::error_code failed;
    const std::uintmax_t size = std::filesystem::file_size(path, failed);
    if (failed || size > (static_cast<std::uintmax_t>(kAllocationLimitMiB) << 20)) {
        return false;
    }
    std::ifstream file(path, std::ios::binary);
    bytes.resize(static_cast<std::size_t>(size));
    file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    // A file that shrank meanwhile is read as far as it goes.
    bytes.resize(static_cast<std::size_t>(file.gcount()));
    return !file.bad();
}

}  // namespace

void QuietPictureReaders() {
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtFatalMsg) {
            std::fputs(message.toLocal8Bit().constData(), stderr);
            std::abort();
        }
    });
}

namespace {

// Reads the picture, true when done; `why` otherwise.
bool ReadNamedFile(const std::string& path, RgbaPicture& out, std::string& why) {
    const QString name = QString::fromStdString(path);
    if (!QFileInfo(name).isFile()) {
        why = "no such file";
        return false;
    }
    // Qt's readers decode most files that end too soon without a word, the missing part black.
    std::vector<std::uint8_t> bytes;
    const bool small = ReadSmallFile(path, bytes);
    if (small && EndsBeforeItsPicture(bytes.data(), bytes.size(),
                                      std::filesystem::path(path).extension().string())) {
        why = kCutShortReason;
        return false;
    }
    // The extension is tried first, then the content: TGA has no signature to be known by, and
    // a picture saved under the wrong extension still reads.
    QImageReader reader(name);
    return ReadFrom(reader, out, why) || (small && ReadWithStb(bytes.data(), bytes.size(), out));
}

}  // namespace

bool ReadPictureFile(const std::string& path, RgbaPicture& out, std::string& error) {
    std::string why;
    if (ReadNamedFile(path, out, why)) {
        return true;
    }
    error = "Cannot read the picture " +
            QFileInfo(QString::fromStdString(path)).fileName().toStdString() + ": " + why;
    return false;
}

bool ReadPictureBytes(const std::uint8_t* data, std::size_t size, RgbaPicture& out,
                      std::string& error) {
    QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    std::string why;
    if (EndsBeforeItsPicture(data, size)) {
        why = kCutShortReason;
    } else if (ReadFrom(reader, out, why) || ReadWithStb(data, size, out)) {
        return true;
    }
    error = "Cannot read the picture: " + why;
    return false;
}

std::vector<std::uint8_t> EncodePng(const RgbaPicture& picture) {
    if (picture.IsEmpty() || picture.rgba.size() != picture.PixelCount() * 4) {
        return {};
    }
    QImage image(picture.width, picture.height, QImage::Format_RGBA8888);
    if (image.isNull()) {
        return {};
    }
    const auto rowBytes = static_cast<std::size_t>(picture.width) * 4;
    for (int y = 0; y < picture.height; ++y) {
        std::memcpy(image.scanLine(y), picture.Pixel(0, y), rowBytes);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image)) {
        return {};
    }
    return {bytes.begin(), bytes.end()};
}

std::vector<std::string> ReadablePicturePatterns() {
    std::vector<std::string> patterns;
    for (const QByteArray& suffix : QImageReader::supportedImageFormats()) {
        patterns.push_back("*." + suffix.toLower().toStdString());
    }
    std::sort(patterns.begin(), patterns.end());
    patterns.erase(std::unique(patterns.begin(), patterns.end()), patterns.end());
    return patterns;
}

}  // namespace vexlor
