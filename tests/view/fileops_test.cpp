// File operations of the formatting commands: byte-exact writes, appends and
// reads, the copied-byte count, and failure as -1 on paths that cannot open.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <string>

#include "app/fileops.h"
#include "engine/tempfile.h"

namespace {

bool exists(const std::string &path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

// Bytes an editor text may hold: CR LF, NUL, 0xFF and invalid UTF-8.
const std::string kAwkward("a\r\nb\0c\xff\xfe\xc3\x28\n", 12);

class FileOps : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(prax::create_temp_file(first));
        ASSERT_TRUE(prax::create_temp_file(second));
    }
    void TearDown() override
    {
        std::remove(first.c_str());
        std::remove(second.c_str());
    }
    std::string first;
    std::string second;
};

TEST_F(FileOps, WriteAppendAndReadAreByteExact)
{
    ASSERT_EQ(prax::write_text_file(first, "old content that must go"), 0);
    ASSERT_EQ(prax::write_text_file(first, kAwkward), 0);
    ASSERT_EQ(prax::append_text_file(first, kAwkward), 0);
    std::string text = "stale";
    ASSERT_EQ(prax::read_file_text(first, text), 0);
    EXPECT_EQ(text, kAwkward + kAwkward);

    ASSERT_EQ(prax::write_text_file(first, ""), 0);
    ASSERT_EQ(prax::read_file_text(first, text), 0);
    EXPECT_EQ(text, "");
}

TEST_F(FileOps, ReadsFilesLongerThanOneChunk)
{
    std::string big;
    for (int i = 0; i < 5000; ++i)
        big += static_cast<char>(i * 7);
    ASSERT_EQ(prax::write_text_file(first, big), 0);
    std::string text;
    ASSERT_EQ(prax::read_file_text(first, text), 0);
    EXPECT_EQ(text, big);
}

TEST_F(FileOps, AppendFileToFileCountsCopiedBytes)
{
    ASSERT_EQ(prax::write_text_file(first, "prefix\r\n"), 0);
    ASSERT_EQ(prax::write_text_file(second, kAwkward), 0);
    EXPECT_EQ(prax::append_file_to_file(second, first), static_cast<int>(kAwkward.size()));
    std::string text;
    ASSERT_EQ(prax::read_file_text(first, text), 0);
    EXPECT_EQ(text, "prefix\r\n" + kAwkward);

    ASSERT_EQ(prax::write_text_file(second, ""), 0);
    EXPECT_EQ(prax::append_file_to_file(second, first), 0);
}

TEST_F(FileOps, UnopenablePathsFailWithMinusOne)
{
    const std::string missingDir = first + ".d/nothing/here";
    EXPECT_EQ(prax::write_text_file(missingDir, "x"), -1);
    EXPECT_EQ(prax::append_text_file(missingDir, "x"), -1);
    EXPECT_EQ(prax::append_file_to_file(missingDir, second), -1);
    EXPECT_EQ(prax::append_file_to_file(first, missingDir), -1);
    std::string text = "stale";
    EXPECT_EQ(prax::read_file_text(missingDir, text), -1);
    EXPECT_EQ(text, "");
}

TEST(TempNames, AreFreshDistinctFilesAndAreRemoved)
{
    ASSERT_EQ(prax::make_temp_names(), 0);
    const std::string in = prax::temp_in_path;
    const std::string out = prax::temp_out_path;
    EXPECT_NE(in, out);
    EXPECT_TRUE(exists(in));
    EXPECT_TRUE(exists(out));

    // A second command gets new names; the first command's files are gone.
    ASSERT_EQ(prax::make_temp_names(), 0);
    EXPECT_NE(prax::temp_in_path, in);
    EXPECT_FALSE(exists(in));
    EXPECT_FALSE(exists(out));

    const std::string in2 = prax::temp_in_path;
    const std::string out2 = prax::temp_out_path;
    prax::remove_temp_names();
    EXPECT_FALSE(exists(in2));
    EXPECT_FALSE(exists(out2));
    EXPECT_TRUE(prax::temp_in_path.empty());
    EXPECT_TRUE(prax::temp_out_path.empty());
}

} // namespace
