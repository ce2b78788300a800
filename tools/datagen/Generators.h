#pragma once
#include <string>

namespace kv::datagen {

// Each generator writes its stock files into the program directory `out`.
// Every generator is deterministic: the same bytes on every build. They
// return false (after printing why) when a file cannot be written.
bool GenerateHeightfields(const std::string& out);    // height01.bmp ... height06.bmp
bool GeneratePlacement(const std::string& out);       // tree01.bmp ... tree06.bmp (reads height01.bmp ... from `out`)
bool GeneratePatterns(const std::string& out);        // rc0-3.bmp, em0-3.bmp, ra1-3.bmp
bool GenerateClouds(const std::string& out);          // clear/cloudy/ominous/puff.bmp and their "~" previews
bool GenerateStockTextures(const std::string& out);   // bark.jpg ... ripple.jpg, ever.tga ... fern.tga

// Copies the hand-written files of the source tree's data/ folder (the sample
// settings files) into `out`.
bool CopyStaticData(const std::string& dataDir, const std::string& out);

}  // namespace kv::datagen
