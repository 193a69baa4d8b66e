// Profile resolution for each input: see profiles.h.
#include "cli/profiles.h"

#include <cerrno>
#include <cstdlib>
#include <map>

namespace prax::cli {

namespace {

std::string line(const std::string &file, const std::string &text)
{
    return std::string(kProgram) + ": " + file + ": " + text + "\n";
}

// Options read from one profile path, read once per run.
struct LoadedProfile {
    FormatOptions options = load_default_format_options();
    std::string warning; // set when the profile could not be used
    bool warned = false;
};

} // namespace

std::string apply_setting(FormatOptions &options, const std::string &setting)
{
    const std::size_t eq = setting.find('=');
    const OptionInfo *info = eq == std::string::npos ? nullptr : find_option(setting.substr(0, eq));
    if (!info)
        return "unknown option setting '" + setting + "'";
    const std::string value = setting.substr(eq + 1);
    const std::string range = std::to_string(info->low) + " to " + std::to_string(info->high);
    char *end = nullptr;
    errno = 0;
    const long long n = std::strtoll(value.c_str(), &end, 10);
    if (value.empty() || *end != '\0' || value[0] == ' ')
        return "option setting '" + setting + "' needs an integer value (" + range + ")";
    if (errno == ERANGE || n < info->low || n > info->high)
        return "option setting '" + setting + "': the value is out of range; " + info->name + " takes " + range;
    options.*info->field = static_cast<int>(n);
    return std::string();
}

int plan_inputs(const Arguments &args, const std::vector<std::string> &names, std::vector<InputPlan> &plans)
{
    FormatOptions explicit_options = load_default_format_options();
    if (!args.profile.empty()) {
        std::string error;
        switch (read_profile(args.profile, explicit_options, &error)) {
        case ProfileStatus::kRead: break;
        case ProfileStatus::kMissing: report(args.profile, "no such profile"); return kExitUsage;
        case ProfileStatus::kUnusable: report(args.profile, "cannot use this profile: " + error); return kExitUsage;
        }
    }
    FormatOptions checked = load_default_format_options(); // each setting is tested once, here
    for (const std::string &setting : args.settings) {
        if (std::string error = apply_setting(checked, setting); !error.empty()) {
            report(error);
            return kExitUsage;
        }
    }

    std::map<std::string, LoadedProfile> loaded;
    // The profile depends only on the input's folder: looked up once per
    // folder, not once per file (each lookup tests every folder up to the root).
    std::map<std::string, std::string> profile_of_folder;
    plans.clear();
    plans.reserve(names.size());
    for (const std::string &name : names) {
        InputPlan plan;
        plan.name = name;
        const bool is_stdin = name == "-";
        const std::string stands_for = is_stdin ? args.stdin_filepath : name;
        plan.shown_name = is_stdin ? (args.stdin_filepath.empty() ? "<stdin>" : args.stdin_filepath) : name;
        plan.host_source = is_host_source_path(stands_for);

        std::string used;
        if (args.no_profile) {
            plan.options = load_default_format_options();
            used = "the built-in defaults (--no-profile)";
        } else if (!args.profile.empty()) {
            plan.options = explicit_options;
            used = "profile " + args.profile;
        } else {
            const std::size_t slash = stands_for.rfind('/');
            const std::string folder = slash == std::string::npos ? std::string() : stands_for.substr(0, slash + 1);
            auto [known, first] = profile_of_folder.try_emplace(folder);
            if (first)
                known->second = profile_for(stands_for);
            const std::string &path = known->second;
            auto [it, fresh] = loaded.try_emplace(path);
            LoadedProfile &profile = it->second;
            if (fresh && !path.empty()) {
                std::string error;
                if (read_profile(path, profile.options, &error) == ProfileStatus::kUnusable)
                    profile.warning = "cannot use this profile (" + error + "); using the built-in defaults";
            }
            if (!profile.warning.empty() && !profile.warned && args.verbosity >= 1) {
                plan.notes += line(path, profile.warning);
                profile.warned = true;
            }
            plan.options = profile.options;
            used = path.empty() || !profile.warning.empty() ? "the built-in defaults" : "profile " + path;
        }
        if (args.verbosity >= 2)
            plan.notes += line(plan.shown_name, "using " + used);
        if (!args.style.empty())
            apply_style(plan.options, args.style); // before --option, which may refine it
        for (const std::string &setting : args.settings)
            apply_setting(plan.options, setting);
        plans.push_back(std::move(plan));
    }
    return -1;
}

} // namespace prax::cli
