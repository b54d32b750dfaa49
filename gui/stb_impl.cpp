// The stb libraries' implementations (Debian's libstb-dev, header-only), compiled once for the
// toolkit: PNG decoding and encoding, and the TrueType rasterizer. Third-party code, built without
// our warnings (see CMakeLists.txt).
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_MAX_DIMENSIONS 16384
#include "stb_image.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include "stb_image_write.h"

#define STB_TRUETYPE_IMPLEMENTATION
#include "stb_truetype.h"
