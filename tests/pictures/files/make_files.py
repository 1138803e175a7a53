#!/usr/bin/env python3
"""Writes the small picture files that the picture file tests read, with Pillow, so that both
readers (Qt's on Linux, stb_image with libtiff and libwebp on Windows) are asked about the same
bytes. Each is 4 x 3 pixels; the top-left pixel is (10, 20, 30), the bottom-right one
transparent in the files that store transparency."""
from PIL import Image

W, H = 4, 3


def colours():
    return [((10 + 60 * x) % 256, (20 + 70 * y) % 256, 30, 255) for y in range(H) for x in range(W)]


def rgba():
    im = Image.new("RGBA", (W, H))
    data = colours()
    data[-1] = (0, 0, 0, 0)
    im.putdata(data)
    return im


def opaque():
    im = Image.new("RGBA", (W, H))
    im.putdata(colours())
    return im


rgba().save("rgba.png")
opaque().convert("RGB").save("rgb.png")
opaque().save("opaque_rgba.png")
paletted = opaque().convert("RGB").quantize(16)
paletted.save("palette_trns.png", transparency=paletted.getpixel((W - 1, H - 1)))
paletted.save("palette_trns.gif", transparency=paletted.getpixel((W - 1, H - 1)))
paletted.save("palette.gif")
grey = Image.new("I;16", (W, H))
grey.putdata([1000] * (W * H))
grey.save("grey16.png")
opaque().convert("RGB").save("rgb24.bmp")
rgba().save("rgba32.bmp")
rgba().save("rgba.tiff", compression="tiff_lzw")
opaque().convert("RGB").save("rgb.tiff", compression="tiff_deflate")
rgba().save("rgba.webp", lossless=True)
opaque().convert("RGB").save("rgb.webp", lossless=True)
rgba().save("rgba.tga")
opaque().convert("RGB").save("rgb.tga")
# Only its length matters to the tests (the file ends with its end-of-image marker); the one
# here was written by libjpeg's cjpeg at quality 95 from the same pixels.
opaque().convert("RGB").save("rgb.jpg", quality=95)
