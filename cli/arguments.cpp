// Parsing prax-format's command line and walking the folders it names.
#include "cli/arguments.h"

#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <thread>

#include <CLI/CLI.hpp>

#include "engine/engine.h"
#include "prax_version.h" // generated into the build tree

namespace prax::cli {

namespace {

namespace fs = std::filesystem;

std::string option_help()
{
    std::string text = "Option fields for --option NAME=VALUE (the profile key in brackets):\n";
    for (const OptionInfo &o : kOptionTable) {
        text += "  " + std::string(o.name) + " (" + std::to_string(o.low) + ".." + std::to_string(o.high) + ")";
        if (o.profile_key)
            text += " [" + std::string(o.profile_key) + "]";
        text += "\n      " + std::string(o.help) + "\n";
    }
    return text;
}

constexpr const char *kFooter =
    "Profiles: --no-profile, else --profile FILE, else the first .prax.ini in the\n"
    "input's folder or a folder above it (for standard input: the folder of\n"
    "--stdin-filepath, else the current folder), else $XDG_CONFIG_HOME/prax/prax.ini,\n"
    "else the built-in defaults; --option settings apply on top.\n"
    "\n"
    "Exit status:\n"
    "  0  done, or nothing to change\n"
    "  1  --check/--diff found changes, or an input could not be formatted\n"
    "     (unreadable input, unwritable output)\n"
    "  2  usage error, input and output the same file, a token beyond the\n"
    "     scanner's limit; with --check/--diff any error\n";

bool matches_any(const std::string &name, const std::vector<std::string> &globs)
{
    for (const std::string &glob : globs) {
        if (::fnmatch(glob.c_str(), name.c_str(), 0) == 0)
            return true;
    }
    return false;
}

// The files under `dir` whose names match `globs`, sorted, hidden folders
// skipped; symlinked folders are not entered (a link to ".." would loop).
void walk(const std::string &dir, const std::vector<std::string> &globs, std::vector<std::string> &files)
{
    std::vector<std::string> found;
    std::error_code ec;
    fs::recursive_directory_iterator it(dir, fs::directory_options::skip_permission_denied, ec);
    if (ec) {
        report(dir, ec.message());
        return;
    }
    for (; it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (ec) {
            report(dir, ec.message());
            break;
        }
        const std::string name = it->path().filename().string();
        if (it->is_directory(ec) && !it->is_symlink(ec)) {
            if (name[0] == '.')
                it.disable_recursion_pending();
            continue;
        }
        if (it->is_regular_file(ec) && matches_any(name, globs))
            found.push_back(it->path().string());
    }
    std::sort(found.begin(), found.end());
    files.insert(files.end(), found.begin(), found.end());
}

bool is_directory(const std::string &path)
{
    struct stat info;
    return path != "-" && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Checks the combinations CLI11 cannot express. Returns "" or the complaint.
std::string check_combination(const Arguments &a, bool in_place, bool lsp)
{
    const int modes = (a.check || a.diff) + in_place + !a.job_list.empty() + lsp;
    if (modes > 1)
        return "--check/--diff, --in-place, --job-list and --lsp do not go together";
    if (a.backup && !in_place)
        return "--backup goes with --in-place";
    if (!a.output.empty() && (modes > 0 || a.inputs.size() > 1))
        return "--output takes a single input and does not go with --check, --diff, --in-place or --job-list";
    if ((!a.job_list.empty() || lsp) && !a.inputs.empty())
        return std::string(lsp ? "--lsp" : "--job-list") + " takes no FILE arguments";
    if (std::count(a.inputs.begin(), a.inputs.end(), "-") > 1)
        return "standard input (\"-\") can be named only once";
    return std::string();
}

} // namespace

void report(const std::string &text)
{
    std::cerr << kProgram << ": " << text << '\n' << std::flush;
}

void report(const std::string &file, const std::string &text)
{
    std::cerr << kProgram << ": " << file << ": " << text << '\n' << std::flush;
}

int parse_arguments(int argc, char **argv, Arguments &a)
{
    CLI::App app{"Formats SQL text, or the EXEC SQL statements embedded in C and COBOL source.\n"
                 "Each FILE is formatted to standard output in order (\"-\" or none: standard\n"
                 "input); a folder stands for the *.sql files under it.",
                 kProgram};
    app.footer(option_help() + "\n" + kFooter);
    std::vector<std::string> positional, include;
    bool in_place = false, lsp = false, verbose = false, quiet = false;

    app.add_option("FILE", positional, "Input files or folders (\"-\": standard input)");
    app.add_option("-o,--output", a.output, "Write the formatted text of the single input to OUTPUT")
        ->type_name("OUTPUT");
    app.add_flag("-i,--in-place", in_place,
                 "Format each FILE in place; an already formatted file is not written, a symlink's target is");
    app.add_flag("--backup", a.backup,
                 "With --in-place: keep the previous text beside each changed file (last character of the "
                 "name replaced by \"~\", or \".~\" appended)");
    app.add_option("--job-list", a.job_list,
                   "Format the files of a job list (.lis) in place, last entry first, keeping backups")
        ->type_name("LIST");
    app.add_flag("--check", a.check,
                 "Write nothing; exit 1 naming each input whose formatting would change (\"would reformat FILE\")");
    app.add_flag("--diff", a.diff, "Write nothing but a unified diff for each input that would change; exit as --check");
    app.add_option("--include", include, "With a folder: also take files matching GLOB (repeatable; default *.sql)")
        ->type_name("GLOB")
        ->allow_extra_args(false);
    auto *profile_opt = app.add_option("--profile", a.profile, "Read the formatting options from this profile");
    app.add_flag("--no-profile", a.no_profile, "Ignore every profile; use the built-in defaults")->excludes(profile_opt);
    app.add_option("--option", a.settings, "Set one option on top of the profile, e.g. interval=4 (repeatable)")
        ->type_name("NAME=VALUE")
        ->allow_extra_args(false);
    app.add_option("--stdin-filepath", a.stdin_filepath,
                   "The file that standard input stands for: its folder's project profile, and its name "
                   "decides whether the text is host-language source")
        ->type_name("PATH");
    app.add_option("-j,--jobs", a.jobs, "Format N files at a time (default: the number of cores)")
        ->type_name("N")
        ->check(CLI::PositiveNumber);
    auto *verbose_opt = app.add_flag("-v,--verbose", verbose, "Also show notes: the engine's messages, the profile used");
    app.add_flag("-q,--quiet", quiet, "Show errors only (no warnings about the text or the profile)")->excludes(verbose_opt);
    app.add_flag("--lsp", lsp, "Run as a language server on standard input and output");
    app.set_version_flag("--version", std::string(kProgram) + " " PRAX_VERSION "\n" PRAX_LICENSE_LINE);
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp &e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion &e) {
        return app.exit(e);
    } catch (const CLI::ParseError &e) {
        report(std::string(e.what()) + " (see --help)");
        return kExitUsage;
    }

    a.verbosity = quiet ? 0 : (verbose ? 2 : 1);
    if (a.jobs == 0)
        a.jobs = std::max(1u, std::thread::hardware_concurrency());
    a.inputs = positional;
    if (std::string complaint = check_combination(a, in_place, lsp); !complaint.empty()) {
        report(complaint + " (see --help)");
        return kExitUsage;
    }
    a.mode = lsp ? Mode::kLsp
           : in_place ? Mode::kInPlace
           : !a.job_list.empty() ? Mode::kJobList
           : (a.check || a.diff) ? Mode::kCheck
                                  : Mode::kFormat;
    if (a.mode == Mode::kInPlace && positional.empty()) {
        report("--in-place needs at least one FILE (see --help)");
        return kExitUsage;
    }

    // Folders stand for the matching files under them.
    std::vector<std::string> globs = {"*.sql", "*.SQL"};
    globs.insert(globs.end(), include.begin(), include.end());
    a.inputs.clear();
    for (const std::string &arg : positional) {
        if (is_directory(arg)) {
            if (!a.output.empty()) {
                report(arg, "--output takes a file, not a folder (see --help)");
                return kExitUsage;
            }
            walk(arg, globs, a.inputs);
        } else {
            a.inputs.push_back(arg);
        }
    }
    if (positional.empty() && a.mode != Mode::kJobList && a.mode != Mode::kLsp)
        a.inputs.push_back("-");
    return -1;
}

} // namespace prax::cli
