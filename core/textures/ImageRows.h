#pragma once
// Images handed to the JPEG writer row by row: a held RGB image, or a grey
// raster expanded to R = G = B one row at a time.
#include <array>
#include <cstdint>
#include <memory>

#include "core/textures/PatternBitmap.h"
#include "core/textures/Raster.h"

namespace kv {

class ImageRows {
public:
    virtual ~ImageRows() = default;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // The red, green and blue bytes of row y (0 = top): a pointer into held
    // pixels, or `scratch` (room for Width() * 3 + 1 bytes) after filling it.
    virtual const std::uint8_t* Row(int y, std::uint8_t* scratch) const noexcept = 0;
};

// An RGB image it owns.
class RgbRows final : public ImageRows {
public:
    explicit RgbRows(RgbImage image) : image_(std::move(image)) {}
    int Width() const override { return image_.width; }
    int Height() const override { return image_.height; }
    const std::uint8_t* Row(int y, std::uint8_t*) const noexcept override { return image_.Row(y); }
    const RgbImage& Image() const { return image_; }

private:
    RgbImage image_;
};

// RGB pixels held elsewhere.
class RgbViewRows final : public ImageRows {
public:
    RgbViewRows(const std::uint8_t* rgb, int width, int height) : rgb_(rgb), width_(width), height_(height) {}
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    const std::uint8_t* Row(int y, std::uint8_t*) const noexcept override
    {
        return rgb_ + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) * 3;
    }

private:
    const std::uint8_t* rgb_;
    int width_;
    int height_;
};

// Writes each grey byte of a row into all three channels.
void ExpandGrey(const std::uint8_t* grey, int width, std::uint8_t* rgb);

// Colours packed as red | green << 8 | blue << 16, at class * 256 + shade.
using Palette = std::array<std::uint32_t, 768>;

// Colours a row through a palette: pixel x takes palette[classes[x] * 256 +
// shades[x]]; without classes every pixel is of class 0.
void ExpandPalette(const std::uint8_t* shades, const std::uint8_t* classes, const Palette& palette, int width,
                   std::uint8_t* rgb);

// A grey raster it owns (a bump map).
class GreyRows final : public ImageRows {
public:
    explicit GreyRows(Raster grey) : grey_(std::move(grey)) {}
    int Width() const override { return grey_.size; }
    int Height() const override { return grey_.size; }
    const std::uint8_t* Row(int y, std::uint8_t* scratch) const noexcept override
    {
        ExpandGrey(grey_.Row(y), grey_.size, scratch);
        return scratch;
    }
    const Raster& Grey() const { return grey_; }

private:
    Raster grey_;
};

// A tiled pattern shown grey (the rock bump map).
class PatternGreyRows final : public ImageRows {
public:
    explicit PatternGreyRows(PatternRaster pattern) : pattern_(std::move(pattern)) {}
    int Width() const override { return pattern_.size; }
    int Height() const override { return pattern_.size; }
    const std::uint8_t* Row(int y, std::uint8_t* scratch) const noexcept override
    {
        ExpandGrey(pattern_.Row(y), pattern_.size, scratch);
        return scratch;
    }

private:
    PatternRaster pattern_;
};

// A colour image held as one shade byte per pixel and, optionally, a class
// byte per pixel shared with other work, coloured through a palette row by row.
class IndexedRows final : public ImageRows {
public:
    IndexedRows(Raster shades, std::shared_ptr<const Raster> classes, std::shared_ptr<const Palette> palette)
        : shades_(std::move(shades)), classes_(std::move(classes)), palette_(std::move(palette))
    {
    }
    int Width() const override { return shades_.size; }
    int Height() const override { return shades_.size; }
    const std::uint8_t* Row(int y, std::uint8_t* scratch) const noexcept override
    {
        ExpandPalette(shades_.Row(y), classes_ ? classes_->Row(y) : nullptr, *palette_, shades_.size, scratch);
        return scratch;
    }

private:
    Raster shades_;
    std::shared_ptr<const Raster> classes_;
    std::shared_ptr<const Palette> palette_;
};

// The whole image as one RGB buffer.
RgbImage ToRgbImage(const ImageRows& rows);

}  // namespace kv
