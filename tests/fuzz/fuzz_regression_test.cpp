// Replays the fuzz target's findings, and option values outside the dialog's
// ranges, through the fuzz target's property checks (format_property.h).
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "engine/engine.h"
#include "engine/options.h"
#include "tests/fuzz/format_property.h"

namespace prax::fuzz {
namespace {

namespace fs = std::filesystem;

std::string read_bytes(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string work_dir()
{
    return fs::temp_directory_path().string();
}

class FuzzRegressionTest : public ::testing::Test {
protected:
    void SetUp() override { set_status_hook(nullptr); }
    void TearDown() override { format_options = default_format_options; }
};

// Every saved finding of the fuzz target keeps every property now.
TEST_F(FuzzRegressionTest, SavedFindingsKeepTheProperties)
{
    std::vector<fs::path> files;
    for (const auto &entry : fs::directory_iterator(PRAX_FUZZ_REGRESSIONS)) {
        if (entry.is_regular_file())
            files.push_back(entry.path());
    }
    ASSERT_FALSE(files.empty()) << "no saved findings in " << PRAX_FUZZ_REGRESSIONS;
    std::sort(files.begin(), files.end());
    for (const fs::path &file : files) {
        SCOPED_TRACE(file.filename().string());
        const std::string bytes = read_bytes(file);
        const FuzzCase c = decode_case(reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size());
        EXPECT_EQ(check_case(c, work_dir()), "");
    }
}

// The header the seeds get decodes back to the options it was made from.
TEST_F(FuzzRegressionTest, SeedHeaderDecodesToItsOptions)
{
    FormatOptions options = default_format_options;
    options.interval = -4;
    options.alignment = 2;
    const std::string bytes = encode_header(options, 7) + "SELECT a FROM t;";
    const FuzzCase c = decode_case(reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size());
    EXPECT_EQ(c.options.interval, -4);
    EXPECT_EQ(c.options.alignment, 2);
    EXPECT_EQ(c.options.tab_width, 8);
    EXPECT_EQ(c.options.wrap_length, 80);
    EXPECT_EQ(c.column, 7);
    EXPECT_EQ(c.text, "SELECT a FROM t;");
}

// Texts that reach every option: nested subqueries, parentheses over several
// lines, wrapping, AND/OR, tabs in literals, embedded SQL.
const char *const kTexts[] = {
    "SELECT a, b FROM t1 x, t2 WHERE a = (SELECT max(c) FROM u WHERE d IN (1,\n 2)) AND e > 0 OR f\n"
    " GROUP BY a ORDER BY b;\nUPDATE t SET a = '\t\t\t' WHERE b = 1;\n",
    "int main() {\n\t\tEXEC SQL SELECT a INTO :h . x FROM t WHERE (b = 1\n AND c = 2);\n}\n",
    "SELECT (SELECT (SELECT (SELECT a FROM t) FROM u) FROM v) FROM w;",
};

// Every field at values a hand-edited profile may hold, far outside the
// dialog's ranges: each run ends, keeps the text and repeats itself.
TEST_F(FuzzRegressionTest, OptionValuesOutsideTheirRangesKeepTheProperties)
{
    const int values[] = {INT_MIN, -1000000, -25601, -5, -1, 0, 3, 7, 257, 25601, 1 << 24, INT_MAX};
    for (const char *name : kOptionFieldNames) {
        for (int value : values) {
            for (const char *text : kTexts) {
                SCOPED_TRACE(std::string(name) + "=" + std::to_string(value) + " on " + text);
                FuzzCase c;
                c.options = load_default_format_options();
                *option_field(c.options, name) = value;
                c.column = 3;
                c.text = text;
                EXPECT_EQ(check_case(c, work_dir()), "");
            }
        }
    }
}

// Out-of-range blank counts are held to the dialog's range for the run, so
// the output stays the size a valid value gives, and the record is left as
// it was given.
TEST_F(FuzzRegressionTest, HugeIntervalAndIndentationAreHeldForTheRun)
{
    const fs::path in = fs::path(work_dir()) / "prax-fuzz-held.sql";
    const fs::path out = fs::path(work_dir()) / "prax-fuzz-held.out";
    std::ofstream(in, std::ios::binary) << "SELECT a FROM t WHERE b = 1;";
    auto output_with = [&](int interval, int indentation) {
        format_options = load_default_format_options();
        format_options.interval = interval;
        format_options.starting_indentation = indentation;
        EXPECT_EQ(format_file(in.c_str(), out.c_str()), kFormatOk);
        EXPECT_EQ(format_options.interval, interval);
        EXPECT_EQ(format_options.starting_indentation, indentation);
        return read_bytes(out);
    };
    EXPECT_EQ(output_with(539238432, INT_MAX), output_with(256, 25600));
    EXPECT_EQ(output_with(INT_MIN, INT_MIN), output_with(-4, 0));
    fs::remove(in);
    fs::remove(out);
}

// Embedded SQL stores the column of its EXEC SQL even when the record held an
// out-of-range indentation: the held value must not hide the stored one.
TEST_F(FuzzRegressionTest, StoredIndentationOutlivesTheHeldValue)
{
    const fs::path in = fs::path(work_dir()) / "prax-fuzz-stored.pc";
    const fs::path out = fs::path(work_dir()) / "prax-fuzz-stored.out";
    std::ofstream(in, std::ios::binary) << "int n;    EXEC SQL SELECT a FROM t;\n";
    format_options = load_default_format_options();
    format_options.starting_indentation = -7;
    EXPECT_EQ(format_file(in.c_str(), out.c_str()), kFormatOk);
    EXPECT_EQ(format_options.starting_indentation, 10);
    fs::remove(in);
    fs::remove(out);
}

} // namespace
} // namespace prax::fuzz
