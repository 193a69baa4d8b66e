// The formatting options: one process-wide record that every engine run reads.
// The editor owns it (the Options dialog edits it, OK/Save writes it to the
// profile); the engine only reads it, except that formatting host-language text
// stores the column of each EXEC SQL into starting_indentation.
#pragma once

#include <string>

namespace prax {

// The option table: every option once, in record order. Everything that names
// an option (the record's fields, the profile keys and their order, the load
// defaults, the command line's --option names, ranges and help) comes from here.
//
//   X(field, profile key or nullptr, profile order (-1: no key), load default,
//     start-up default, lowest, highest command-line value, help text)
//
// The load default is what a profile without the key gives; the start-up
// default is default_format_options (the Options dialog's "Default" button).
// The command-line range is the Options dialog's; tab_width (always 8 in the
// editor) may be set to 0..16, the range a run holds it to.
#define PRAX_FORMAT_OPTIONS(X)                                                                         \
    X(alignment, "Alignment", 0, 0, 0, 0, 2,                                                           \
      "where a clause keyword sits in its keyword field: 0 left, 1 center, 2 right")                   \
    X(wrap_enabled, nullptr, -1, 1, 1, 0, 1, "0 turns line wrapping off (always 1 in the editor)")     \
    X(wrap_length, "Wrap length", 9, 80, 80, 0, 25600,                                                 \
      "a token that would end beyond this column starts a new, indented line")                         \
    X(multi_item, "Multi Item", 3, 1, 1, 0, 1,                                                         \
      "1: several list items share a line; 0: a line break follows every comma")                      \
    X(newline_on_select, "New Line On Select", 4, 0, 0, 0, 1,                                          \
      "1: SELECT starts a new line under the enclosing item column; 0: it stays where it stands")      \
    X(newline_after_select, "New Line After Select", 5, 0, 0, 0, 1,                                    \
      "1: a line break follows every clause keyword; 0: blanks up to the item column")                 \
    X(interval, "Interval", 7, 5, 4, -4, 256,                                                          \
      "gap in columns between the keyword field's right edge and the items")                           \
    X(and_or_position, "And/OR position", 2, 0, 0, 0, 2,                                               \
      "0: AND/OR begin a line; 1: they end a line; 2: they stay where they fall")                      \
    X(starting_indentation, "Starting indentation", 8, 0, 0, 0, 25600,                                 \
      "column at which top-level statements begin")                                                    \
    X(keyword_case, "Key Word Case", 1, 0, 0, 0, 2, "keywords 0 upper case, 1 unchanged, 2 lower case") \
    X(tab_width, nullptr, -1, 8, 8, 0, 16, "columns one tab character counts for (always 8 in the editor)") \
    X(match_parenthesis, "Match Parenthesis", 6, 1, 1, 0, 1,                                           \
      "1: a closing parenthesis on a later line goes on a line of its own under the opening one")

// All 32-bit signed integers, in table order; see the table's help texts.
// keyword_case is tested as: 1 unchanged, 0 upper case, any other value lower case.
struct FormatOptions {
#define PRAX_OPTION_FIELD(field, key, order, load, start, low, high, help) int field;
    PRAX_FORMAT_OPTIONS(PRAX_OPTION_FIELD)
#undef PRAX_OPTION_FIELD
};

// Start-up values and the Options dialog's "Default" button (interval 4).
inline constexpr FormatOptions default_format_options = {
#define PRAX_OPTION_START(field, key, order, load, start, low, high, help) start,
    PRAX_FORMAT_OPTIONS(PRAX_OPTION_START)
#undef PRAX_OPTION_START
};

// The values a first start with an empty profile ends up with: the load default
// of every profile key (interval 5) over default_format_options.
FormatOptions load_default_format_options();

// The process-wide record; holds default_format_options at program start.
extern FormatOptions format_options;

// Profile section and keys, in the order they are read and written.
inline constexpr const char *kOptionsSection = "Formatting Options";

// Default profile: $XDG_CONFIG_HOME/prax/prax.ini, or ~/.config/prax/prax.ini.
std::string default_profile_path();

// Reads the ten keys of "Formatting Options" from the profile at `path` into
// `options` (wrap_enabled and tab_width untouched); a missing key, a value that
// is no number, or a profile that cannot be read gives the key's load default.
void load_format_options(const std::string &path, FormatOptions &options = format_options);

// What read_profile found.
enum class ProfileStatus {
    kRead,     // the options were read (a missing key gives its load default)
    kMissing,  // no file of that name; `options` untouched
    kUnusable, // not a regular file, unreadable, over 1 MiB, or not text (a NUL
               // byte); `options` untouched and `error` says why
};

// load_format_options for callers that must tell a missing or unusable profile
// from a readable one (the command line refuses an explicit profile it cannot
// use, and warns about an implicit one).
ProfileStatus read_profile(const std::string &path, FormatOptions &options, std::string *error = nullptr);

// The project profile for files of the folder `dir`: the first ".prax.ini" in
// `dir` or any folder above it (a relative `dir` is taken from the current
// folder; "" is the current folder). Returns its path, or "" when there is none.
std::string find_project_profile(const std::string &dir);

// The profile that prax-format uses for the file at `input_path` when no
// profile is named: the project profile of the file's folder, else
// default_profile_path() when that exists, else "" (the built-in load
// defaults). For standard input pass the name it stands for, or "" for a
// text of the current folder.
std::string profile_for(const std::string &input_path);

// Writes the ten keys into the profile at `path`, keeping every other section
// and key, replacing the file atomically. Returns 0, or -1 with `error` set.
int save_format_options(const std::string &path, const FormatOptions &options = format_options,
                        std::string *error = nullptr);

// One row of the option table, for code that walks every option (the
// command line's --option and help, tests).
struct OptionInfo {
    const char *name;        // the field name: "alignment", "wrap_length", ...
    const char *profile_key; // "Alignment", ...; nullptr when no key reaches the field
    int FormatOptions::*field;
    int low, high;           // the values the command line accepts
    const char *help;
};
inline constexpr OptionInfo kOptionTable[] = {
#define PRAX_OPTION_INFO(field, key, order, load, start, low, high, help) \
    {#field, key, &FormatOptions::field, low, high, help},
    PRAX_FORMAT_OPTIONS(PRAX_OPTION_INFO)
#undef PRAX_OPTION_INFO
};
inline constexpr int kOptionCount = static_cast<int>(sizeof kOptionTable / sizeof kOptionTable[0]);

// The table row of a field name, or nullptr for an unknown name.
const OptionInfo *find_option(const std::string &name);

// Field access by name ("alignment", "wrap_length", ...), for command-line and
// test use. Returns nullptr for an unknown name.
int *option_field(FormatOptions &options, const std::string &name);
// The twelve field names in record order.
extern const char *const kOptionFieldNames[kOptionCount];

} // namespace prax
