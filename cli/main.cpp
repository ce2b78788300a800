// kelvane: the command-line front end.
//
//   kelvane create [--settings FILE.kv] [--set KEY=VALUE]... [--program-dir DIR] [--quiet] SCENE.scn
//   kelvane settings [--settings FILE.kv] [--set KEY=VALUE]... [--program-dir DIR] [--write FILE.kv]
//   kelvane --help | --version
//
// Exit status: 0 finished, 1 the creation failed, 2 usage error, 130 stopped.
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/SettingsAccess.h"
#include "cli/Signals.h"
#include "cli/TerminalFrontEnd.h"
#include "core/platform/Paths.h"
#include "core/platform/ProgramDirectory.h"
#include "core/job/CreationJob.h"
#include "core/basics/Session.h"

namespace {

using namespace kv;

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitStopped = 130;

const char* const kMainHelp =
    "Usage: kelvane COMMAND [OPTIONS]\n"
    "\n"
    "Makes trueSpace landscape scenes from a heightfield bitmap and a trees & rocks\n"
    "placement bitmap.\n"
    "\n"
    "Commands:\n"
    "  create    write a scene file and its images\n"
    "  settings  print or write a settings (.kv) file\n"
    "\n"
    "Options:\n"
    "  --help     show this help (also: kelvane COMMAND --help)\n"
    "  --version  show the version\n"
    "\n"
    "Example:\n"
    "  kelvane create out/valley.scn\n";

const char* const kCreateHelp =
    "Usage: kelvane create [OPTIONS] SCENE.scn | SCENE.glb\n"
    "\n"
    "Writes the scene file and, beside it, its textures, bump maps and stock\n"
    "textures. The scene's directory becomes the scene directory; it must not be\n"
    "the program directory. The file name is lower-cased and gets \".scn\" appended\n"
    "unless it already ends in it.\n"
    "\n"
    "A name ending in \".glb\" writes a binary glTF 2.0 file instead: the whole\n"
    "landscape in one file with its images inside, for today's 3D programs and\n"
    "viewers; nothing else is written beside it.\n"
    "\n"
    "Options:\n"
    "  --glb FILE.glb       also write the binary glTF file, from the same creation\n"
    "                       (the same trees and rocks in both)\n"
    "  --settings FILE.kv   start from a settings file instead of the defaults\n"
    "  --set KEY=VALUE      change one setting (any key of a settings file, e.g.\n"
    "                       basebmp, resolution, cover1index, skyR); repeatable,\n"
    "                       applied after --settings. For elevation data:\n"
    "                       demedge=PIXELS (the heightfield's edge) and\n"
    "                       demrange=METRES (0 m..METRES make the full height);\n"
    "                       0 leaves each to the raster\n"
    "  --program-dir DIR    the folder of stock files (default: beside the program,\n"
    "                       or $KELVANE_HOME)\n"
    "  --quiet              print errors only\n"
    "\n"
    "Ctrl-C stops the creation cleanly (exit status 130); a second Ctrl-C, SIGTERM or\n"
    "SIGHUP end it at once (130, or 128 + the signal number). Unfinished files are\n"
    "removed either way; the scene file is put in place last, when complete.\n"
    "\n"
    "Examples:\n"
    "  kelvane create --set resolution=1 --set cover1index=2 out/valley.scn\n"
    "  kelvane create --glb out/valley.glb out/valley.scn\n";

const char* const kSettingsHelp =
    "Usage: kelvane settings [OPTIONS]\n"
    "\n"
    "Prints the settings record as the key=value lines of a settings file, or\n"
    "writes it as a settings file.\n"
    "\n"
    "Options:\n"
    "  --settings FILE.kv   start from a settings file instead of the defaults\n"
    "  --set KEY=VALUE      change one setting; repeatable, applied after --settings\n"
    "  --program-dir DIR    the folder of stock files\n"
    "  --write FILE.kv      write the record to FILE.kv (\".kv\" is appended unless\n"
    "                       the name ends in it) instead of printing it\n"
    "\n"
    "Example:\n"
    "  kelvane settings --set oceanindex=3 --write island.kv\n";

int Usage(const std::string& problem, const char* help)
{
    // The first line of a help text names the command it belongs to.
    const std::string usageLine(help, std::strchr(help, '\n'));
    std::fprintf(stderr, "kelvane: %s\n%s\n(--help for more)\n", problem.c_str(), usageLine.c_str());
    return kExitUsage;
}

struct Options {
    std::string settingsFile;
    std::vector<std::pair<std::string, std::string>> sets;
    std::string programDirectory;
    std::string writeFile;
    std::string glbFile;
    bool quiet = false;
    bool help = false;
    std::vector<std::string> positional;
};

// Parses the options shared by the commands; returns an error text or "".
std::string Parse(int argc, char** argv, bool allowWrite, Options& o)
{
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= argc) return false;
            into = argv[++i];
            return true;
        };
        if (arg == "--help" || arg == "-h") {
            o.help = true;
        } else if (arg == "--quiet" || arg == "-q") {
            o.quiet = true;
        } else if (arg == "--settings") {
            if (!value(o.settingsFile)) return "--settings needs a file";
        } else if (arg == "--program-dir") {
            if (!value(o.programDirectory)) return "--program-dir needs a directory";
        } else if (arg == "--write" && allowWrite) {
            if (!value(o.writeFile)) return "--write needs a file";
        } else if (arg == "--glb" && !allowWrite) {
            if (!value(o.glbFile)) return "--glb needs a file";
        } else if (arg == "--set") {
            std::string pair;
            if (!value(pair)) return "--set needs KEY=VALUE";
            const auto eq = pair.find('=');
            if (eq == std::string::npos || eq == 0) return "--set needs KEY=VALUE, got \"" + pair + "\"";
            o.sets.emplace_back(pair.substr(0, eq), pair.substr(eq + 1));
        } else if (arg.size() > 1 && arg[0] == '-') {
            return "unknown option " + arg;
        } else {
            o.positional.push_back(arg);
        }
    }
    return {};
}

// Builds the settings record: defaults, then --settings, then each --set.
// Returns an exit status, or -1 when the record is ready.
int BuildSettings(const Options& o, const std::string& programDirectory, ProjectSettings& settings,
                  const char* help)
{
    settings = DefaultSettings(programDirectory);
    if (!o.settingsFile.empty() && !cli::LoadSettingsForCommandLine(o.settingsFile, settings, programDirectory))
        return kExitFailed;
    for (const auto& [key, value] : o.sets) {
        if (const auto error = cli::ApplyCommandLineSetting(settings, key, value)) return Usage(*error, help);
    }
    return -1;
}

int Create(int argc, char** argv)
{
    Options o;
    if (const std::string error = Parse(argc, argv, false, o); !error.empty()) return Usage(error, kCreateHelp);
    if (o.help) {
        std::fputs(kCreateHelp, stdout);
        return kExitOk;
    }
    if (o.positional.size() != 1) return Usage("create needs exactly one scene file", kCreateHelp);
    const std::string programDirectory = LocateProgramDirectory(o.programDirectory);
    ProjectSettings settings;
    if (const int status = BuildSettings(o, programDirectory, settings, kCreateHelp); status >= 0) return status;

    SceneFileChoice scene;
    SplitPath(o.positional[0], scene.directory, scene.title);
    if (scene.title.empty()) return Usage("the scene file needs a name", kCreateHelp);
    std::error_code ec;
    if (!std::filesystem::is_directory(scene.directory, ec))
        return Usage("the scene directory " + scene.directory + " does not exist", kCreateHelp);
    // The output's name chooses its format.
    if (IsGlbFileName(scene.title)) {
        if (!o.glbFile.empty()) return Usage("--glb goes with a .scn scene file", kCreateHelp);
        scene.trueSpaceScene = false;
        scene.glbPath = JoinPath(scene.directory, scene.title);
    } else if (!o.glbFile.empty()) {
        std::string glbDirectory, glbName;
        SplitPath(o.glbFile, glbDirectory, glbName);
        if (glbName.empty()) return Usage("--glb needs a file name", kCreateHelp);
        if (!std::filesystem::is_directory(glbDirectory, ec))
            return Usage("the directory " + glbDirectory + " does not exist", kCreateHelp);
        scene.glbPath = JoinPath(glbDirectory, glbName);
    }

    Session session;
    cli::InstallSignalHandlers(session.temporaryFiles());
    cli::TerminalFrontEnd frontEnd(scene, o.quiet);
    CreationJob job(settings, session, frontEnd, programDirectory);
    const JobOutcome outcome = job.Run();
    if (frontEnd.SceneRefused()) return kExitUsage;
    switch (outcome) {
    case JobOutcome::Finished: return kExitOk;
    case JobOutcome::Stopped: return kExitStopped;
    case JobOutcome::Cancelled: return kExitUsage;
    case JobOutcome::Failed: return kExitFailed;
    }
    return kExitFailed;
}

int Settings(int argc, char** argv)
{
    Options o;
    if (const std::string error = Parse(argc, argv, true, o); !error.empty()) return Usage(error, kSettingsHelp);
    if (o.help) {
        std::fputs(kSettingsHelp, stdout);
        return kExitOk;
    }
    if (!o.positional.empty()) return Usage("unexpected argument " + o.positional[0], kSettingsHelp);
    const std::string programDirectory = LocateProgramDirectory(o.programDirectory);
    ProjectSettings settings;
    if (const int status = BuildSettings(o, programDirectory, settings, kSettingsHelp); status >= 0) return status;
    if (!o.writeFile.empty()) return cli::SaveSettingsForCommandLine(o.writeFile, settings) ? kExitOk : kExitFailed;
    const std::string text = cli::SettingsText(settings);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return kExitOk;
}

int RunCommand(int argc, char** argv)
{
    if (argc < 2) return Usage("no command given", kMainHelp);
    const std::string command = argv[1];
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(kMainHelp, stdout);
        return kExitOk;
    }
    if (command == "--version") {
        std::printf("kelvane %s\n", KV_VERSION_STRING);
        return kExitOk;
    }
    if (command == "create") return Create(argc, argv);
    if (command == "settings") return Settings(argc, argv);
    return Usage("unknown command " + command, kMainHelp);
}

// What was printed must have arrived: a full disk or a closed pipe behind
// standard output or standard error turns success into failure.
int CheckOutputStreams(int status)
{
    const bool outputFailed = std::fflush(stdout) != 0 || std::ferror(stdout);
    if (outputFailed) std::fprintf(stderr, "kelvane: error writing to standard output\n");
    const bool errorsFailed = std::fflush(stderr) != 0 || std::ferror(stderr);
    return (outputFailed || errorsFailed) && status == kExitOk ? kExitFailed : status;
}

}  // namespace

int main(int argc, char** argv) { return CheckOutputStreams(RunCommand(argc, argv)); }
