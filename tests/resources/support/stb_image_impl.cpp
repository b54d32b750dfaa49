// The stb_image implementation for the resource tests (the toolkit decodes PNG resources with it too).
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include <stb_image.h>
