// The bitmaps the editor and the preset strip load, with the sizes and frame layouts their controls
// rely on: the contract between the artwork and the code that draws it.
#pragma once

#include <optional>
#include <vector>

#include "platform/resources.h"
#include "support/images.h"

namespace testimg {

struct Expected {
    int number;
    int width, frameHeight, frames;
};

inline const std::vector<Expected>& expectedBitmaps() {
    static const std::vector<Expected> list = {
        {128, 524, 462, 1},                                                            // window background
        {129, 15, 432, 1},  {130, 15, 432, 1},  {154, 15, 432, 1},  {155, 15, 432, 1}, // meter strips
        {131, 27, 367, 1},  {132, 27, 367, 1},  {133, 27, 367, 1}, // input scales K-20, K-14, K-12/peak
        {134, 27, 367, 1},  {135, 27, 367, 1},  {136, 27, 367, 1}, // output scales
        {137, 5, 8, 192},   {138, 5, 8, 192},                      // bitmap fonts
        {139, 33, 19, 2},   {140, 33, 19, 2},   {162, 33, 19, 2},   {149, 35, 35, 2},   {144, 33, 19, 3},
        {160, 33, 19, 3},   {163, 33, 19, 3},   {164, 33, 19, 3},   {165, 33, 19, 3},   {166, 33, 19, 3},
        {161, 18, 24, 3},   {142, 33, 19, 6},   {143, 33, 19, 7},   {145, 33, 19, 7},   {141, 35, 56, 7},
        {146, 90, 25, 3},   {147, 48, 47, 101}, {148, 48, 47, 101}, {150, 56, 55, 101}, {151, 58, 56, 101},
        {152, 50, 48, 101}, {153, 49, 47, 101}, // knobs
        {156, 15, 203, 1},  {167, 58, 153, 2},  {157, 438, 136, 1}, {990, 17, 15, 3},   {991, 17, 15, 3},
        {992, 32, 13, 3},   {993, 44, 13, 3},   {995, 30, 13, 5},
    };
    return list;
}

inline std::optional<Image> bitmap(int number) {
    platform::ResourceData d = platform::findBitmapResource(number);
    if (!d) return std::nullopt;
    return decodeDib(d.bytes, d.size);
}

inline std::optional<Image> pngResource(const char* name) {
    platform::ResourceData d = platform::findDataResource(name);
    if (!d) return std::nullopt;
    return decodePng(d.bytes, d.size);
}

} // namespace testimg
