#include "core/job/StockTextures.h"

#include "core/basics/MessageTexts.h"

#include <string>
#include <optional>

#include "core/basics/FreeSpaceCheck.h"
#include "core/platform/FileSystem.h"
#include "core/platform/Paths.h"
#include "core/platform/ReplacementFile.h"
#include "core/basics/Messages.h"

namespace kv {

namespace {

// Copies one stock file from the program directory into the scene directory:
// free-space check, then the copy, written whole under a temporary name and
// renamed over the target. The copy is a new file, writable whatever the
// stock file's own permissions.
void Install(const std::string& programDirectory, const OutputDirectory& output, const std::string& name,
             const std::string& copyFailure)
{
    const std::string source = JoinPath(programDirectory, name);
    const std::string destination = JoinPath(output.path, name);

    // A missing stock file cannot be copied: it ends the job with its copy message.
    const std::optional<std::uint64_t> size = FileSize(source);
    if (!size) throw Failure(copyFailure);

    RequireFreeSpace(output, *size);
    const FileOutcome copied = CopyFileWhole(source, destination, output.temporaryFiles);
    if (!copied.ok()) throw FailureBecause(copyFailure, copied.Reason());
}

void InstallShort(const std::string& programDirectory, const OutputDirectory& output, const std::string& name)
{
    Install(programDirectory, output, name, FormatMessage(text::kErrorCopying, {name}));
}

}  // namespace

void InstallStockTextures(const KindsUsed& used, int oceanindex, const std::string& programDirectory,
                          const OutputDirectory& output)
{
    if (used[ObjectKind::Evergreen]) {
        const std::string message =
            FormatMessage(text::kErrorCopyingEvergreen,
                          {JoinPath(programDirectory, "ever.tga"), JoinPath(output.path, "ever.tga")});
        Install(programDirectory, output, "ever.tga", message);
    }
    if (used[ObjectKind::Fir]) InstallShort(programDirectory, output, "fir.tga");
    // One bark picture serves both dead trees and the conifers' trunks.
    if (used.AnyBarkTree()) InstallShort(programDirectory, output, "bark.jpg");
    if (used[ObjectKind::Palmtree]) {
        InstallShort(programDirectory, output, "palmtree.jpg");
        InstallShort(programDirectory, output, "palmbark.jpg");
        InstallShort(programDirectory, output, "palmleaf.tga");
    }
    if (used[ObjectKind::Fern]) InstallShort(programDirectory, output, "fern.tga");
    if (used[ObjectKind::Cactus]) {
        InstallShort(programDirectory, output, "cactus.jpg");
        InstallShort(programDirectory, output, "cactbump.jpg");
    }
    if (used[ObjectKind::Birch]) InstallShort(programDirectory, output, "birch.jpg");
    // The calm, rippled and wavy oceans carry the ripple bump; the flat one does not.
    if (oceanindex > 1) InstallShort(programDirectory, output, "ripple.jpg");
}

}  // namespace kv
