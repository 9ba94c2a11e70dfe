#include "ui/data_files.h"

#include <unistd.h>

#include <array>

const char* const BACKGROUND_DEFAULT = "backgrounds/maracas-beach1.jpg";

std::string installedDataDir(const std::string& programPath)
{
    const std::string::size_type slash = programPath.rfind('/');
    if (slash == std::string::npos) return {};
    return programPath.substr(0, slash + 1) + MARVANTO_DATA_FROM_BIN;
}

std::vector<std::string> backgroundCandidates(const std::string& setting, const std::string& programPath)
{
    if (setting != BACKGROUND_DEFAULT) return {setting};
    std::vector<std::string> paths{setting};
    const std::string data = installedDataDir(programPath);
    if (!data.empty()) paths.push_back(data + "/" + setting);
    return paths;
}

std::string ownProgramPath()
{
    std::array<char, 4096> buffer{};
    const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length <= 0 || static_cast<size_t>(length) >= buffer.size()) return {};
    return std::string(buffer.data(), static_cast<size_t>(length));
}
