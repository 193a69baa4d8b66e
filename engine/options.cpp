// The process-wide options record and its profile section.
#include "engine/options.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "engine/profile.h"

namespace prax {

FormatOptions format_options = default_format_options;

namespace {

// The profile keys with their fields and load defaults, in the order they are
// read and written (the table's profile order).
struct ProfileKey {
    const char *key;
    int FormatOptions::*field;
    int load_default;
    int order;
};
constexpr ProfileKey kAllFields[] = {
#define PRAX_OPTION_KEY(field, key, order, load, start, low, high, help) {key, &FormatOptions::field, load, order},
    PRAX_FORMAT_OPTIONS(PRAX_OPTION_KEY)
#undef PRAX_OPTION_KEY
};

constexpr int count_keys()
{
    int n = 0;
    for (const ProfileKey &k : kAllFields)
        n += k.order >= 0 ? 1 : 0;
    return n;
}

struct ProfileKeys {
    ProfileKey keys[count_keys()];
    constexpr ProfileKeys() : keys{}
    {
        for (const ProfileKey &k : kAllFields) {
            if (k.order >= 0)
                keys[k.order] = k;
        }
    }
    const ProfileKey *begin() const { return keys; }
    const ProfileKey *end() const { return keys + count_keys(); }
};
constexpr ProfileKeys kProfileKeys;
static_assert(count_keys() == 10, "ten profile keys");

} // namespace

const char *const kOptionFieldNames[kOptionCount] = {
#define PRAX_OPTION_NAME(field, key, order, load, start, low, high, help) #field,
    PRAX_FORMAT_OPTIONS(PRAX_OPTION_NAME)
#undef PRAX_OPTION_NAME
};

FormatOptions load_default_format_options()
{
    FormatOptions options = default_format_options;
    for (const ProfileKey &k : kProfileKeys)
        options.*k.field = k.load_default;
    return options;
}

std::string default_profile_path()
{
    const char *config = std::getenv("XDG_CONFIG_HOME");
    std::string base;
    if (config && *config) {
        base = config;
    } else {
        const char *home = std::getenv("HOME");
        base = std::string(home ? home : "") + "/.config";
    }
    return base + "/prax/prax.ini";
}

void load_format_options(const std::string &path, FormatOptions &options)
{
    IniProfile profile;
    if (!profile.load(path))
        profile = IniProfile(); // unreadable: every key takes its load default
    for (const ProfileKey &k : kProfileKeys)
        options.*k.field = profile.get_int(kOptionsSection, k.key, k.load_default);
}

ProfileStatus read_profile(const std::string &path, FormatOptions &options, std::string *error)
{
    struct stat info;
    if (::lstat(path.c_str(), &info) != 0 && errno == ENOENT)
        return ProfileStatus::kMissing;
    IniProfile profile;
    std::string why;
    if (!profile.load(path, &why) || profile.text().find('\0') != std::string::npos) {
        if (error)
            *error = why.empty() ? "not a text file" : why;
        return ProfileStatus::kUnusable;
    }
    for (const ProfileKey &k : kProfileKeys)
        options.*k.field = profile.get_int(kOptionsSection, k.key, k.load_default);
    return ProfileStatus::kRead;
}

int save_format_options(const std::string &path, const FormatOptions &options, std::string *error)
{
    IniProfile profile;
    if (!profile.load(path)) {
        // Never replace a profile we could not read: its other sections would be lost.
        if (error)
            *error = "cannot read " + path;
        return -1;
    }
    for (const ProfileKey &k : kProfileKeys)
        profile.set_int(kOptionsSection, k.key, options.*k.field);
    return profile.save(path, error) ? 0 : -1;
}

const OptionInfo *find_option(const std::string &name)
{
    for (const OptionInfo &info : kOptionTable) {
        if (name == info.name)
            return &info;
    }
    return nullptr;
}

int *option_field(FormatOptions &options, const std::string &name)
{
    const OptionInfo *info = find_option(name);
    return info ? &(options.*info->field) : nullptr;
}

} // namespace prax
