// A small INI profile in the classic format that users' old profile files use:
// "[Section]" lines and "Key=Value" lines, names compared without regard to
// case, blanks around names and values ignored. QSettings escapes blanks and
// "/" in names, so it cannot read or write this format; this class does.
//
// Writing keeps every other section, key, comment and line as it was, and
// replaces the file atomically (temporary file beside it, then rename).
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace prax {

class IniProfile {
public:
    // Profiles are small; a larger file is refused rather than read (a FIFO,
    // /dev/zero or a huge file would otherwise hang or exhaust the reader).
    static constexpr std::size_t kMaxProfileSize = 1 << 20;

    // Reads `path`. Returns false, with `error` set to the reason, when the
    // file exists but cannot be used: not a regular file (a directory, a FIFO,
    // a device), no permission, a read error, or larger than kMaxProfileSize.
    // A missing file is an empty profile (true).
    bool load(const std::string &path, std::string *error = nullptr);
    // Parses profile text (used by load and by tests); a UTF-8 byte order mark
    // at its start is skipped.
    void parse(const std::string &text);

    // The raw value (blanks around it removed), or nothing when the key is missing.
    std::optional<std::string> get_string(const std::string &section, const std::string &key) const;
    // A leading (optionally signed) decimal integer; `fallback` when the key is
    // missing or its value does not start with a number.
    int get_int(const std::string &section, const std::string &key, int fallback) const;

    // Sets a value, adding the section and key at the end when missing.
    void set_string(const std::string &section, const std::string &key, const std::string &value);
    void set_int(const std::string &section, const std::string &key, int value);
    // Removes a key; nothing when it is missing.
    void remove_key(const std::string &section, const std::string &key);

    // The profile's text as it would be written.
    std::string text() const;
    // Writes text() to `path` atomically, creating the parent directory when
    // missing. Returns false with `error` set when it cannot be written.
    bool save(const std::string &path, std::string *error = nullptr) const;

private:
    struct Line {
        std::string raw;     // the line as read or made, without its line end
        std::string section; // the section the line belongs to (for key lines)
        std::string key;     // trimmed key for "key=value" lines, empty otherwise
        bool is_header = false;
    };
    std::vector<Line> lines_;
    std::string line_end_ = "\n";

    int find_key(const std::string &section, const std::string &key) const;
};

} // namespace prax
