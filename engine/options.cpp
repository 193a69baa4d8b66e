// The process-wide options record and its profile section.
#include "engine/options.h"

#include <cstdlib>
#include <cstring>

#include "engine/profile.h"

namespace prax {

FormatOptions format_options = default_format_options;

namespace {

// The ten profile keys in the order they are read and written, each with its
// field and the default used when the key is missing.
struct ProfileKey {
    const char *key;
    int FormatOptions::*field;
    int load_default;
};
constexpr ProfileKey kProfileKeys[] = {
    {"Alignment", &FormatOptions::alignment, 0},
    {"Key Word Case", &FormatOptions::keyword_case, 0},
    {"And/OR position", &FormatOptions::and_or_position, 0},
    {"Multi Item", &FormatOptions::multi_item, 1},
    {"New Line On Select", &FormatOptions::newline_on_select, 0},
    {"New Line After Select", &FormatOptions::newline_after_select, 0},
    {"Match Parenthesis", &FormatOptions::match_parenthesis, 1},
    {"Interval", &FormatOptions::interval, 5},
    {"Starting indentation", &FormatOptions::starting_indentation, 0},
    {"Wrap length", &FormatOptions::wrap_length, 80},
};

constexpr int FormatOptions::*kFields[12] = {
    &FormatOptions::alignment,           &FormatOptions::wrap_enabled,
    &FormatOptions::wrap_length,         &FormatOptions::multi_item,
    &FormatOptions::newline_on_select,   &FormatOptions::newline_after_select,
    &FormatOptions::interval,            &FormatOptions::and_or_position,
    &FormatOptions::starting_indentation, &FormatOptions::keyword_case,
    &FormatOptions::tab_width,           &FormatOptions::match_parenthesis,
};

} // namespace

const char *const kOptionFieldNames[12] = {
    "alignment",           "wrap_enabled", "wrap_length",          "multi_item",
    "newline_on_select",   "newline_after_select", "interval",     "and_or_position",
    "starting_indentation", "keyword_case", "tab_width",           "match_parenthesis",
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
    for (const LayoutExtra &e : kLayoutExtras)
        options.*e.field = profile.get_int(kLayoutExtrasSection, e.key, 0) != 0 ? 1 : 0;
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
    // A profile that never had layout extras gets their section only once one is on.
    bool any_extra = false;
    for (const LayoutExtra &e : kLayoutExtras)
        any_extra = any_extra || options.*e.field != 0 || profile.get_string(kLayoutExtrasSection, e.key);
    if (any_extra) {
        for (const LayoutExtra &e : kLayoutExtras)
            profile.set_int(kLayoutExtrasSection, e.key, options.*e.field != 0 ? 1 : 0);
    }
    return profile.save(path, error) ? 0 : -1;
}

int *option_field(FormatOptions &options, const std::string &name)
{
    for (int i = 0; i < 12; ++i) {
        if (name == kOptionFieldNames[i])
            return &(options.*kFields[i]);
    }
    for (const LayoutExtra &e : kLayoutExtras) {
        if (name == e.name)
            return &(options.*e.field);
    }
    return nullptr;
}

void set_layout_extras(FormatOptions &options, bool on)
{
    for (const LayoutExtra &e : kLayoutExtras)
        options.*e.field = on && e.modern ? 1 : 0;
}

bool is_modern_style(const FormatOptions &options)
{
    for (const LayoutExtra &e : kLayoutExtras) {
        if (e.modern && options.*e.field == 0)
            return false;
    }
    return true;
}

bool apply_style(FormatOptions &options, const std::string &style)
{
    if (style != "modern" && style != "classic")
        return false;
    set_layout_extras(options, style == "modern");
    return true;
}

} // namespace prax
