// The application's main folder and its temporary subfolder, which holds the
// disk cache and Op Art's figure bitmaps, and the folder where picture
// choosers start. Paths have no trailing '/'.
#pragma once

#include <string>

inline const char* const kTempSubfolder = "FABULORTEMP";

// $XDG_DATA_HOME/Fabulor, or ~/.local/share/Fabulor when that is unset, empty
// or relative; until SetMainFolder says otherwise.
std::string MainFolder();
// The application (from its settings) or a test chooses another main folder;
// the temporary folder follows it unless it was set on its own. An empty path
// brings back the default.
void SetMainFolder(const std::string& folder);

// MainFolder() + "/FABULORTEMP", until SetTempFolder says otherwise.
std::string TempFolder();
// An empty path makes the temporary folder follow the main folder again.
void SetTempFolder(const std::string& folder);

// The folder where picture choosers start (the setting "INITIAL_BMP_DIR"):
// the user's home until SetPictureFolder says otherwise.
std::string PictureFolder();
void SetPictureFolder(const std::string& folder);

// The default main folder, computed from the environment now.
std::string DefaultMainFolder();
