#pragma once
// The encoded pictures of a creation, for formats that carry the images
// inside the scene file and for views: every image the scene names, by its
// file name (TGA pictures as PNG, since glTF takes only PNG and JPEG), and a
// normal map for every bump map.
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "core/basics/JobControl.h"
#include "core/model/SceneModel.h"
#include "core/textures/GreyImage.h"
#include "core/textures/ImageRows.h"

namespace kv {

enum class ImageEncoding { Jpeg, Png };

struct EncodedImage {
    ImageEncoding encoding = ImageEncoding::Jpeg;
    std::vector<std::uint8_t> bytes;
};

class SceneImages {
public:
    // Safe from any thread.
    void AddPicture(const std::string& name, EncodedImage image);
    void AddNormalMap(const std::string& bumpName, EncodedImage image);

    // nullptr when there is none.
    const EncodedImage* Picture(const std::string& name) const;
    const EncodedImage* NormalMap(const std::string& bumpName) const;

    std::size_t PictureCount() const { return pictures_.size(); }

private:
    mutable std::mutex mutex_;
    std::map<std::string, EncodedImage> pictures_;
    std::map<std::string, EncodedImage> normalMaps_;
};

// The quality normal maps are stored at (as JPEG).
inline constexpr int kNormalMapQuality = 95;

// Height pictures with both sides above this are made into normal maps at
// half their size: each 2 x 2 block of heights averaged (rounded to nearest),
// the rule then taking the halved sizes, so the relief stays the same. The
// terrain's Hi Res bump maps (2304 pixels) so give 1152-pixel normal maps, a
// quarter of the work and of the bytes, with the colour pictures still at
// full size.
inline constexpr int kNormalMapFullSizeLimit = 1024;

// The heights a normal map is made from: the picture itself, or its 2 x 2
// averages when both sides are above kNormalMapFullSizeLimit (an odd last
// row or column averaged with itself).
GreyImage NormalMapHeights(const GreyImage& heights);

// A normal map of a height picture, encoded (see NormalMap.h for the rule and
// NormalMapHeights for its size). `check` is called after every row.
EncodedImage EncodeNormalMap(const GreyImage& heights, double amplitude, const RowCheck& check = {});

// The grey heights of an image handed to the JPEG writer (its red channel:
// the bump maps are grey).
GreyImage HeightsOfRows(const ImageRows& image);

// The bump amplitude each bump map of the scene is used with, by file name.
std::map<std::string, double> BumpAmplitudes(const Scene& scene);

// The scene's stock pictures, read from the program directory (JPEG as it
// is, TGA turned into PNG), and the normal maps of those used as bump maps.
// Throws JobFailure when a file cannot be read.
void AddStockImages(const Scene& scene, const std::string& programDirectory, SceneImages& images);

}  // namespace kv
