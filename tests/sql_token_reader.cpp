// See sql_token_reader.h.
#include "tests/sql_token_reader.h"

#include <algorithm>
#include <cstring>

namespace prax::test {
namespace {

bool is_blank(unsigned char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool is_letter(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == '$' || c >= 0x80;
}

bool is_digit(unsigned char c)
{
    return c >= '0' && c <= '9';
}

unsigned char upper(unsigned char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

bool same_word(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (upper(static_cast<unsigned char>(a[i])) != upper(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

// Reads one token at text[pos] (not white space) and moves pos behind it.
class Reader {
public:
    explicit Reader(std::string_view text) : t_(text) {}

    bool at_end() { skip_blanks(); return pos_ >= t_.size(); }
    std::size_t pos() const { return pos_; }

    SqlToken next()
    {
        skip_blanks();
        const std::size_t start = pos_;
        const unsigned char c = byte(0);
        if (c == '-' && byte(1) == '-') {
            std::size_t end = t_.find('\n', pos_);
            pos_ = end == std::string_view::npos ? t_.size() : end;
            std::size_t keep = pos_;
            while (keep > start + 2 && (t_[keep - 1] == ' ' || t_[keep - 1] == '\t' || t_[keep - 1] == '\r'))
                --keep;
            return {SqlToken::Comment, std::string(t_.substr(start, keep - start)), start};
        }
        if (c == '/' && byte(1) == '*') {
            if (std::size_t end = block_comment_end(pos_ + 2); end != 0)
                return take(SqlToken::Comment, end - start);
        }
        if (c == '\'' || c == '"') {
            if (std::size_t end = quoted_end(pos_); end != 0)
                return take(c == '\'' ? SqlToken::Literal : SqlToken::QuotedName, end - start);
            return take(SqlToken::Other, 1);
        }
        if (is_digit(c) || (c == '.' && is_digit(byte(1)))) {
            std::size_t n = 0;
            while (is_digit(byte(n)))
                ++n;
            if (byte(n) == '.') {
                ++n;
                while (is_digit(byte(n)))
                    ++n;
            }
            if (upper(byte(n)) == 'E') {
                std::size_t e = n + 1;
                if (byte(e) == '+' || byte(e) == '-')
                    ++e;
                if (is_digit(byte(e))) {
                    while (is_digit(byte(e)))
                        ++e;
                    n = e;
                }
            }
            return take(SqlToken::Number, n);
        }
        if (is_letter(c)) {
            std::size_t n = 1;
            while (is_letter(byte(n)) || is_digit(byte(n)))
                ++n;
            return take(SqlToken::Name, n);
        }
        static const char *const kOperators[] = {
            "->>", "#>>", "!~*", "<=>", "!=", ">=", "^=", "<=", "<>", "-=", "->", "||", "::", ":=", "=>",
            "<<",  ">>",  "&&",  "**",  "~*", "!~", "@>", "<@", "#>",
        };
        for (const char *op : kOperators) {
            if (t_.substr(pos_).starts_with(op))
                return take(SqlToken::Operator, std::strlen(op));
        }
        if (std::strchr("!%&?~*+-./:<=>^|()[]{},;", c) && c != 0)
            return take(SqlToken::Operator, 1);
        return take(SqlToken::Other, 1);
    }

private:
    unsigned char byte(std::size_t ahead) const
    {
        return pos_ + ahead < t_.size() ? static_cast<unsigned char>(t_[pos_ + ahead]) : 0;
    }
    void skip_blanks()
    {
        while (pos_ < t_.size() && is_blank(static_cast<unsigned char>(t_[pos_])))
            ++pos_;
    }
    SqlToken take(SqlToken::Kind kind, std::size_t n)
    {
        SqlToken token{kind, std::string(t_.substr(pos_, n)), pos_};
        pos_ += n;
        return token;
    }
    // Behind "*/" of a comment whose body starts at i; 0 when it never ends.
    // In the body an asterisk takes the byte after it along, unless that is "/".
    std::size_t block_comment_end(std::size_t i) const
    {
        while (i < t_.size()) {
            if (t_[i] != '*') {
                ++i;
            } else if (i + 1 >= t_.size()) {
                return 0;
            } else if (t_[i + 1] == '/') {
                return i + 2;
            } else {
                i += 2;
            }
        }
        return 0;
    }
    // Behind the longest quoted text opened at i, or 0 when no closing quote
    // follows. Inside: any byte but the quote and the backslash; the quote
    // doubled (not right after a backslash); a backslash, alone or with the
    // quote after it. Every reading is followed at once (a bit per kind of
    // place: 1 free, 2 after half a doubled quote, 4 after a backslash,
    // 8 after a backslash and its quote).
    std::size_t quoted_end(std::size_t i) const
    {
        const char q = t_[i];
        unsigned places = 1;
        std::size_t best = 0;
        for (std::size_t j = i + 1; j < t_.size() && places != 0; ++j) {
            const char c = t_[j];
            unsigned next = 0;
            const bool may_close = (places & (1 | 4 | 8)) != 0;
            if (c == q) {
                if (may_close)
                    best = j + 1;
                if (places & 1)
                    next |= 2;
                if (places & 2)
                    next |= 1;
                if (places & 4)
                    next |= 8;
            } else if (c == '\\') {
                if (may_close)
                    next |= 4;
            } else if (may_close) {
                next |= 1;
            }
            places = next;
        }
        return best;
    }

    std::string_view t_;
    std::size_t pos_ = 0;
};

bool same_token(const SqlToken &a, const SqlToken &b)
{
    if (a.kind != b.kind)
        return false;
    return a.kind == SqlToken::Name ? same_word(a.text, b.text) : a.text == b.text;
}

// A piece of an embedded source: host text, or one statement's tokens.
struct Piece {
    bool host;
    std::string text;
    std::vector<SqlToken> tokens;
};

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r' || s.front() == '\n'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n'))
        s.remove_suffix(1);
    return s;
}

// Behind "EXEC", blanks, "SQL" at i (any case), or 0.
std::size_t exec_sql_end(std::string_view t, std::size_t i)
{
    if (!same_word(t.substr(i, 4), "EXEC"))
        return 0;
    std::size_t j = i + 4;
    const std::size_t blanks = j;
    while (j < t.size() && is_blank(static_cast<unsigned char>(t[j])))
        ++j;
    if (j == blanks || !same_word(t.substr(j, 3), "SQL"))
        return 0;
    return j + 3;
}

// Behind the END-EXEC that comes before any ";" of the statement whose SQL
// starts at i, or 0.
std::size_t end_exec_end(std::string_view t, std::size_t i)
{
    Reader reader(t.substr(i));
    while (!reader.at_end()) {
        const std::size_t at = i + reader.pos();
        const SqlToken token = reader.next();
        if (token.kind == SqlToken::Operator && token.text == ";")
            return 0;
        const auto name_or_hyphen = [](unsigned char c) { return is_letter(c) || is_digit(c) || c == '-'; };
        if (same_word(t.substr(at, 8), "END-EXEC") && (at == 0 || !name_or_hyphen(t[at - 1])) &&
            (at + 8 >= t.size() || !name_or_hyphen(t[at + 8])))
            return at + 8;
    }
    return 0;
}

// Behind a C comment or literal at i in host text, or 0.
std::size_t host_skip(std::string_view t, std::size_t i)
{
    if (t.substr(i, 2) == "/*") {
        const std::size_t end = t.find("*/", i + 2);
        return end == std::string_view::npos ? 0 : end + 2;
    }
    if (t.substr(i, 2) == "//") {
        const std::size_t end = t.find('\n', i);
        return end == std::string_view::npos ? t.size() : end;
    }
    if (t[i] == '"' || t[i] == '\'') {
        for (std::size_t j = i + 1; j < t.size() && t[j] != '\n'; ++j) {
            if (t[j] == t[i])
                return j + 1;
            if (t[j] == '\\' && (j + 1 >= t.size() || t[j + 1] == '\n'))
                return 0;
            if (t[j] == '\\')
                ++j;
        }
    }
    return 0;
}

std::vector<Piece> read_embedded(std::string_view t)
{
    std::vector<Piece> pieces;
    std::size_t host_from = 0;
    for (std::size_t i = 0; i < t.size();) {
        if (std::size_t skip = host_skip(t, i); skip != 0) {
            i = skip;
            continue;
        }
        const std::size_t sql = exec_sql_end(t, i);
        if (sql == 0) {
            ++i;
            continue;
        }
        if (std::size_t cobol = end_exec_end(t, sql); cobol != 0) {
            i = cobol;
            continue;
        }
        pieces.push_back({true, std::string(trimmed(t.substr(host_from, i - host_from))), {}});
        // The declare-section marker stays host text; only its case may change.
        Reader marker(t.substr(sql));
        std::vector<SqlToken> words;
        for (int w = 0; w < 3 && !marker.at_end(); ++w)
            words.push_back(marker.next());
        if (words.size() == 3 && (same_word(words[0].text, "BEGIN") || same_word(words[0].text, "END")) &&
            same_word(words[1].text, "DECLARE") && same_word(words[2].text, "SECTION")) {
            pieces.push_back({false, {}, read_sql_tokens(t.substr(i, sql + marker.pos() - i))});
            i = host_from = sql + marker.pos();
            continue;
        }
        // EXEC SQL is taken as two words even when a name goes on behind it
        // ("EXEC SQLX"): the statement begins with those two words.
        Reader statement(t.substr(sql));
        Piece piece{false, {}, {{SqlToken::Name, "EXEC"}, {SqlToken::Name, "SQL"}}};
        while (!statement.at_end()) {
            piece.tokens.push_back(statement.next());
            if (piece.tokens.back().kind == SqlToken::Operator && piece.tokens.back().text == ";")
                break;
        }
        pieces.push_back(std::move(piece));
        i = host_from = sql + statement.pos();
    }
    pieces.push_back({true, std::string(trimmed(t.substr(host_from))), {}});
    return pieces;
}

std::string describe(const std::vector<SqlToken> &tokens, std::size_t at)
{
    return at < tokens.size() ? "\"" + tokens[at].text + "\"" : "(end)";
}

std::string compare_tokens(const std::vector<SqlToken> &in, const std::vector<SqlToken> &out)
{
    std::size_t i = 0, j = 0;
    while (i < in.size() || j < out.size()) {
        if (i < in.size() && j < out.size() && same_token(in[i], out[j])) {
            ++i;
            ++j;
        } else {
            return "token " + std::to_string(i) + ": " + describe(in, i) + " became " + describe(out, j);
        }
    }
    return std::string();
}

std::string_view without_byte_order_mark(std::string_view s)
{
    if (s.starts_with("\xEF\xBB\xBF"))
        s.remove_prefix(3);
    return s;
}

} // namespace

std::vector<SqlToken> read_sql_tokens(std::string_view text)
{
    std::vector<SqlToken> tokens;
    Reader reader(text);
    while (!reader.at_end())
        tokens.push_back(reader.next());
    return tokens;
}

std::string compare_meaning(std::string_view input, std::string_view output, bool embedded)
{
    if (input.starts_with("\xEF\xBB\xBF") != output.starts_with("\xEF\xBB\xBF"))
        return "byte-order mark not kept";
    input = without_byte_order_mark(input);
    output = without_byte_order_mark(output);
    if (!embedded)
        return compare_tokens(read_sql_tokens(input), read_sql_tokens(output));
    const std::vector<Piece> in = read_embedded(input), out = read_embedded(output);
    for (std::size_t i = 0; i < in.size() && i < out.size(); ++i) {
        if (in[i].host != out[i].host)
            return "piece " + std::to_string(i) + ": host text and statement out of step";
        if (in[i].host && in[i].text != out[i].text)
            return "piece " + std::to_string(i) + ": host text changed";
        if (std::string why = compare_tokens(in[i].tokens, out[i].tokens); !why.empty())
            return "statement " + std::to_string(i) + ", " + why;
    }
    if (in.size() != out.size())
        return std::to_string(in.size()) + " pieces became " + std::to_string(out.size());
    return std::string();
}

} // namespace prax::test
