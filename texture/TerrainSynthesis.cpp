#include "texture/TerrainSynthesis.h"

#include <vector>

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

RgbImage ComposeColourImage(const SynthesisPlan& plan, const TerrainSources& sources, bool surround, Raster& classes,
                            const RowCheck& check, PassProgress* progress)
{
    const int t = sources.size;
    RgbImage image(t, t);
    const std::vector<std::uint8_t> flat(static_cast<std::size_t>(t), 0);
    std::vector<std::uint16_t> sums1(static_cast<std::size_t>(t)), sums2(static_cast<std::size_t>(t));
    const CoverRule& cover1 = plan.cover1;
    const CoverRule& cover2 = plan.cover2;
    const std::uint8_t* base = plan.ramps[kBare].rgb.data();
    const std::uint8_t* coat1 = plan.ramps[kCover1].rgb.data();
    const std::uint8_t* coat2 = plan.ramps[kCover2].rgb.data();
    for (int y = 0; y < t; ++y) {
        const std::uint8_t* height = surround ? flat.data() : sources.height.Row(y);
        const std::uint8_t* slope = surround ? flat.data() : sources.slope.Row(y);
        const std::uint8_t* noise = sources.noise.Row(y);
        const std::uint8_t* noiseMirrored = sources.noise.Row(t - 1 - y);  // the colour of a cover
        const std::uint8_t* rc = sources.rc.Row(y);
        const std::uint8_t* em = sources.em.Row(y);
        Cover1Sums(cover1.pattern, noise, rc, em, t, sums1.data());
        Cover2Sums(cover2.pattern, noise, rc, em, t, sums2.data());
        std::uint8_t* cls = classes.Row(y);
        std::uint8_t* out = image.Row(y);
        for (int x = 0; x < t; ++x) {
            const int h = height[x];
            const int s = slope[x];
            const std::uint8_t* colour;
            if (cover2.Covered(sums2[static_cast<std::size_t>(x)], cover2.Suitability(h, s))) {
                cls[x] = kCover2;
                colour = coat2 + 3 * noiseMirrored[x];
            } else if (cover1.Covered(sums1[static_cast<std::size_t>(x)], cover1.Suitability(h, s))) {
                cls[x] = kCover1;
                colour = coat1 + 3 * noiseMirrored[x];
            } else {
                cls[x] = kBare;
                colour = base + 3 * BaseShade(plan.strata, noise[x], rc[x], h);
            }
            out[3 * x] = colour[0];
            out[3 * x + 1] = colour[1];
            out[3 * x + 2] = colour[2];
        }
        CheckRow(check);
        if (progress) progress->RowDone(y);
    }
    return image;
}

Raster ComposeBumpImage(const SynthesisPlan& plan, const Raster& classes, const PatternRaster& ra,
                        const PatternRaster& em, const RowCheck& check)
{
    const int t = classes.size;
    Raster bump(t);
    for (int y = 0; y < t; ++y) {
        const std::uint8_t* cls = classes.Row(y);
        const std::uint8_t* r = ra.Row(y);
        const std::uint8_t* e = em.Row(y);
        std::uint8_t* out = bump.Row(y);
        for (int x = 0; x < t; ++x) {
            int b;
            if (cls[x] == kCover2)
                b = r[x] + 25;
            else if (cls[x] == kCover1)
                b = r[x];
            else if (plan.smooth)
                b = r[x] - 25;
            else
                b = e[x];
            out[x] = static_cast<std::uint8_t>(b & 255);
        }
        CheckRow(check);
    }
    return bump;
}

RgbImage ComposeRockTexture(const SynthesisPlan& plan, const Raster& noise, const PatternRaster& rc,
                            const RowCheck& check)
{
    const int t = noise.size;
    RgbImage image(t, t);
    const std::uint8_t* base = plan.ramps[kBare].rgb.data();
    for (int y = 0; y < t; ++y) {
        const int r = t - 1 - y;  // the rock shade is read upside down
        const std::uint8_t* n = noise.Row(r);
        const std::uint8_t* p = rc.Row(r);
        // Above 1024 rows the stripe index wraps round the table.
        const int stripe = StrataRamp[static_cast<std::size_t>((r / 4) & 255)];
        std::uint8_t* out = image.Row(y);
        for (int x = 0; x < t; ++x) {
            int shade;
            if (plan.strata)
                shade = stripe + n[x] < 255 ? (stripe + n[x]) / 2 : stripe;
            else
                shade = (n[x] / 2 + p[x]) & 255;
            const std::uint8_t* colour = base + 3 * shade;
            out[3 * x] = colour[0];
            out[3 * x + 1] = colour[1];
            out[3 * x + 2] = colour[2];
        }
        CheckRow(check);
    }
    return image;
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
    Raster classes(t);

    // The terrain detail: six cover phases, base shade and colour in one sweep.
    {
        PassProgress progress(&control, 19, 3, 8, t);
        sink.Write("tex1.jpg", std::make_unique<RgbRows>(ComposeColourImage(plan, sources, false, classes, check, &progress)));
    }
    Progress(control, 43, check);
    PatternRaster ra = sink.LoadRaPattern(check);
    Progress(control, 46, check);
    Raster bump = ComposeBumpImage(plan, classes, ra, sources.em, check);
    Progress(control, 49, check);
    sink.Write("bump1.jpg", std::make_unique<GreyRows>(std::move(bump)));
    Progress(control, 52, check);
    // The bump went to its own raster, so the em pattern is still as loaded.
    Progress(control, 55, check);
    // The surround lies flat at the lowest height: height and slope are 0 there.
    sources.height = Raster();
    sources.slope = Raster();
    Progress(control, 58, check);

    // The surround.
    {
        PassProgress progress(&control, 61, 3, 8, t);
        sink.Write("tex2.jpg", std::make_unique<RgbRows>(ComposeColourImage(plan, sources, true, classes, check, &progress)));
    }
    Progress(control, 85, check);
    bump = ComposeBumpImage(plan, classes, ra, sources.em, check);
    Progress(control, 88, check);
    sink.Write("bump2.jpg", std::make_unique<GreyRows>(std::move(bump)));
    if (!rocks) {
        sink.Finish();
        Progress(control, 91, check);
        return;
    }
    Progress(control, 91, check);
    classes = Raster();
    ra = PatternRaster();

    sink.Write("rockbump.jpg", std::make_unique<PatternGreyRows>(sources.rc));
    Progress(control, 94, check);
    sink.Write("rocktex.jpg", std::make_unique<RgbRows>(ComposeRockTexture(plan, sources.noise, sources.rc, check)));
    sink.Finish();
    Progress(control, 97, check);
}

RgbImage SynthesizePreviewImage(const ProjectSettings& settings, const TerrainSources& sources)
{
    const SynthesisPlan plan = SynthesisPlan::Make(settings);
    Raster classes(sources.size);
    return ComposeColourImage(plan, sources, false, classes, {});
}

}  // namespace kv
