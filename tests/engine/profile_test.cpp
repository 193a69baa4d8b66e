// The options' profile: classic INI reading rules, writing that keeps the rest
// of the file, atomic replacement, and the two sets of defaults.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "engine/options.h"
#include "engine/profile.h"
#include "engine/tempfile.h"
#include "test_support.h"

namespace prax::test {
namespace {

namespace fs = std::filesystem;

class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("prax-profile-" + std::to_string(getpid()));
        fs::create_directories(dir_);
        path_ = (dir_ / "prax.ini").string();
    }
    void TearDown() override { fs::remove_all(dir_); }
    fs::path dir_;
    std::string path_;
};

TEST_F(ProfileTest, EmptyProfileGivesLoadDefaults)
{
    FormatOptions options = default_format_options;
    options.wrap_enabled = 0; // not a profile key: left alone
    load_format_options(path_, options);
    EXPECT_EQ(options.interval, 5);
    EXPECT_EQ(options.wrap_length, 80);
    EXPECT_EQ(options.multi_item, 1);
    EXPECT_EQ(options.match_parenthesis, 1);
    EXPECT_EQ(options.alignment, 0);
    EXPECT_EQ(options.wrap_enabled, 0);
    EXPECT_EQ(options.tab_width, 8);
    EXPECT_EQ(default_format_options.interval, 4);
}

TEST_F(ProfileTest, ClassicReadingRules)
{
    write_file(path_, "; user's notes\r\n"
                      "[other]\r\n"
                      "Interval=99\r\n"
                      "  [ formatting OPTIONS ]  \r\n"
                      "  interval  =  -4  \r\n"
                      "Wrap length=120 columns\r\n"
                      "Alignment=+2\r\n"
                      "Key Word Case=lower\r\n"
                      "Multi Item=\r\n"
                      "Starting indentation=99999999999\r\n");
    FormatOptions options = default_format_options;
    load_format_options(path_, options);
    EXPECT_EQ(options.interval, -4);
    EXPECT_EQ(options.wrap_length, 120) << "a leading integer is read";
    EXPECT_EQ(options.alignment, 2);
    EXPECT_EQ(options.keyword_case, 0) << "no number: load default";
    EXPECT_EQ(options.multi_item, 1) << "empty value: load default";
    EXPECT_EQ(options.starting_indentation, 2147483647);
    EXPECT_EQ(options.match_parenthesis, 1) << "missing key: load default";
}

TEST_F(ProfileTest, SaveKeepsOtherSectionsAndRoundTrips)
{
    const std::string before = "[Recent File List]\n"
                               "File1=/home/u/a b.sql\n"
                               "\n"
                               "[Formatting Options]\n"
                               "; keep me\n"
                               "Interval=3\n"
                               "\n"
                               "[Settings]\n"
                               "PreviewPages=1\n";
    write_file(path_, before);
    FormatOptions saved = load_defaults();
    saved.interval = -4;
    saved.alignment = 2;
    saved.wrap_length = 25600;
    saved.starting_indentation = 7;
    std::string error;
    ASSERT_EQ(save_format_options(path_, saved, &error), 0) << error;

    const std::string after = read_file(path_);
    EXPECT_EQ(after, "[Recent File List]\n"
                     "File1=/home/u/a b.sql\n"
                     "\n"
                     "[Formatting Options]\n"
                     "; keep me\n"
                     "Interval=-4\n"
                     "Alignment=2\n"
                     "Key Word Case=0\n"
                     "And/OR position=0\n"
                     "Multi Item=1\n"
                     "New Line On Select=0\n"
                     "New Line After Select=0\n"
                     "Match Parenthesis=1\n"
                     "Starting indentation=7\n"
                     "Wrap length=25600\n"
                     "\n"
                     "[Settings]\n"
                     "PreviewPages=1\n");
    FormatOptions loaded = default_format_options;
    load_format_options(path_, loaded);
    for (const char *name : kOptionFieldNames) {
        SCOPED_TRACE(name);
        EXPECT_EQ(*option_field(loaded, name), *option_field(saved, name));
    }
}

TEST_F(ProfileTest, NewProfileGetsTheTenKeysInOrder)
{
    const std::string nested = (dir_ / "sub" / "prax.ini").string();
    ASSERT_EQ(save_format_options(nested, load_defaults()), 0);
    EXPECT_EQ(read_file(nested), "[Formatting Options]\n"
                                 "Alignment=0\n"
                                 "Key Word Case=0\n"
                                 "And/OR position=0\n"
                                 "Multi Item=1\n"
                                 "New Line On Select=0\n"
                                 "New Line After Select=0\n"
                                 "Match Parenthesis=1\n"
                                 "Interval=5\n"
                                 "Starting indentation=0\n"
                                 "Wrap length=80\n");
}

// The layout extras live in "[Layout Extras]", after the classic section,
// which keeps its ten keys; any number but 0 reads as on.
TEST_F(ProfileTest, LayoutExtrasHaveASectionOfTheirOwn)
{
    FormatOptions saved = load_defaults();
    ASSERT_TRUE(apply_style(saved, "modern"));
    ASSERT_EQ(save_format_options(path_, saved), 0);
    const std::string text = read_file(path_);
    EXPECT_EQ(text.substr(text.find("[Layout Extras]")), "[Layout Extras]\n"
                                                          "Trim Trailing Blanks=1\n"
                                                          "Statement Reset=1\n"
                                                          "Set Operators=1\n"
                                                          "With Clauses=1\n"
                                                          "Join Clauses=1\n"
                                                          "Keywords In Parens=1\n"
                                                          "Case Layout=1\n"
                                                          "Between And=1\n"
                                                          "Compact Operators=1\n"
                                                          "Keep Punctuation=1\n"
                                                          "All Keyword Case=1\n"
                                                          "List Per Line=0\n"
                                                          "Step Indent=1\n");
    EXPECT_LT(text.find("Wrap length=80\n"), text.find("[Layout Extras]"));

    FormatOptions loaded = load_defaults();
    load_format_options(path_, loaded);
    EXPECT_TRUE(is_modern_style(loaded));
    EXPECT_EQ(loaded.list_per_line, 0);

    write_file(path_, "[Layout Extras]\nlist per line = 7\nStep Indent=0\n");
    load_format_options(path_, loaded);
    EXPECT_EQ(loaded.list_per_line, 1);
    EXPECT_EQ(loaded.step_indent, 0);
    EXPECT_EQ(loaded.trim_trailing_blanks, 0) << "a missing key is off";
    EXPECT_EQ(*option_field(loaded, "list_per_line"), 1) << "extras are reachable by field name";
}

TEST_F(ProfileTest, ReplacesTheFileAtomically)
{
    write_file(path_, "[Settings]\nx=1\n");
    const ino_t old_inode = fs::status(path_).type() == fs::file_type::regular ? [&] {
        struct stat st;
        stat(path_.c_str(), &st);
        return st.st_ino;
    }() : 0;
    ASSERT_EQ(save_format_options(path_, load_defaults()), 0);
    struct stat st;
    ASSERT_EQ(stat(path_.c_str(), &st), 0);
    EXPECT_NE(st.st_ino, old_inode) << "written beside and renamed, not rewritten in place";
    // No temporary file is left behind.
    int files = 0;
    for (const auto &entry : fs::directory_iterator(dir_)) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 1);
}

TEST_F(ProfileTest, UnusableProfilesAreReported)
{
    // A profile that is a directory: load defaults on reading, an error on writing.
    fs::create_directories(path_);
    FormatOptions options = default_format_options;
    load_format_options(path_, options);
    EXPECT_EQ(options.interval, 5);
    std::string error;
    EXPECT_EQ(save_format_options(path_, options, &error), -1);
    EXPECT_FALSE(error.empty());
    // A profile below a regular file cannot be created.
    write_file((dir_ / "file").string(), "x");
    EXPECT_EQ(save_format_options((dir_ / "file" / "prax.ini").string(), options, &error), -1);
}

TEST_F(ProfileTest, GarbageIsReadAsMissingKeys)
{
    write_file(path_, std::string("\0\xff\xfe[[[=\n===\n[Formatting Options\nInterval=7\n", 40));
    FormatOptions options = default_format_options;
    load_format_options(path_, options);
    EXPECT_EQ(options.interval, 5);
    ASSERT_EQ(save_format_options(path_, options), 0);
    EXPECT_EQ(read_file(path_).substr(0, 10), std::string("\0\xff\xfe[[[=\n==", 10)) << "other lines kept";
}

TEST(DefaultProfilePath, FollowsXdgConfigHome)
{
    const char *old = getenv("XDG_CONFIG_HOME");
    const std::string saved = old ? old : "";
    setenv("XDG_CONFIG_HOME", "/cfg", 1);
    EXPECT_EQ(default_profile_path(), "/cfg/prax/prax.ini");
    unsetenv("XDG_CONFIG_HOME");
    setenv("HOME", getenv("HOME") ? getenv("HOME") : "/root", 1);
    EXPECT_EQ(default_profile_path(), std::string(getenv("HOME")) + "/.config/prax/prax.ini");
    if (old)
        setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
}

} // namespace
} // namespace prax::test
