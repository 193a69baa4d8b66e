// The formatting options: one process-wide record that every engine run reads.
// The editor owns it (the Options dialog edits it, OK/Save writes it to the
// profile); the engine only reads it, except that formatting host-language text
// stores the column of each EXEC SQL into starting_indentation.
#pragma once

#include <string>

namespace prax {

struct FormatOptions {
    // Where a clause keyword sits in the keyword field set by its statement keyword.
    //   0 left:    "SELECT a" / "FROM   t"      1 center     2 right: "SELECT a" / "  FROM t"
    int alignment;
    // 0 turns line wrapping off; no profile key or control reaches it (always 1).
    int wrap_enabled;
    // A token that would end beyond this column starts a new, indented line.
    int wrap_length;
    // 1: several list items share a line ("SELECT a, b"); 0: a line break follows every comma.
    int multi_item;
    // 1: SELECT starts a new line anchored at the enclosing item column;
    // 0: it stays where it stands. The first SELECT of a statement is anchored
    // at starting_indentation either way.
    int newline_on_select;
    // 1: a line break follows every clause keyword the layout places
    //    ("FROM\n       t"); 0: blanks up to the item column ("FROM   t").
    int newline_after_select;
    // Gap in columns between the keyword field's right edge and the items.
    int interval;
    // 0: AND/OR begin a line; 1: they end a line; 2: they stay where they fall.
    int and_or_position;
    // Column at which top-level statements begin.
    int starting_indentation;
    // 0: keywords upper case; 1: unchanged; any other value: lower case.
    int keyword_case;
    // Columns one tab character counts for (always 8).
    int tab_width;
    // 1: a closing parenthesis on a later line than its opening one goes on a
    //    line of its own under the opening one; 0: it stays in the flow.
    int match_parenthesis;
};

// Start-up values and the Options dialog's "Default" button (interval 4).
inline constexpr FormatOptions default_format_options = {
    /*alignment*/ 0, /*wrap_enabled*/ 1, /*wrap_length*/ 80, /*multi_item*/ 1,
    /*newline_on_select*/ 0, /*newline_after_select*/ 0, /*interval*/ 4,
    /*and_or_position*/ 0, /*starting_indentation*/ 0, /*keyword_case*/ 0,
    /*tab_width*/ 8, /*match_parenthesis*/ 1};

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

// Writes the ten keys into the profile at `path`, keeping every other section
// and key, replacing the file atomically. Returns 0, or -1 with `error` set.
int save_format_options(const std::string &path, const FormatOptions &options = format_options,
                        std::string *error = nullptr);

// Field access by name ("alignment", "wrap_length", ...), for command-line and
// test use. Returns nullptr for an unknown name.
int *option_field(FormatOptions &options, const std::string &name);
// The twelve field names in record order.
extern const char *const kOptionFieldNames[12];

} // namespace prax
