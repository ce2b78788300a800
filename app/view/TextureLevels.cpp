#include "app/view/TextureLevels.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

namespace kv::view {

namespace {

// One level down: each pixel averages the 2 x 2 (at an odd edge 3 x 2, 2 x 3
// or 3 x 3) block above it, channel by channel, rounded.
QImage HalfSize(const QImage& above)
{
    const int w = std::max(1, above.width() / 2), h = std::max(1, above.height() / 2);
    QImage below(w, h, above.format());
    for (int y = 0; y < h; ++y) {
        const int y0 = std::min(2 * y, above.height() - 1);
        const int y1 = (y == h - 1) ? above.height() - 1 : std::min(2 * y + 1, above.height() - 1);
        auto* out = below.scanLine(y);
        for (int x = 0; x < w; ++x) {
            const int x0 = std::min(2 * x, above.width() - 1);
            const int x1 = (x == w - 1) ? above.width() - 1 : std::min(2 * x + 1, above.width() - 1);
            unsigned sum[4] = {0, 0, 0, 0};
            unsigned n = 0;
            for (int yy = y0; yy <= y1; ++yy) {
                const auto* row = above.constScanLine(yy);
                for (int xx = x0; xx <= x1; ++xx) {
                    for (int c = 0; c < 4; ++c) sum[c] += row[4 * xx + c];
                    ++n;
                }
            }
            for (int c = 0; c < 4; ++c) out[4 * x + c] = static_cast<std::uint8_t>((sum[c] + n / 2) / n);
        }
    }
    return below;
}

}  // namespace

TextureLevels MakeTextureLevels(const QImage& source, int maxSize, bool bgraAllowed)
{
    TextureLevels result;
    QImage image = source;
    if (image.width() > maxSize || image.height() > maxSize)
        image = image.scaled(std::min(image.width(), maxSize), std::min(image.height(), maxSize),
                             Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    result.alpha = image.hasAlphaChannel();
    if (bgraAllowed && (image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32)) {
        // Used as it is: no copy of the largest level.
        result.order = PixelOrder::Bgra;
    } else if (bgraAllowed) {
        image.convertTo(result.alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        result.order = PixelOrder::Bgra;
    } else {
        image.convertTo(result.alpha ? QImage::Format_RGBA8888 : QImage::Format_RGBX8888);
        result.order = PixelOrder::Rgba;
    }
    result.levels.push_back(image);
    while (result.levels.back().width() > 1 || result.levels.back().height() > 1)
        result.levels.push_back(HalfSize(result.levels.back()));
    return result;
}

void PrepareInOrder(int count, int threads, const std::function<void(int)>& prepare,
                    const std::function<void(int)>& consume)
{
    if (count <= 0) return;
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<bool> ready(static_cast<std::size_t>(count), false);
    int next = 0;      // the next index a worker takes
    int consumed = 0;  // indices the caller has consumed
    // Workers stay at most this far ahead of the caller: bounded memory.
    const int ahead = std::max(1, threads) + 1;
    const auto work = [&] {
        for (;;) {
            int index;
            {
                std::unique_lock lock(mutex);
                changed.wait(lock, [&] { return next >= count || next < consumed + ahead; });
                if (next >= count) return;
                index = next++;
            }
            prepare(index);
            {
                const std::lock_guard lock(mutex);
                ready[static_cast<std::size_t>(index)] = true;
            }
            changed.notify_all();
        }
    };
    std::vector<std::thread> workers;
    for (int t = 0; t < std::max(1, threads); ++t) workers.emplace_back(work);
    for (int i = 0; i < count; ++i) {
        {
            std::unique_lock lock(mutex);
            changed.wait(lock, [&] { return ready[static_cast<std::size_t>(i)]; });
        }
        consume(i);
        {
            const std::lock_guard lock(mutex);
            consumed = i + 1;
        }
        changed.notify_all();
    }
    for (std::thread& worker : workers) worker.join();
}

}  // namespace kv::view
