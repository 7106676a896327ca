#include "game/startup/data_folder.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace {

// How the player can put it right, and that it costs them nothing.
constexpr const char* kRemedy = " Reinstalling the game puts it right; saved games are kept. The data folder may "
                                "also be named in TESSIVANDER_RESOURCES.";

}  // namespace

str DataFolderProblem(const str& folder)
{
    if (folder.empty())
        return str("No folder holding the game's data (assets) was found beside the program.") + kRemedy;
    std::error_code ec;
    const fs::path path(folder.c_str());
    const char* what = nullptr;
    if (!fs::exists(path, ec))
        what = " does not exist.";
    else if (!fs::is_directory(path, ec))
        what = " is not a folder.";
    else if (!fs::is_directory(path / "assets", ec))
        what = " holds no assets folder.";
    else if (fs::is_empty(path / "assets", ec) || ec)
        what = " has an empty assets folder, or one that cannot be read.";
    if (!what)
        return str();
    return str("The game's data folder ") + folder + what + kRemedy;
}
