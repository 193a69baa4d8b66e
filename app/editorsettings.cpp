// The editor's own profile settings; see editorsettings.h.
#include "app/editorsettings.h"

#include "engine/options.h"
#include "engine/profile.h"

namespace {

constexpr const char *kFormatOnSaveKey = "Format On Save";

bool g_formatOnSave = false;

} // namespace

bool praxFormatOnSave()
{
    return g_formatOnSave;
}

void setPraxFormatOnSave(bool on)
{
    g_formatOnSave = on;
}

void loadEditorSettings(const std::string &path)
{
    prax::IniProfile profile;
    if (!profile.load(path))
        profile = prax::IniProfile();
    g_formatOnSave = profile.get_int(prax::kLayoutExtrasSection, kFormatOnSaveKey, 0) != 0;
}

bool saveEditorSettings(const std::string &path, std::string *error)
{
    prax::IniProfile profile;
    if (!profile.load(path, error))
        return false; // never replace a profile whose other sections could not be read
    // A profile that never had the key gets it only once the setting is on.
    if (!g_formatOnSave && !profile.get_string(prax::kLayoutExtrasSection, kFormatOnSaveKey))
        return true;
    profile.set_int(prax::kLayoutExtrasSection, kFormatOnSaveKey, g_formatOnSave ? 1 : 0);
    return profile.save(path, error);
}
