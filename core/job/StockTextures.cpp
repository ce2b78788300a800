#include "core/job/StockTextures.h"

#include <string>
#include <optional>

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
void Install(CreationContext& ctx, const std::string& name, const std::string& copyFailure)
{
    const std::string source = JoinPath(ctx.programDirectory, name);
    const std::string destination = JoinPath(ctx.sceneDirectory, name);

    // A missing stock file cannot be copied: it ends the job with its copy message.
    const std::optional<std::uint64_t> size = FileSize(source);
    if (!size) throw Failure(copyFailure);

    if (ctx.freeSpace) {
        const std::optional<std::uint64_t> free = ctx.freeSpace(ctx.sceneDirectory);
        if (free && *free < *size) throw Failure("Not enough free disk space.", kErrorTitle);
    }
    const FileOutcome copied = CopyFileWhole(source, destination, &ctx.session.temporaryFiles());
    if (!copied.ok()) throw FailureBecause(copyFailure, copied.Reason());
}

void InstallShort(CreationContext& ctx, const std::string& name)
{
    Install(ctx, name, "Error copying " + name + ".");
}

}  // namespace

void InstallStockTextures(CreationContext& ctx)
{
    const KindsUsed& used = ctx.kindsUsed;
    if (used[ObjectKind::Evergreen]) {
        const std::string message =
            FormatMessage("Error copying ever.tga. (sourcefile=%s, destination file=%s)",
                          {JoinPath(ctx.programDirectory, "ever.tga"), JoinPath(ctx.sceneDirectory, "ever.tga")});
        Install(ctx, "ever.tga", message);
    }
    if (used[ObjectKind::Fir]) InstallShort(ctx, "fir.tga");
    // One bark picture serves both dead trees and the conifers' trunks.
    if (used.AnyBarkTree()) InstallShort(ctx, "bark.jpg");
    if (used[ObjectKind::Palmtree]) {
        InstallShort(ctx, "palmtree.jpg");
        InstallShort(ctx, "palmbark.jpg");
        InstallShort(ctx, "palmleaf.tga");
    }
    if (used[ObjectKind::Fern]) InstallShort(ctx, "fern.tga");
    if (used[ObjectKind::Cactus]) {
        InstallShort(ctx, "cactus.jpg");
        InstallShort(ctx, "cactbump.jpg");
    }
    if (used[ObjectKind::Birch]) InstallShort(ctx, "birch.jpg");
    // The calm, rippled and wavy oceans carry the ripple bump; the flat one does not.
    if (ctx.settings.oceanindex > 1) InstallShort(ctx, "ripple.jpg");
}

}  // namespace kv
