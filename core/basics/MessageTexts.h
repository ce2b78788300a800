#pragma once
// Every message text the core shows, in one table. "%s" marks where a path,
// a file name or a reason goes (FormatMessage fills them in order).
namespace kv::text {

// ---- the creation
inline constexpr const char* kProgramDirectoryChosen =
    "You must choose a directory other than the executable directory for your scene directory.";
inline constexpr const char* kControlCharacterInSceneName =
    "The scene directory and file name must not contain control characters.";
inline constexpr const char* kSceneNotInPlace = "Error copying scene file from temp directory.";
inline constexpr const char* kNotEnoughDiskSpace = "Not enough free disk space.";
inline constexpr const char* kNotEnoughMemory = "Not enough memory to create the scene.";

// ---- files in general
inline constexpr const char* kErrorOpening = "Error opening %s.";
inline constexpr const char* kErrorWriting = "Error writing %s.";
inline constexpr const char* kErrorWritingLowDiskSpace =
    "Error writing %s (make sure you have enough free disk space and then start the creation process over again).";
inline constexpr const char* kErrorCopying = "Error copying %s.";
inline constexpr const char* kErrorCopyingEvergreen = "Error copying ever.tga. (sourcefile=%s, destination file=%s)";
inline constexpr const char* kErrorCopyingFog = "Error copying fog.tga.";

// ---- pictures
inline constexpr const char* kHeightfieldOpen = "Error getting handle to %s.";
inline constexpr const char* kFileHeader = "Error reading bitmap file header for %s.";
inline constexpr const char* kInfoHeader = "Error reading bitmap info header for %s.";
inline constexpr const char* kHeightfield24Bit = "The heightfield bitmap %s must be 24 bit.";
inline constexpr const char* kHeightfieldUncompressed = "The heightfield bitmap %s must be uncompressed.";
inline constexpr const char* k24Bit = "%s must be 24 bit.";
inline constexpr const char* kUncompressed = "%s must be uncompressed.";
inline constexpr const char* kAllocation = "Error allocating memory for bitmap bits for %s.";
inline constexpr const char* kPixelRead = "Error filling lpvbits for %s.";
inline constexpr const char* kTooLarge = "%s is too large.";
inline constexpr const char* kHeightfieldSquare = "The heightfield bitmap %s must be square.";
inline constexpr const char* kHeightfieldTwoPixels = "The heightfield bitmap %s must be at least 2 pixels wide.";
inline constexpr const char* kHeightfieldLargerThanTextures =
    "The heightfield bitmap %s is larger than the texture resolution; choose a higher resolution.";
inline constexpr const char* kPlacementSquare = "The bitmap used for trees and rocks placement must be square.";
inline constexpr const char* kPlacementSize =
    "The bitmap used for trees and rocks placement must be the same size as the heightfield bitmap.";
inline constexpr const char* kPlacementTwoPixels =
    "The bitmap used for trees and rocks placement must be at least 2 pixels wide.";
inline constexpr const char* kPatternSize = "The pattern bitmap %s must be %s x %s pixels.";
inline constexpr const char* kPngUnreadable = "Error reading the PNG file %s: %s.";
inline constexpr const char* kPngNotColour = "%s must be an 8-bit colour PNG.";
inline constexpr const char* kElevationUnreadable = "Error reading the elevation data %s: %s.";
inline constexpr const char* kElevationNotBuiltIn =
    "%s holds elevation data, which this build of Kelvane cannot read (it was built without GDAL).";

// ---- the atmosphere preview's own wording
inline constexpr const char* kPreviewOpen = "Error opening atmos preview bitmap.";
inline constexpr const char* kPreviewFileHeader = "Error reading bitmap file header for atmos preview.";
inline constexpr const char* kPreviewInfoHeader = "Error reading bitmap info header for atmos preview.";
inline constexpr const char* kPreview24Bit = "The bitmap used  for atmos preview must be 24 bit.";
inline constexpr const char* kPreviewUncompressed = "The bitmap used for atmos preview must be uncompressed.";
inline constexpr const char* kPreviewAllocation = "Error allocating memory for bitmap bits for atmos preview.";
inline constexpr const char* kPreviewPixelRead = "Error filling lpvbits for atmos preview.";
inline constexpr const char* kPreviewTooLarge = "The bitmap used for atmos preview is too large.";

// ---- settings files
inline constexpr const char* kInvalidVersion = "Invalid Version in the .kv file you loaded";
inline constexpr const char* kCannotSave = "Cannot save %s: %s.";
inline constexpr const char* kSettingsFileError = "Error in the settings file %s, line %s (%s): %s.";
inline constexpr const char* kMissingBitmap =
    "Can't find or open the file %s (specified in %s). Please find it or select another heightfield bitmap . . .";
inline constexpr const char* kInvalidValue = "Invalid value for %s: %s.";
inline constexpr const char* kUnknownKey = "Unknown settings key \"%s\".";

}  // namespace kv::text
