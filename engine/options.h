// The formatting options: one process-wide record that every engine run reads.
// The editor owns it (the Options dialog edits it, OK/Save writes it to the
// profile); the engine only reads it, except that formatting host-language text
// stores the column of each EXEC SQL into starting_indentation.
#pragma once

#include <string>

namespace prax {

// The layout extras: the last rows of the option table below, in dialog
// order, with their keys in the profile section "Layout Extras". Every one is
// off (0) by default and leaves the classic layout byte for byte. The modern style sets all but list_per_line, which is
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
//   keep_punctuation      a wrap never starts a line with ",", ";" or ")": the token before
//                         moves down with what is glued to it ("min(a.b),", "x::int,")
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
//                         parentheses opened on one line step once; a SELECT behind
//                         another statement keyword (INSERT INTO t (a) SELECT) takes the
//                         statement's field on a new line, one inside other parentheses
//                         begins a line at their indentation; CREATE TABLE's column list
//                         begins the next line 4 columns in, its ")" at the edge; WHEN,
//                         ELSE and END go by the line's indentation, not by CASE; a
//                         comment that would pass the wrap length begins its own line

// The option table: every option once, in record order. Everything that names
// an option (the record's fields, the profile keys and their order, the load
// defaults, the command line's --option names, ranges and help) comes from here.
//
//   X(field, profile key or nullptr, profile order (-1: no key; kExtraModern,
//     kExtraOnly: a layout extra, its key in "Layout Extras"), load default,
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
      "1: a closing parenthesis on a later line goes on a line of its own under the opening one")      \
    X(trim_trailing_blanks, "Trim Trailing Blanks", kExtraModern, 0, 0, 0, 1,                          \
      "1: no blank at a line end, no line holding only a blank")                                       \
    X(statement_reset, "Statement Reset", kExtraModern, 0, 0, 0, 1,                                    \
      "1: every statement at the left edge, one empty line between statements")                        \
    X(set_operators, "Set Operators", kExtraModern, 0, 0, 0, 1,                                        \
      "1: UNION [ALL], EXCEPT, INTERSECT, MINUS alone on a line; the next SELECT at the same edge")    \
    X(with_clauses, "With Clauses", kExtraModern, 0, 0, 0, 1,                                          \
      "1: WITH is a statement keyword, one CTE a line, the main SELECT at the left edge")              \
    X(join_clauses, "Join Clauses", kExtraModern, 0, 0, 0, 1,                                          \
      "1: [LEFT|RIGHT|FULL|INNER|CROSS|NATURAL] [OUTER] JOIN is a clause keyword, ON in the flow")     \
    X(keywords_in_parens, "Keywords In Parens", kExtraModern, 0, 0, 0, 1,                              \
      "1: clause keywords inside function and OVER parentheses stay in the flow")                      \
    X(case_layout, "Case Layout", kExtraModern, 0, 0, 0, 1,                                            \
      "1: WHEN and ELSE on lines of their own 4 columns past CASE, END under CASE")                    \
    X(between_and, "Between And", kExtraModern, 0, 0, 0, 1, "1: the AND of BETWEEN stays in the flow") \
    X(compact_operators, "Compact Operators", kExtraModern, 0, 0, 0, 1,                                \
      "1: count(*), t.*, -1 without inner blanks")                                                     \
    X(keep_punctuation, "Keep Punctuation", kExtraModern, 0, 0, 0, 1,                                  \
      "1: a wrap never starts a line with a comma, semicolon or closing parenthesis")                  \
    X(all_keyword_case, "All Keyword Case", kExtraModern, 0, 0, 0, 1,                                  \
      "1: keyword case also for JOIN, CASE, WHEN, LIMIT, OVER, IS and the other keywords")             \
    X(list_per_line, "List Per Line", kExtraOnly, 0, 0, 0, 1,                                          \
      "1: one item a line in clause-level lists, never inside a function's parentheses")              \
    X(step_indent, "Step Indent", kExtraModern, 0, 0, 0, 1,                                            \
      "1: subqueries and lines inside parentheses indent by 4 columns, not to the parenthesis")

// Profile orders of the layout extras: set by the modern style, or only by hand.
inline constexpr int kExtraModern = -2;
inline constexpr int kExtraOnly = -3;

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
// The field names in record order (the layout extras' last).
extern const char *const kOptionFieldNames[kOptionCount];

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
namespace detail {
struct OptionRow {
    const char *name;
    const char *key;
    int FormatOptions::*field;
    int order;
};
inline constexpr OptionRow kOptionRows[] = {
#define PRAX_OPTION_ROW(field, key, order, load, start, low, high, help) {#field, key, &FormatOptions::field, order},
    PRAX_FORMAT_OPTIONS(PRAX_OPTION_ROW)
#undef PRAX_OPTION_ROW
};
constexpr int count_layout_extras()
{
    int n = 0;
    for (const OptionRow &r : kOptionRows)
        n += r.order <= kExtraModern ? 1 : 0;
    return n;
}
} // namespace detail

// The layout extras, picked from the option table in its order.
class LayoutExtraList {
public:
    constexpr LayoutExtraList() : items_{}
    {
        int n = 0;
        for (const detail::OptionRow &r : detail::kOptionRows) {
            if (r.order <= kExtraModern)
                items_[n++] = LayoutExtra{r.name, r.key, r.field, r.order == kExtraModern};
        }
    }
    const LayoutExtra *begin() const { return items_; }
    const LayoutExtra *end() const { return items_ + detail::count_layout_extras(); }

private:
    LayoutExtra items_[detail::count_layout_extras()];
};
inline constexpr LayoutExtraList kLayoutExtras;

// "--style modern", the "Modern layout" box: sets every extra of the modern
// style (all but list_per_line); off clears every layout extra.
void set_layout_extras(FormatOptions &options, bool on);
// True when every extra of the modern style is set.
bool is_modern_style(const FormatOptions &options);
// "modern" sets the modern style's extras, "classic" clears every extra;
// false for any other name.
bool apply_style(FormatOptions &options, const std::string &style);

} // namespace prax
