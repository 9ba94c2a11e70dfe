// Files installed beside the program rather than carried inside it.
#pragma once

#include <string>
#include <vector>

extern const char* const BACKGROUND_DEFAULT;  // relative to the working directory

// The installed data folder of the program at programPath, found relative to
// the program's own folder, so that a moved or unpacked installation finds
// its files too. Empty when the program's path is not known.
std::string installedDataDir(const std::string& programPath);

// The files to try, in order, for the background setting: the default
// picture in the working directory and then in the installed data folder;
// any other setting names its one file.
std::vector<std::string> backgroundCandidates(const std::string& setting, const std::string& programPath);

// This process's own executable, or empty where the system does not say.
std::string ownProgramPath();
