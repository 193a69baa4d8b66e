// The formatting options: one process-wide record that every engine run reads.
// The editor owns it (the Options dialog edits it, OK/Save writes it to the
// profile); the engine only reads it, except that formatting host-language text
// stores the column of each EXEC SQL into starting_indentation.
#pragma once

#include <string>

namespace prax {

// The layout extras, one X(field, "Profile Key", in_modern_style) per option,
// in dialog order. Every one is off (0) by default and leaves the classic
// layout byte for byte. The modern style sets all but list_per_line, which is
// a choice of list density like multi_item: the modern style keeps short
// SELECT lists on one line ("SELECT     o.id, c.name").
//
//   trim_trailing_blanks  "SELECT a \n" -> "SELECT a\n"; the separating line is empty
//   statement_reset       each statement starts at the left edge; one empty line between
//                         statements, none before the first; "COMMIT;" not "COMMIT     ;"
//   set_operators         UNION [ALL|DISTINCT], EXCEPT, INTERSECT, MINUS alone on a line at
//                         the left edge; the SELECT after it starts a layout there
//   with_clauses          WITH [RECURSIVE] is a statement keyword; one CTE per line; the
//                         main SELECT at the left edge
//   join_clauses          [NATURAL] [INNER|LEFT|RIGHT|FULL|CROSS] [OUTER] JOIN is a clause
//                         keyword like FROM; its ON stays in the flow
//   keywords_in_parens    "over (partition by a order by b)", "extract(year from d)": clause
//                         keywords inside a parenthesis that opens no subquery stay in the flow
//   case_layout           WHEN/ELSE on lines of their own, 4 columns past CASE; END under CASE
//   between_and           "BETWEEN 1 AND 2" stays on one line
//   compact_operators     "count(*)", "t.*", "-1" rather than "count( * )", "t. * ", "- 1"
//   keep_punctuation      a wrap never starts a line with ",", ";" or ")"
//   all_keyword_case      keyword_case also for JOIN, CASE, WHEN, LIMIT, OVER, IS, ...
//   list_per_line         one item per line in clause-level lists (SELECT list, VALUES
//                         rows, CREATE TABLE columns), never inside a function's parentheses
//   step_indent           indentation steps by 4: a subquery starts on a new line 4 columns
//                         right of the enclosing keyword field, its ")" alone at that
//                         field's edge; lines begun inside other parentheses go 4 columns
//                         past the enclosing indentation, and their ")" stays in the flow:
//                           WHERE      b IN (
//                               SELECT     c
//                               FROM       u
//                           );
#define PRAX_LAYOUT_EXTRAS(X)                                 \
    X(trim_trailing_blanks, "Trim Trailing Blanks", true)     \
    X(statement_reset, "Statement Reset", true)               \
    X(set_operators, "Set Operators", true)                   \
    X(with_clauses, "With Clauses", true)                     \
    X(join_clauses, "Join Clauses", true)                     \
    X(keywords_in_parens, "Keywords In Parens", true)         \
    X(case_layout, "Case Layout", true)                       \
    X(between_and, "Between And", true)                       \
    X(compact_operators, "Compact Operators", true)           \
    X(keep_punctuation, "Keep Punctuation", true)             \
    X(all_keyword_case, "All Keyword Case", true)             \
    X(list_per_line, "List Per Line", false)                  \
    X(step_indent, "Step Indent", true)

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

    // ---- Layout extras: the modern layout, each 0 (off, the classic layout) or 1. ----
    // Profile section "Layout Extras"; "--style modern" sets them all.
#define PRAX_LAYOUT_EXTRA_FIELD(field, key, modern) int field = 0;
    PRAX_LAYOUT_EXTRAS(PRAX_LAYOUT_EXTRA_FIELD)
#undef PRAX_LAYOUT_EXTRA_FIELD
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

// Field access by name ("alignment", "wrap_length", ..., and the layout
// extras' names), for command-line and test use. Returns nullptr for an
// unknown name.
int *option_field(FormatOptions &options, const std::string &name);
// The twelve classic field names in record order.
extern const char *const kOptionFieldNames[12];

// Profile section of the layout extras; the classic section stays as it was.
inline constexpr const char *kLayoutExtrasSection = "Layout Extras";
// One layout extra: its field name (as --option takes it), profile key, field,
// and whether the modern style sets it.
struct LayoutExtra {
    const char *name;
    const char *key;
    int FormatOptions::*field;
    bool modern;
};
#define PRAX_LAYOUT_EXTRA_ENTRY(field, key, modern) LayoutExtra{#field, key, &FormatOptions::field, modern},
inline constexpr LayoutExtra kLayoutExtras[] = {PRAX_LAYOUT_EXTRAS(PRAX_LAYOUT_EXTRA_ENTRY)};
#undef PRAX_LAYOUT_EXTRA_ENTRY

// "--style modern", the "Modern layout" box: sets every extra of the modern
// style (all but list_per_line); off clears every layout extra.
void set_layout_extras(FormatOptions &options, bool on);
// True when every extra of the modern style is set.
bool is_modern_style(const FormatOptions &options);
// "modern" sets the modern style's extras, "classic" clears every extra;
// false for any other name.
bool apply_style(FormatOptions &options, const std::string &style);

} // namespace prax
