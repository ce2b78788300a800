#pragma once
// GDAL, loaded the first time an elevation raster is read. Linked at start,
// GDAL and the hundred libraries it brings cost every run of the program
// about 75 ms before it does anything; most runs never read a raster.
#if KV_HAVE_GDAL
#include <cpl_conv.h>
#include <cpl_error.h>
#include <cpl_string.h>
#include <gdal.h>

#include <string>

namespace kv {

// The GDAL functions this program calls.
#define KV_GDAL_FUNCTIONS(X)                                                                                    \
    X(GDALAllRegister) X(CPLErrorReset) X(CPLPushErrorHandlerEx) X(CPLPopErrorHandler)                          \
    X(CPLGetErrorHandlerUserData) X(GDALClose) X(CPLEscapeString) X(VSIFree) X(GDALGetDriverByName) X(GDALCreate) \
    X(CPLPrintPointer) X(GDALAddBand) X(GDALIdentifyDriverEx) X(GDALOpenEx) X(GDALGetRasterCount)               \
    X(GDALGetRasterBand) X(GDALGetRasterXSize) X(GDALGetRasterYSize) X(GDALGetRasterNoDataValue)                \
    X(GDALRasterIO) X(GDALSetRasterNoDataValue) X(GDALRasterIOEx)

struct GdalLibrary {
#define KV_GDAL_MEMBER(name) decltype(&::name) name = nullptr;
    KV_GDAL_FUNCTIONS(KV_GDAL_MEMBER)
#undef KV_GDAL_MEMBER
};

// The library with its drivers registered, loaded once on first use (safe
// from any thread); null when it cannot be loaded, with the reason in
// `reason` when given.
const GdalLibrary* LoadedGdal(std::string* reason = nullptr);

}  // namespace kv
#endif
