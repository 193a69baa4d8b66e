// Token text operations: blank stripping and squeezing, keyword case, and the
// keyword_list lookup of the aliased-item rule. Case folding is ASCII only:
// bytes 128-255 are never letters, whatever the locale.
#include "engine/textops.h"

#include <string_view>

#include "engine/options.h"

namespace prax {

namespace {

inline char ascii_upper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

inline char ascii_lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// The words that may not begin a list item with an alias: "FROM t, u" must
// keep FROM a clause keyword, "x AS b, c" must keep AS a keyword.
constexpr std::string_view kKeywordList[] = {
    "AS",       "OF",    "SELECT", "UPDATE", "FETCH",  "WHERE",  "SET",    "HAVING",
    "TABLE",    "VALUES", "ON",    "INTO",   "INSERT", "AND",    "OR",     "DISTINCT",
    "UNIQUE",   "ALL",   "ANY",    "EXISTS", "TO",     "CREATE", "INDEX",  "VIEW",
    "FROM",     "DELETE", "UNION", "ORDER",  "GROUP",
};
constexpr int kLongestKeyword = 8; // DISTINCT

} // namespace

int strip_blanks(char *text, int len)
{
    // Most texts hold no white space: nothing moves then.
    int out = 0;
    while (out < len && !is_space_char(static_cast<unsigned char>(text[out])))
        ++out;
    for (int i = out; i < len; ++i) {
        if (!is_space_char(static_cast<unsigned char>(text[i])))
            text[out++] = text[i];
    }
    return out;
}

int squeeze_blanks(char *text, int len)
{
    int out = 0;
    bool in_run = true; // leading white space is dropped
    for (int i = 0; i < len; ++i) {
        if (is_space_char(static_cast<unsigned char>(text[i]))) {
            if (!in_run)
                text[out++] = ' ';
            in_run = true;
        } else {
            text[out++] = text[i];
            in_run = false;
        }
    }
    return out;
}

void apply_keyword_case(char *text, int len)
{
    const int mode = format_options.keyword_case;
    if (mode == 1)
        return;
    for (int i = 0; i < len; ++i)
        text[i] = mode == 0 ? ascii_upper(text[i]) : ascii_lower(text[i]);
}

int is_keyword(const char *word, int len)
{
    // A word longer than the longest entry cannot be one; no need to look.
    if (len <= 0 || len > kLongestKeyword)
        return 0;
    for (std::string_view entry : kKeywordList) {
        if (static_cast<int>(entry.size()) != len)
            continue;
        int i = 0;
        while (i < len && ascii_upper(word[i]) == entry[i])
            ++i;
        if (i == len)
            return 1;
    }
    return 0;
}

bool first_word_is_keyword(const char *text, int len)
{
    int word = 0;
    while (word < len && !is_space_char(static_cast<unsigned char>(text[word])))
        ++word;
    return is_keyword(text, word) != 0;
}

} // namespace prax
