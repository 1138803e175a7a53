// The one translation unit that holds stb_image's and stb_image_write's code, where no system
// library provides it (the Windows build). Built without the project's warnings: it is not ours.
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WINDOWS_UTF8
#define STBIW_WINDOWS_UTF8
#include <stb/stb_image.h>
#include <stb/stb_image_write.h>
