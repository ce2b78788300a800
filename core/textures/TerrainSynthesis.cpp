#include "core/textures/TerrainSynthesis.h"

#include <cstring>
#include <utility>
#include <vector>

// The pixel loops are written so the compiler can vectorise them; that changes
// no result (no contraction, no reassociation, IEEE single precision either way).
#if defined(__OPTIMIZE__) && defined(__GNUC__) && !defined(__clang__)
#pragma GCC optimize("O3")
#endif

namespace kv {

RgbColor ColorRamp(RgbColor c1, RgbColor c2, RgbColor c3, int v)
{
    auto channel = [v](std::uint8_t a, std::uint8_t b, std::uint8_t c) {
        double value;
        if (v < 128)
            value = static_cast<double>(128 - v) / 128.0 * a + static_cast<double>(v) / 128.0 * b;
        else
            value = static_cast<double>(v - 128) / 127.0 * c + static_cast<double>(255 - v) / 128.0 * b;
        return static_cast<std::uint8_t>(static_cast<int>(value));
    };
    return RgbColor{channel(c1.r, c2.r, c3.r), channel(c1.g, c2.g, c3.g), channel(c1.b, c2.b, c3.b)};
}

ColorRampTable ColorRampTable::Make(RgbColor c1, RgbColor c2, RgbColor c3)
{
    ColorRampTable table;
    for (int v = 0; v < 256; ++v) {
        const RgbColor c = ColorRamp(c1, c2, c3, v);
        table.rgb[static_cast<std::size_t>(3 * v)] = c.r;
        table.rgb[static_cast<std::size_t>(3 * v + 1)] = c.g;
        table.rgb[static_cast<std::size_t>(3 * v + 2)] = c.b;
    }
    return table;
}

SynthesisPlan SynthesisPlan::Make(const ProjectSettings& s)
{
    SynthesisPlan plan;
    plan.strata = IsStrata(s.baseindex);
    plan.smooth = IsSmooth(s.baseindex);
    plan.cover1 = CoverRule::Make(s.cover1index, Cover1Limits(s));
    plan.cover2 = CoverRule::Make(s.cover2index, Cover2Limits(s));
    plan.ramps[kBare] = ColorRampTable::Make(s.basecolor1, s.basecolor2, s.basecolor3);
    plan.ramps[kCover1] = ColorRampTable::Make(s.cover1color1, s.cover1color2, s.cover1color3);
    plan.ramps[kCover2] = ColorRampTable::Make(s.cover2color1, s.cover2color2, s.cover2color3);
    auto palette = std::make_shared<Palette>();
    for (std::size_t i = 0; i < palette->size(); ++i) {
        const std::uint8_t* c = plan.ramps[i / 256].At(static_cast<int>(i % 256));
        (*palette)[i] = c[0] | (static_cast<std::uint32_t>(c[1]) << 8) | (static_cast<std::uint32_t>(c[2]) << 16);
    }
    plan.palette = std::move(palette);
    plan.threshold1.resize(65536);
    plan.threshold2.resize(65536);
    for (int h = 0; h < 256; ++h)
        for (int slope = 0; slope < 256; ++slope) {
            const std::size_t cell = static_cast<std::size_t>(h << 8 | slope);
            plan.threshold1[cell] = plan.cover1.threshold[static_cast<std::size_t>(plan.cover1.Suitability(h, slope))];
            plan.threshold2[cell] = plan.cover2.threshold[static_cast<std::size_t>(plan.cover2.Suitability(h, slope))];
        }
    return plan;
}

void PassProgress::RowDone(int y)
{
    if (!control_) return;
    const int due = static_cast<int>(static_cast<long long>(y + 1) * count_ / rows_);
    while (reported_ < due) {
        control_->SetProgress(first_ + step_ * reported_);
        ++reported_;
    }
}

namespace {

// What one row of the colour pass reads and writes.
struct ColourRow {
    const std::uint8_t* height;
    const std::uint8_t* slope;
    const std::uint8_t* noise;
    const std::uint8_t* noiseMirrored;  // the shade of a cover
    const std::uint8_t* rc;
    const std::uint16_t* sums1;
    const std::uint16_t* sums2;
    const std::uint16_t* threshold1;  // at h * 256 + s
    const std::uint16_t* threshold2;
    std::uint8_t* classes;
    std::uint8_t* shades;
    int width;
};

// The pass's pixel rule, compiled for each combination of material kind,
// active covers and flat ground (the surround: height and slope 0), so that
// the inner loop carries no test that is the same for the whole pass.
template <bool Strata, bool Cover1On, bool Cover2On, bool Flat>
void ColourRowPixels(const ColourRow& row)
{
    // Local restrict copies: the byte stores below could otherwise alias the
    // row's own fields and force them to be read again for every pixel.
    const std::uint8_t* __restrict height = row.height;
    const std::uint8_t* __restrict slope = row.slope;
    const std::uint8_t* __restrict noise = row.noise;
    const std::uint8_t* __restrict noiseMirrored = row.noiseMirrored;
    const std::uint8_t* __restrict rc = row.rc;
    const std::uint16_t* __restrict sums1 = row.sums1;
    const std::uint16_t* __restrict sums2 = row.sums2;
    const std::uint16_t* __restrict threshold1 = row.threshold1;
    const std::uint16_t* __restrict threshold2 = row.threshold2;
    std::uint8_t* __restrict classes = row.classes;
    std::uint8_t* __restrict shades = row.shades;
    const std::uint16_t flat1 = threshold1[0];
    const std::uint16_t flat2 = threshold2[0];
    for (int x = 0; x < row.width; ++x) {
        const int h = Flat ? 0 : height[x];
        const int cell = Flat ? 0 : (h << 8) | slope[x];
        const bool on2 = Cover2On && sums2[x] >= (Flat ? flat2 : threshold2[cell]);
        const bool on1 = Cover1On && sums1[x] >= (Flat ? flat1 : threshold1[cell]);
        // Noise makes every choice below unpredictable: they are made with
        // masks rather than branches.
        const int n = noise[x];
        int shade;
        if (Strata) {
            const int stripe = StrataRamp[static_cast<std::size_t>(h)];
            const int sum = stripe + n;
            const int low = -static_cast<int>(sum < 255);
            shade = ((sum >> 1) & low) | (stripe & ~low);
        } else {
            shade = ((n >> 1) + rc[x]) & 255;
        }
        if (Cover1On || Cover2On) {
            const int cls = 2 * static_cast<int>(on2) + static_cast<int>(on1 && !on2);
            const int covered = -static_cast<int>(cls != 0);
            classes[x] = static_cast<std::uint8_t>(cls);
            shades[x] = static_cast<std::uint8_t>((noiseMirrored[x] & covered) | (shade & ~covered));
        } else {
            shades[x] = static_cast<std::uint8_t>(shade);  // all bare: no classes kept
        }
    }
}

using ColourRowFunction = void (*)(const ColourRow&);

template <std::size_t K>
constexpr ColourRowFunction ColourRowEntry()
{
    return &ColourRowPixels<(K & 1) != 0, (K & 2) != 0, (K & 4) != 0, (K & 8) != 0>;
}

template <std::size_t... K>
constexpr std::array<ColourRowFunction, sizeof...(K)> ColourRowTable(std::index_sequence<K...>)
{
    return {ColourRowEntry<K>()...};
}

ColourRowFunction PickColourRow(bool strata, bool cover1, bool cover2, bool flat)
{
    static constexpr auto table = ColourRowTable(std::make_index_sequence<16>());
    return table[(strata ? 1u : 0u) | (cover1 ? 2u : 0u) | (cover2 ? 4u : 0u) | (flat ? 8u : 0u)];
}

}  // namespace

void ComposeColourRows(const SynthesisPlan& plan, const TerrainSources& sources, bool surround, Raster& classes,
                       Raster& shades, int firstRow, int endRow, const RowCheck& check, PassProgress* progress)
{
    const int t = sources.size;
    std::vector<std::uint16_t> sums1(static_cast<std::size_t>(t)), sums2(static_cast<std::size_t>(t));
    std::vector<std::uint8_t> reversed(3 * static_cast<std::size_t>(t));
    const bool anyCover = plan.cover1.Active() || plan.cover2.Active();
    const ColourRowFunction pixels =
        PickColourRow(plan.strata, plan.cover1.Active(), plan.cover2.Active(), surround);
    ColourRow row{};
    row.sums1 = sums1.data();
    row.sums2 = sums2.data();
    row.threshold1 = plan.threshold1.data();
    row.threshold2 = plan.threshold2.data();
    row.width = t;
    for (int y = firstRow; y < endRow; ++y) {
        row.height = surround ? nullptr : sources.height.Row(y);
        row.slope = surround ? nullptr : sources.slope.Row(y);
        row.noise = sources.noise.Row(y);
        row.noiseMirrored = sources.noise.Row(t - 1 - y);
        row.rc = sources.rc.Row(y);
        if (anyCover) {
            PatternRow patterns;
            patterns.noise = row.noise;
            patterns.rc = row.rc;
            patterns.em = sources.em.Row(y);
            patterns.noiseReversed = reversed.data();
            patterns.rcReversed = reversed.data() + t;
            patterns.emReversed = reversed.data() + 2 * t;
            ReverseRow(patterns.noise, t, reversed.data());
            ReverseRow(patterns.rc, t, reversed.data() + t);
            ReverseRow(patterns.em, t, reversed.data() + 2 * t);
            if (plan.cover1.Active()) Cover1Sums(plan.cover1.pattern, patterns, t, sums1.data());
            if (plan.cover2.Active()) Cover2Sums(plan.cover2.pattern, patterns, t, sums2.data());
        }
        row.classes = anyCover ? classes.Row(y) : nullptr;
        row.shades = shades.Row(y);
        pixels(row);
        CheckRow(check);
        if (progress) progress->RowDone(y);
    }
}

ShadedImage ComposeColourImage(const SynthesisPlan& plan, const TerrainSources& sources, bool surround,
                               const RowCheck& check, PassProgress* progress)
{
    ShadedImage image;
    // Without covers every pixel is bare and no classes are kept.
    const bool covers = plan.cover1.Active() || plan.cover2.Active();
    image.classes = std::make_shared<Raster>(covers ? sources.size : 0);
    image.shades = Raster(sources.size);
    ComposeColourRows(plan, sources, surround, *image.classes, image.shades, 0, sources.size, check, progress);
    if (!covers) image.classes.reset();
    return image;
}

std::unique_ptr<ImageRows> ColourRows(const SynthesisPlan& plan, ShadedImage image)
{
    return std::make_unique<IndexedRows>(std::move(image.shades), std::move(image.classes), plan.palette);
}

Raster ComposeBumpImage(const SynthesisPlan& plan, const Raster* classes, const PatternRaster& ra,
                        const PatternRaster& em, const RowCheck& check)
{
    const int t = ra.size;
    Raster bump(t);
    for (int y = 0; y < t; ++y) {
        const std::uint8_t* __restrict r = ra.Row(y);
        const std::uint8_t* __restrict e = em.Row(y);
        std::uint8_t* __restrict out = bump.Row(y);
        if (!classes) {
            // Bare ground everywhere.
            if (plan.smooth)
                for (int x = 0; x < t; ++x) out[x] = static_cast<std::uint8_t>((r[x] - 25) & 255);
            else
                std::memcpy(out, e, static_cast<std::size_t>(t));
        } else {
            const std::uint8_t* __restrict cls = classes->Row(y);
            for (int x = 0; x < t; ++x) {
                const int c = cls[x];
                // Cover 2: ra + 25; cover 1: ra; bare: ra - 25 (smooth) or em (jagged).
                const int onBare = plan.smooth ? r[x] - 25 : e[x];
                const int b = c == kCover2 ? r[x] + 25 : c == kCover1 ? r[x] : onBare;
                out[x] = static_cast<std::uint8_t>(b & 255);
            }
        }
        CheckRow(check);
    }
    return bump;
}

Raster ComposeRockShades(const SynthesisPlan& plan, const Raster& noise, const PatternRaster& rc,
                         const RowCheck& check)
{
    const int t = noise.size;
    Raster shades(t);
    for (int y = 0; y < t; ++y) {
        const int r = t - 1 - y;  // the rock shade is read upside down
        const std::uint8_t* __restrict n = noise.Row(r);
        const std::uint8_t* __restrict p = rc.Row(r);
        std::uint8_t* __restrict out = shades.Row(y);
        if (plan.strata) {
            // Above 1024 rows the stripe index wraps round the table.
            const int stripe = StrataRamp[static_cast<std::size_t>((r / 4) & 255)];
            for (int x = 0; x < t; ++x) {
                const int sum = stripe + n[x];
                out[x] = static_cast<std::uint8_t>(sum < 255 ? sum >> 1 : stripe);
            }
        } else {
            for (int x = 0; x < t; ++x) out[x] = static_cast<std::uint8_t>(((n[x] >> 1) + p[x]) & 255);
        }
        CheckRow(check);
    }
    return shades;
}

namespace {

void Progress(JobControl& control, int value, const RowCheck& check)
{
    control.SetProgress(value);
    CheckRow(check);
}

}  // namespace

void SynthesizeTerrainTextures(const ProjectSettings& settings, TerrainSources& sources, bool rocks, TextureSink& sink,
                               JobControl& control, const RowCheck& check)
{
    const int t = sources.size;
    const SynthesisPlan plan = SynthesisPlan::Make(settings);

    // The rock bump map is the rc pattern itself: handed over at once, so
    // that it can be compressed while the other images are computed.
    if (rocks) sink.Write("rockbump.jpg", std::make_unique<PatternGreyRows>(sources.rc));

    // The terrain detail: six cover phases, base shade and colour in one sweep.
    ShadedImage detail;
    {
        PassProgress progress(&control, 19, 3, 8, t);
        detail = ComposeColourImage(plan, sources, false, check, &progress);
    }
    std::shared_ptr<const Raster> classes = detail.classes;  // none without covers
    sink.Write("tex1.jpg", ColourRows(plan, std::move(detail)));
    Progress(control, 43, check);
    PatternRaster ra = sink.LoadRaPattern(check);
    Progress(control, 46, check);
    Raster bump = ComposeBumpImage(plan, classes.get(), ra, sources.em, check);
    Progress(control, 49, check);
    sink.Write("bump1.jpg", std::make_unique<GreyRows>(std::move(bump)));
    // The rock colour texture depends on neither pass: made now, it keeps the
    // JPEG writer busy while the surround is computed.
    if (rocks) {
        Raster rock = ComposeRockShades(plan, sources.noise, sources.rc, check);
        sink.Write("rocktex.jpg", std::make_unique<IndexedRows>(std::move(rock), nullptr, plan.palette));
    }
    Progress(control, 52, check);
    // The bump went to its own raster, so the em pattern is still as loaded.
    Progress(control, 55, check);
    // The surround lies flat at the lowest height: height and slope are 0 there.
    sources.height = Raster();
    sources.slope = Raster();
    Progress(control, 58, check);

    // The surround.
    ShadedImage surround;
    {
        PassProgress progress(&control, 61, 3, 8, t);
        surround = ComposeColourImage(plan, sources, true, check, &progress);
    }
    classes = surround.classes;
    sink.Write("tex2.jpg", ColourRows(plan, std::move(surround)));
    Progress(control, 85, check);
    bump = ComposeBumpImage(plan, classes.get(), ra, sources.em, check);
    Progress(control, 88, check);
    classes.reset();
    ra = PatternRaster();
    sink.Write("bump2.jpg", std::make_unique<GreyRows>(std::move(bump)));
    if (!rocks) {
        sink.Finish();
        Progress(control, 91, check);
        return;
    }
    Progress(control, 91, check);
    sink.Finish();
    // Both rock images were handed over earlier; they are written after bump2.jpg.
    Progress(control, 94, check);
    Progress(control, 97, check);
}

RgbImage SynthesizePreviewImage(const ProjectSettings& settings, const TerrainSources& sources)
{
    const SynthesisPlan plan = SynthesisPlan::Make(settings);
    return ToRgbImage(*ColourRows(plan, ComposeColourImage(plan, sources, false, {})));
}

}  // namespace kv
