#pragma once
// The mipmap chain of a texture, made on the processor: every level down to
// 1 x 1, each a 2 x 2 box average of the one above (a last odd row or column
// folds into its neighbour), four bytes a pixel. Making the chain here, on
// worker threads, is several times faster than asking a software renderer to
// do it, and the first frame waits for it.
#include <QImage>

#include <functional>
#include <vector>

namespace kv::view {

enum class PixelOrder {
    Bgra,  // QImage's 32-bit formats on a little-endian machine (GL_BGRA)
    Rgba,  // QImage::Format_RGBA8888 (GL_RGBA)
};

struct TextureLevels {
    std::vector<QImage> levels;  // level 0 first; all in one 32-bit format
    PixelOrder order = PixelOrder::Rgba;
    bool alpha = false;          // false: every pixel is opaque
};

// `bgraAllowed`: the renderer can take BGRA pixels, so 32-bit images need no
// conversion. Images larger than `maxSize` are scaled down to it first.
TextureLevels MakeTextureLevels(const QImage& image, int maxSize, bool bgraAllowed);

// Runs `prepare(i)` for i in [0, count) on up to `threads` worker threads and
// `consume(i)` on the calling thread in order of i as soon as each is ready,
// so that only a few prepared results exist at a time.
void PrepareInOrder(int count, int threads, const std::function<void(int)>& prepare,
                    const std::function<void(int)>& consume);

}  // namespace kv::view
