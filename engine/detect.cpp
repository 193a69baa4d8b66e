// The detection pass by hand. It walks the input token by token as the
// scanner would in its detection condition (longest match, the lower rule on
// a tie), and for every token it also knows how far the scanner would have to
// look ahead: the longest prefix that some detection pattern could still
// extend. The scanner examines one byte beyond that prefix, and it cannot
// hold 16,384 bytes of one attempt, so a prefix of 16,383 bytes or more is
// its buffer overflow, wherever the reads fall:
//   FROM, then 20,000 blanks          -> overflow (FROM WS+ could go on)
//   /* never closed, 16,383 bytes     -> overflow; shorter: "/" is one byte
//   'never closed, shorter            -> "'" is one byte, scanning goes on
//   -- and a line of 16,383 bytes     -> overflow (the comment runs to the line feed)
#include "engine/detect.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <initializer_list>

namespace prax {

namespace {

constexpr std::size_t kOverflowAt = 16383; // look-ahead the scanner cannot hold
constexpr std::size_t kLookAhead = kOverflowAt + 64; // held from every token's start
constexpr const char *kOverflow = "input buffer overflow, can't enlarge buffer because scanner uses REJECT";
constexpr const char *kReadFailed = "input in flex scanner failed";

// What a byte may begin in the detection condition.
enum Kind : unsigned char {
    kPlain,   // only "any one character"
    kSpace,   // white space: blank, tab, form feed, carriage return, line feed
    kSlash,   // a block comment
    kHyphen,  // a line comment
    kQuote,   // a quoted literal
    kKeyword, // EXEC SQL, INSERT INTO, or a statement keyword
};

struct KindTable {
    Kind kind[256] = {};
    constexpr KindTable()
    {
        for (unsigned char c : {' ', '\t', '\f', '\r', '\n'})
            kind[c] = kSpace;
        kind[static_cast<unsigned char>('/')] = kSlash;
        kind[static_cast<unsigned char>('-')] = kHyphen;
        kind[static_cast<unsigned char>('\'')] = kQuote;
        kind[static_cast<unsigned char>('"')] = kQuote;
        for (unsigned char c : {'C', 'E', 'F', 'I', 'S', 'U', 'W'}) {
            kind[c] = kKeyword;
            kind[c + ('a' - 'A')] = kKeyword;
        }
    }
};
constexpr KindTable kKinds;

inline bool is_space(unsigned char c)
{
    return kKinds.kind[c] == kSpace;
}

// Large reads, with every attempt's look-ahead in one piece: before a token is
// examined the window holds kLookAhead bytes from its start, or all that
// remain of the input.
class Window {
public:
    void reset(std::FILE *in)
    {
        in_ = in;
        end_ = 0;
        eof_ = false;
    }

    // Makes the look-ahead of a token at pos available; returns the new pos
    // (the buffered text moves to the front). False after a read error.
    bool fill(std::size_t &pos)
    {
        if (eof_ || end_ - pos >= kLookAhead)
            return true;
        std::memmove(buf_, buf_ + pos, end_ - pos);
        end_ -= pos;
        pos = 0;
        while (!eof_ && end_ < sizeof buf_) {
            errno = 0;
            const std::size_t n = fread_unlocked(buf_ + end_, 1, sizeof buf_ - end_, in_);
            end_ += n;
            if (n == 0) {
                if (std::ferror(in_)) {
                    if (errno != EINTR)
                        return false;
                    std::clearerr(in_);
                } else {
                    eof_ = true;
                }
            }
        }
        return true;
    }

    const unsigned char *data() const { return buf_; }
    std::size_t end() const { return end_; }
    bool at_eof() const { return eof_; }

private:
    std::FILE *in_ = nullptr;
    unsigned char buf_[(1 << 16) + kLookAhead];
    std::size_t end_ = 0;
    bool eof_ = false;
};

inline unsigned char upper(unsigned char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - ('a' - 'A')) : c;
}

// True when `word` (upper case) stands at p, in any case.
bool word_at(const unsigned char *s, std::size_t p, std::size_t end, const char *word)
{
    for (; *word; ++word, ++p) {
        if (p >= end || upper(s[p]) != static_cast<unsigned char>(*word))
            return false;
    }
    return true;
}

// White-space bytes from p, counted up to the overflow limit.
std::size_t space_run(const unsigned char *s, std::size_t p, std::size_t end)
{
    std::size_t n = 0;
    while (p + n < end && n <= kOverflowAt && is_space(s[p + n]))
        ++n;
    return n;
}

// How the token at a position ends: its length, and how far the scanner
// looks ahead to find it.
struct Attempt {
    std::size_t length = 1; // "any one character" unless a longer rule matches
    std::size_t look_ahead = 1;
    enum { kOther, kExecSql, kStatement } meaning = kOther;
};

// A block comment: "/*", then body bytes, where "*" takes the byte after it
// unless that byte is "/", which ends the comment.
Attempt comment_at(const unsigned char *s, std::size_t p, std::size_t end)
{
    Attempt a;
    std::size_t i = p + 2;
    while (i < end && i - p <= kOverflowAt) {
        if (s[i] != '*') {
            ++i;
        } else if (i + 1 < end && s[i + 1] == '/') {
            a.length = a.look_ahead = i + 2 - p;
            return a;
        } else {
            i += 2;
        }
    }
    a.look_ahead = (i < end ? i : end) - p; // never closed: "/" alone
    return a;
}

// Two hyphens and a blank, tab, CR, slash or quote: a comment to the line
// feed (not included), or to the end of the input.
Attempt line_comment_at(const unsigned char *s, std::size_t p, std::size_t end)
{
    Attempt a;
    if (p + 2 >= end || s[p + 1] != '-')
        return a;
    switch (s[p + 2]) {
    case ' ': case '\t': case '\r': case '/': case '\'': case '"': break;
    default: return a;
    }
    const std::size_t limit = std::min(end, p + kOverflowAt + 1);
    const void *line_feed = std::memchr(s + p, '\n', limit - p);
    const std::size_t stop = line_feed ? static_cast<std::size_t>(static_cast<const unsigned char *>(line_feed) - s) : limit;
    a.length = a.look_ahead = stop - p;
    return a;
}

// A quoted literal: (plain | doubled quote | backslash units then plain)*,
// backslash units, closing quote; a backslash unit is a backslash with an
// optional quote after it. Followed with the four places the pattern can
// stand in after each byte: `open` in the body where a doubled quote may
// begin, `half` after the first quote of a doubled one, `unit` right after a
// backslash, `units` after a backslash and its quote. The literal is the
// longest match; the look-ahead ends where no place is left.
Attempt literal_at(const unsigned char *s, std::size_t p, std::size_t end)
{
    Attempt a;
    const unsigned char quote = s[p];
    bool open = true, half = false, unit = false, units = false;
    std::size_t j = p + 1;
    for (; j < end && j - p <= kOverflowAt; ++j) {
        const unsigned char c = s[j];
        const bool q = c == quote, backslash = c == '\\', plain = !q && !backslash;
        const bool closes = q && (open || unit || units);
        if (closes)
            a.length = j + 1 - p;
        const bool next_open = ((open || unit || units) && plain) || (half && q);
        const bool next_half = open && q;
        const bool next_unit = (open || unit || units) && backslash;
        const bool next_units = unit && q;
        open = next_open;
        half = next_half;
        unit = next_unit;
        units = next_units;
        if (!(open || half || unit || units)) {
            a.look_ahead = (closes ? j + 1 : j) - p;
            return a;
        }
    }
    a.look_ahead = j - p; // at the end of the input, or beyond the limit
    return a;
}

// EXEC WS+ SQL, INSERT WS+ INTO, and CREATE, FROM, SELECT, UPDATE or WHERE
// followed by WS+ and one more byte that is not "(" (the last blank serves
// when "(" follows: "SELECT  (" counts, "SELECT (" does not). That one more
// byte is given back: it may begin a comment or a literal ("where 'a'").
Attempt keyword_at(const unsigned char *s, std::size_t p, std::size_t end)
{
    Attempt a;
    const char *word = nullptr;
    const char *second = nullptr;
    switch (upper(s[p])) {
    case 'C': word = "CREATE"; break;
    case 'E': word = "EXEC"; second = "SQL"; break;
    case 'F': word = "FROM"; break;
    case 'I': word = "INSERT"; second = "INTO"; break;
    case 'S': word = "SELECT"; break;
    case 'U': word = "UPDATE"; break;
    case 'W': word = "WHERE"; break;
    default: return a;
    }
    if (!word_at(s, p, end, word))
        return a;
    const std::size_t w = std::strlen(word);
    const std::size_t spaces = space_run(s, p + w, end);
    if (spaces == 0)
        return a;
    const std::size_t next = p + w + spaces;
    if (second) {
        std::size_t k = 0;
        while (second[k] && next + k < end && upper(s[next + k]) == static_cast<unsigned char>(second[k]))
            ++k;
        a.look_ahead = w + spaces + k;
        if (second[k] == '\0') {
            a.length = a.look_ahead;
            a.meaning = word[0] == 'E' ? Attempt::kExecSql : Attempt::kStatement;
        }
        return a;
    }
    // The match ends with the byte after the blanks, or with the last blank
    // when "(" follows; that last byte is given back to the next token.
    if (next < end && s[next] != '(') {
        a.look_ahead = w + spaces + 1;
        a.length = w + spaces;
        a.meaning = Attempt::kStatement;
    } else {
        a.look_ahead = w + spaces;
        if (spaces >= 2) {
            a.length = w + spaces - 1;
            a.meaning = Attempt::kStatement;
        }
    }
    return a;
}

// Skips the bytes that can only be tokens of one byte with a look-ahead of
// one: those of no other rule, a lone white-space byte, a keyword's first
// letter without the keyword's second letter behind it ("customer").
// Returns the first byte that needs a closer look, or end.
std::size_t skip_one_byte_tokens(const unsigned char *s, std::size_t pos, std::size_t end)
{
    // The second letter of the keyword that a first letter begins, lower case.
    static constexpr struct SecondLetters {
        unsigned char of[256] = {};
        constexpr SecondLetters()
        {
            const char *words[] = {"create", "exec", "from", "insert", "select", "update", "where"};
            for (const char *w : words) {
                of[static_cast<unsigned char>(w[0])] = static_cast<unsigned char>(w[1]);
                of[static_cast<unsigned char>(w[0] - ('a' - 'A'))] = static_cast<unsigned char>(w[1]);
            }
        }
    } kSecond;
    for (; pos + 1 < end; ++pos) {
        const Kind kind = kKinds.kind[s[pos]];
        if (kind == kPlain)
            continue;
        // A letter or'ed with 0x20 is its lower case; no other byte gives a letter's.
        if (kind == kKeyword && (s[pos + 1] | 0x20) != kSecond.of[s[pos]])
            continue;
        if (kind == kSpace && !is_space(s[pos + 1]))
            continue;
        return pos;
    }
    return pos < end && kKinds.kind[s[pos]] == kPlain ? end : pos;
}

} // namespace

Detection detect_sql(std::FILE *input)
{
    Detection result;
    static Window win; // one per process, like the scanner's buffer
    win.reset(input);
    std::size_t pos = 0;
    for (;;) {
        if (!win.fill(pos)) {
            result.mode = DetectedMode::Failed;
            result.failure = kReadFailed;
            return result;
        }
        const unsigned char *s = win.data();
        const std::size_t end = win.end();
        pos = skip_one_byte_tokens(s, pos, end);
        if (pos == end) {
            if (win.at_eof())
                break;
            continue;
        }
        Attempt a;
        switch (kKinds.kind[s[pos]]) {
        case kSpace:
            a.length = a.look_ahead = space_run(s, pos, end);
            break;
        case kSlash:
            if (pos + 1 < end && s[pos + 1] == '*')
                a = comment_at(s, pos, end);
            break;
        case kHyphen: a = line_comment_at(s, pos, end); break;
        case kQuote: a = literal_at(s, pos, end); break;
        case kKeyword: a = keyword_at(s, pos, end); break;
        case kPlain: break;
        }
        if (a.look_ahead >= kOverflowAt) {
            result.mode = DetectedMode::Failed;
            result.failure = kOverflow;
            return result;
        }
        if (a.meaning == Attempt::kExecSql) {
            result.mode = DetectedMode::Embedded;
            return result;
        }
        if (a.meaning == Attempt::kStatement)
            result.sql_seen = true;
        pos += a.length;
    }
    result.mode = result.sql_seen ? DetectedMode::PureSql : DetectedMode::NoSql;
    return result;
}

} // namespace prax
