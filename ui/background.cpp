#include "ui/background.h"

#include <FXJPGImage.h>

const char* const BACKGROUND_SECTION = "Display";
const char* const BACKGROUND_KEY = "Background";
const char* const BACKGROUND_SOLID = "solid";

namespace {

constexpr FXuval STREAM_BUFFER = 8192;

}  // namespace

FXImage* loadBackgroundImage(FXApp* app, const FXString& path)
{
    FXFileStream stream;
    if (!FXStat::isFile(path) || !stream.open(path, FXStreamLoad, STREAM_BUFFER)) return nullptr;
    // The pixels stay, to be fitted again to every size of the window.
    auto* image = new FXJPGImage(app, nullptr, IMAGE_KEEP, 1, 1);
    const bool loaded = image->loadPixels(stream) && image->getData();
    stream.close();
    if (!loaded) {
        delete image;
        return nullptr;
    }
    image->create();
    return image;
}

FXImage* loadBackgroundFromSettings(FXApp* app)
{
    const FXString value = app->reg().readStringEntry(BACKGROUND_SECTION, BACKGROUND_KEY, BACKGROUND_DEFAULT);
    if (value == BACKGROUND_SOLID) return nullptr;
    for (const std::string& path : backgroundCandidates(value.text(), ownProgramPath()))
        if (FXImage* image = loadBackgroundImage(app, path.c_str())) return image;
    return nullptr;
}
