#include "core/inputs/ElevationInput.h"

#include "core/basics/MessageTexts.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>
#include <memory>
#include <new>

#include "core/inputs/PictureFormat.h"
#include "core/basics/Messages.h"

#if KV_HAVE_GDAL
#include "core/inputs/GdalLibrary.h"

#include <cstdio>
#include <filesystem>
#include <mutex>
#include <vector>
#endif

namespace kv {

void ElevationsToHeights(float* values, std::size_t count, std::optional<double> noData, double rangeMetres)
{
    // A no-data value outside float's range cannot occur in a float buffer.
    const bool hasNoData = noData && std::abs(*noData) <= FLT_MAX;
    const float noDataValue = hasNoData ? static_cast<float>(*noData) : 0.0f;
    auto isVoid = [&](float v) { return !std::isfinite(v) || (hasNoData && v == noDataValue); };

    double low = 0.0;
    double high = 0.0;
    if (rangeMetres > 0.0) {
        high = rangeMetres;
    } else {
        double lowest = std::numeric_limits<double>::infinity();
        double highest = -std::numeric_limits<double>::infinity();
        for (std::size_t i = 0; i < count; ++i) {
            if (isVoid(values[i])) continue;
            lowest = std::min<double>(lowest, values[i]);
            highest = std::max<double>(highest, values[i]);
        }
        // With sea in the raster, 0 m is sea level and the bottom of the scale.
        low = lowest <= 0.0 ? 0.0 : lowest;
        high = highest;
    }
    const double span = high - low;
    for (std::size_t i = 0; i < count; ++i) {
        const float v = values[i];
        if (isVoid(v) || !(span > 0.0)) {
            values[i] = 0.0f;
            continue;
        }
        const double height = 765.0 * (static_cast<double>(v) - low) / span;
        values[i] = static_cast<float>(std::clamp(height, 0.0, 765.0));
    }
}

#if KV_HAVE_GDAL

namespace {

// The loaded library; the callers below run only once it is loaded.
const GdalLibrary& Gdal() { return *LoadedGdal(); }

// Collects, for the lifetime of the object, the first error GDAL reports on
// this thread (GDAL's handler stack is per thread) instead of printing it.
class GdalErrors {
public:
    GdalErrors()
    {
        Gdal().CPLErrorReset();
        Gdal().CPLPushErrorHandlerEx(&Collect, this);
    }
    ~GdalErrors() { Gdal().CPLPopErrorHandler(); }
    GdalErrors(const GdalErrors&) = delete;
    GdalErrors& operator=(const GdalErrors&) = delete;

    // GDAL's own words for the failure, or `otherwise` when it said nothing.
    std::string Reason(const char* otherwise) const
    {
        std::string reason = first_[0] ? first_ : otherwise;
        while (!reason.empty() && (reason.back() == '.' || reason.back() == '\n' || reason.back() == ' '))
            reason.pop_back();
        return reason;
    }

private:
    static void CPL_STDCALL Collect(CPLErr level, CPLErrorNum, const char* message)
    {
        GdalErrors* self = static_cast<GdalErrors*>(Gdal().CPLGetErrorHandlerUserData());
        if (level >= CE_Failure && message && !self->first_[0])
            std::snprintf(self->first_, sizeof self->first_, "%s", message);
    }
    char first_[512] = {};
};

struct DatasetCloser {
    void operator()(void* dataset) const { Gdal().GDALClose(static_cast<GDALDatasetH>(dataset)); }
};
using Dataset = std::unique_ptr<void, DatasetCloser>;

// An SRTM tile as GDAL's VRT raw band: GDAL's own SRTM driver accepts only
// files named after their tile ("N45E006.hgt"), and the content alone says
// what this file is.
std::string SrtmTileDescription(const std::string& path, const SrtmLayout& tile)
{
    char* escaped = Gdal().CPLEscapeString(path.c_str(), -1, CPLES_XML);
    const std::string escapedPath = escaped ? escaped : "";
    Gdal().VSIFree(escaped);
    const std::string width = std::to_string(tile.width);
    return "<VRTDataset rasterXSize=\"" + width + "\" rasterYSize=\"" + std::to_string(tile.height) +
           "\"><VRTRasterBand dataType=\"Int16\" band=\"1\" subClass=\"VRTRawRasterBand\">"
           "<SourceFilename relativeToVRT=\"0\">" +
           escapedPath +
           "</SourceFilename><ImageOffset>0</ImageOffset><PixelOffset>2</PixelOffset><LineOffset>" +
           std::to_string(2 * tile.width) +
           "</LineOffset><ByteOrder>MSB</ByteOrder><NoDataValue>-32768</NoDataValue>"
           "</VRTRasterBand></VRTDataset>";
}

// What GDAL is asked to open: the file itself, or the description of a
// nameless SRTM tile.
std::string GdalSourceFor(const std::string& path)
{
    if (SniffPictureFile(path) != PictureFormat::SrtmHeights) return path;
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    const std::optional<SrtmLayout> tile = ec ? std::nullopt : SrtmLayoutOfSize(size);
    return tile ? SrtmTileDescription(path, *tile) : path;
}

// A one-band Float32 dataset of GDAL's memory driver over `pixels` (side x
// side, rows from the top); the pixels stay the caller's.
Dataset FloatDatasetOver(float* pixels, int side)
{
    GDALDriverH memory = Gdal().GDALGetDriverByName("MEM");
    if (!memory) return nullptr;
    Dataset dataset(Gdal().GDALCreate(memory, "", side, side, 0, GDT_Float32, nullptr));
    if (!dataset) return nullptr;
    char pointer[64];
    const int length = Gdal().CPLPrintPointer(pointer, pixels, static_cast<int>(sizeof pointer) - 1);
    pointer[length] = '\0';
    const std::string dataPointer = std::string("DATAPOINTER=") + pointer;
    char* options[] = {const_cast<char*>(dataPointer.c_str()), nullptr};
    if (Gdal().GDALAddBand(dataset.get(), GDT_Float32, options) != CE_None) return nullptr;
    return dataset;
}

}  // namespace

bool ElevationInputAvailable() { return true; }

bool ElevationRasterRecognised(const std::string& path)
{
    if (!LoadedGdal()) return false;
    GdalErrors quiet;
    const char* const rasterOnly[] = {nullptr};
    return Gdal().GDALIdentifyDriverEx(path.c_str(), GDAL_OF_RASTER, nullptr, rasterOnly) != nullptr;
}

HeightPicture LoadElevationHeights(const std::string& path, const PictureRequest& request,
                                   const ElevationScale& scale)
{
    std::string unloaded;
    if (!LoadedGdal(&unloaded))
        throw Failure(FormatMessage(text::kElevationUnreadable, {request.subject, unloaded}));
    GdalErrors errors;
    auto fail = [&](const char* otherwise) {
        return Failure(FormatMessage(text::kElevationUnreadable,
                                     {request.subject, errors.Reason(otherwise)}));
    };

    const std::string source = GdalSourceFor(path);
    Dataset dataset(Gdal().GDALOpenEx(source.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY | GDAL_OF_VERBOSE_ERROR, nullptr,
                               nullptr, nullptr));
    if (!dataset) throw fail("GDAL cannot open it");
    if (Gdal().GDALGetRasterCount(dataset.get()) < 1) throw fail("it holds no raster band");
    GDALRasterBandH band = Gdal().GDALGetRasterBand(dataset.get(), 1);
    if (!band) throw fail("GDAL cannot read its first band");

    // The central square; its side is the declared size that counts.
    const std::int64_t rasterWidth = Gdal().GDALGetRasterXSize(dataset.get());
    const std::int64_t rasterHeight = Gdal().GDALGetRasterYSize(dataset.get());
    const std::int64_t side = std::min(rasterWidth, rasterHeight);
    if (side < 1) throw fail("the raster is empty");
    if (side > kMaxBitmapSide) throw Failure(FormatMessage(text::kTooLarge, {request.subject}));
    const std::int64_t edge = scale.edge > 0 ? scale.edge : std::min(side, request.maxSide);
    CheckDeclaredSize(edge, edge, request);

    int hasNoData = 0;
    const double noData = Gdal().GDALGetRasterNoDataValue(band, &hasNoData);

    // The square at full resolution, as float. GDAL resamples in the band's
    // own data type, which would round an integer raster's averages and
    // interpolations to whole metres (terraces); resampling this float copy
    // keeps every fraction.
    const int squareSide = static_cast<int>(side);
    std::vector<float> square;
    HeightPicture picture;
    picture.width = static_cast<int>(edge);
    picture.height = static_cast<int>(edge);
    try {
        square.resize(static_cast<std::size_t>(side) * static_cast<std::size_t>(side));
        if (edge != side) picture.heights.resize(static_cast<std::size_t>(edge) * static_cast<std::size_t>(edge));
    } catch (const std::bad_alloc&) {
        throw Failure(FormatMessage(text::kAllocation, {request.subject}));
    }
    const int left = static_cast<int>((rasterWidth - side) / 2);
    const int top = static_cast<int>((rasterHeight - side) / 2);
    if (Gdal().GDALRasterIO(band, GF_Read, left, top, squareSide, squareSide, square.data(), squareSide, squareSide,
                     GDT_Float32, 0, 0) != CE_None)
        throw fail("GDAL cannot read the elevations");

    if (edge == side) {
        picture.heights = std::move(square);
    } else {
        Dataset copy = FloatDatasetOver(square.data(), squareSide);
        GDALRasterBandH copyBand = copy ? Gdal().GDALGetRasterBand(copy.get(), 1) : nullptr;
        if (!copyBand) throw fail("GDAL cannot hold the elevations in memory");
        // Voids stay voids: the resampling leaves them out of its averages.
        if (hasNoData) Gdal().GDALSetRasterNoDataValue(copyBand, noData);
        GDALRasterIOExtraArg resampling;
        INIT_RASTERIO_EXTRA_ARG(resampling);
        resampling.eResampleAlg = edge < side ? GRIORA_Average : GRIORA_Cubic;
        if (Gdal().GDALRasterIOEx(copyBand, GF_Read, 0, 0, squareSide, squareSide, picture.heights.data(), picture.width,
                           picture.height, GDT_Float32, 0, 0, &resampling) != CE_None)
            throw fail("GDAL cannot resample the elevations");
    }

    ElevationsToHeights(picture.heights.data(), picture.heights.size(),
                        hasNoData ? std::optional<double>(noData) : std::nullopt, scale.rangeMetres);
    return picture;
}

#else  // a build without GDAL

bool ElevationInputAvailable() { return false; }

bool ElevationRasterRecognised(const std::string&) { return false; }

HeightPicture LoadElevationHeights(const std::string&, const PictureRequest& request, const ElevationScale&)
{
    throw Failure(FormatMessage(
        text::kElevationNotBuiltIn,
        {request.subject}));
}

#endif

}  // namespace kv
