// prax-format: the formatting engine on the command line.
//
//   prax-format [--no-profile | --profile FILE] [--option NAME=VALUE]... [INPUT [OUTPUT]]
//   prax-format [options] --in-place FILE...     format each file in place, keeping a backup
//   prax-format [options] --job-list LIST.lis    the same for the entries of a job list
//   prax-format [options] --check FILE...        name each file whose formatting would change
//
// INPUT and OUTPUT are paths; "-" or none means standard input / output (the
// text then goes through temporary files, since the engine works file to file).
// Status messages go to standard error as the engine shows them; standard
// output carries only formatted text.
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "app/dialogs/batch_core.h"
#include "engine/engine.h"
#include "engine/options.h"
#include "engine/tempfile.h"

namespace {

constexpr const char *kProgram = "prax-format";

// Exit status: 0 formatted; 1 the engine could not format; 2 usage or scanner limit.
int exit_status(int result)
{
    switch (result) {
    case prax::kFormatOk: return 0;
    case prax::kScannerFailed: return 2;
    default: return 1;
    }
}

const char *describe(int result)
{
    switch (result) {
    case prax::kInputNotOpened: return "cannot open the input for reading";
    case prax::kOutputFailed: return "cannot write the output";
    case prax::kNoSqlFound: return "no SQL statements found";
    case prax::kScannerFailed: return "a token exceeds the scanner's 16,383-character limit";
    default: return "formatting failed";
    }
}

bool copy_stream(std::FILE *from, std::FILE *to)
{
    char chunk[1 << 16];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, from)) > 0) {
        if (std::fwrite(chunk, 1, n, to) != n)
            return false;
    }
    return !std::ferror(from) && std::fflush(to) == 0;
}

// A temporary file that is removed when it goes out of scope.
struct TempFile {
    std::string path;
    bool ok = prax::create_temp_file(path);
    ~TempFile()
    {
        if (ok)
            std::remove(path.c_str());
    }
};

// Sets options from "NAME=VALUE" settings; returns an error text or "".
std::string apply_settings(prax::FormatOptions &options, const std::vector<std::string> &settings)
{
    for (const std::string &setting : settings) {
        const std::size_t eq = setting.find('=');
        int *field = eq == std::string::npos ? nullptr : prax::option_field(options, setting.substr(0, eq));
        if (!field)
            return "unknown option setting '" + setting + "'";
        try {
            std::size_t used = 0;
            const std::string value = setting.substr(eq + 1);
            const int n = std::stoi(value, &used);
            if (used != value.size())
                throw std::invalid_argument(value);
            *field = n;
        } catch (const std::exception &) {
            return "option setting '" + setting + "' needs an integer value";
        }
    }
    return std::string();
}

int format_one(const std::string &input, const std::string &output)
{
    TempFile temp_in, temp_out;
    std::string in_path = input, out_path = output;
    if (input == "-") {
        std::FILE *f = temp_in.ok ? std::fopen(temp_in.path.c_str(), "wb") : nullptr;
        const bool copied = f && copy_stream(stdin, f);
        if (!f || std::fclose(f) != 0 || !copied) {
            std::cerr << kProgram << ": cannot buffer standard input\n";
            return 1;
        }
        in_path = temp_in.path;
    }
    if (output == "-") {
        if (!temp_out.ok) {
            std::cerr << kProgram << ": cannot create a temporary file\n";
            return 1;
        }
        out_path = temp_out.path;
    }

    const int result = prax::format_file(in_path.c_str(), out_path.c_str());
    if (result != prax::kFormatOk) {
        std::cerr << kProgram << ": " << (input == "-" ? "<stdin>" : input) << ": " << describe(result) << "\n";
        return exit_status(result);
    }
    if (output == "-") {
        std::FILE *f = std::fopen(out_path.c_str(), "rb");
        const bool copied = f && copy_stream(f, stdout);
        if (f)
            std::fclose(f);
        if (!copied) {
            std::cerr << kProgram << ": cannot write standard output\n";
            return 1;
        }
    }
    return 0;
}

// Reports one file of a batch on standard error.
void report_file(const std::string &file, int result)
{
    if (result == prax::kCheckDiffers)
        std::cerr << kProgram << ": " << file << ": formatting would change it\n";
    else
        std::cerr << kProgram << ": " << file << ": " << prax::batch_result_text(result) << "\n";
}

} // namespace

int main(int argc, char **argv)
{
    CLI::App app{"Formats SQL text, or the EXEC SQL statements embedded in C and COBOL source.", kProgram};
    std::string input = "-", output = "-", profile;
    std::vector<std::string> settings;
    bool no_profile = false;
    std::vector<std::string> in_place, check;
    std::string job_list;
    std::string style;

    app.add_option("INPUT", input, "File to format (\"-\" or none: standard input)");
    app.add_option("OUTPUT", output, "File to write (\"-\" or none: standard output)");
    auto *profile_opt = app.add_option("--profile", profile,
                                       "Read the formatting options from this profile (default: " +
                                           prax::default_profile_path() + ", when it exists)");
    app.add_flag("--no-profile", no_profile, "Ignore every profile; use the built-in defaults")
        ->excludes(profile_opt);
    app.add_option("--option", settings,
                   "Set one option by field name, e.g. --option interval=4; repeatable. Fields: "
                   "alignment, wrap_enabled, wrap_length, multi_item, newline_on_select, "
                   "newline_after_select, interval, and_or_position, starting_indentation, "
                   "keyword_case, tab_width, match_parenthesis")
        ->type_name("NAME=VALUE")
        ->allow_extra_args(false);
    app.add_option("--style", style,
                   "\"modern\" turns the layout extras on (trim_trailing_blanks, statement_reset, "
                   "set_operators, with_clauses, join_clauses, keywords_in_parens, case_layout, "
                   "between_and, compact_operators, keep_punctuation, all_keyword_case, "
                   "step_indent; list_per_line only by --option); \"classic\" turns every extra "
                   "off. --option settings apply after it")
        ->check(CLI::IsMember({"modern", "classic"}));
    auto *in_place_opt = app.add_option("--in-place", in_place,
                                        "Format each FILE in place, keeping its previous text as a backup "
                                        "(last character replaced by \"~\", or \".~\" appended)")
                             ->type_name("FILE...");
    auto *job_list_opt = app.add_option("--job-list", job_list,
                                        "Format the files of a job list (.lis) in place, last entry first")
                             ->type_name("LIST");
    auto *check_opt = app.add_option("--check", check,
                                     "Write nothing; exit 1 naming each FILE whose formatting would change")
                          ->type_name("FILE...");
    in_place_opt->excludes(job_list_opt)->excludes(check_opt);
    job_list_opt->excludes(check_opt);
    app.set_version_flag("--version", std::string(kProgram) + " 1.1");
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError &e) {
        const int code = app.exit(e); // prints help, version or the error
        return code == 0 ? 0 : 2;
    }

    prax::FormatOptions options = prax::load_default_format_options();
    if (!no_profile) {
        const std::string path = profile.empty() ? prax::default_profile_path() : profile;
        if (!profile.empty() && !std::filesystem::exists(profile)) {
            std::cerr << kProgram << ": " << profile << ": no such profile\n";
            return 2;
        }
        prax::load_format_options(path, options);
    }
    if (!style.empty())
        prax::apply_style(options, style);
    if (std::string error = apply_settings(options, settings); !error.empty()) {
        std::cerr << kProgram << ": " << error << "\n";
        return 2;
    }
    prax::format_options = options;
    prax::set_status_hook([](std::string_view text) { std::cerr << text << std::flush; });
    if (!in_place.empty() || !job_list.empty() || !check.empty()) {
        if (input != "-" || output != "-") {
            std::cerr << kProgram << ": INPUT and OUTPUT do not go with --in-place, --job-list or --check\n";
            return 2;
        }
        int failed;
        if (!in_place.empty())
            failed = prax::format_files_in_place(in_place, report_file);
        else if (!job_list.empty())
            failed = prax::format_job_list_in_place(job_list, report_file);
        else
            failed = prax::check_files(check, report_file);
        return failed ? 1 : 0;
    }
    return format_one(input, output);
}
