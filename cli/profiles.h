// Which formatting options each input of a run gets: --no-profile or
// --profile, else the project profile found up the tree from the input,
// else the per-user profile, else the built-in load defaults; --option on top.
#pragma once

#include <string>
#include <vector>

#include "cli/arguments.h"
#include "engine/engine.h"

namespace prax::cli {

struct InputPlan {
    std::string name;        // as the user named it; "-" for standard input
    std::string shown_name;  // for messages and diff headers: the name, or --stdin-filepath / "<stdin>"
    FormatOptions options;
    bool host_source = false;
    std::string notes;       // lines for standard error that come before the input's own
};

// The options of a --option NAME=VALUE setting applied to `options`. Returns
// "" or what is wrong with the setting.
std::string apply_setting(FormatOptions &options, const std::string &setting);

// Plans every input of `args` (for --job-list: `names`, the list's entries).
// Returns -1 to go on, or kExitUsage after reporting an explicit profile that
// cannot be used or a wrong --option.
int plan_inputs(const Arguments &args, const std::vector<std::string> &names, std::vector<InputPlan> &plans);

} // namespace prax::cli
