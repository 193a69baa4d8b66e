#include "test_support.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "engine/tempfile.h"

namespace prax::test {

std::string read_file(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void write_file(const std::string &path, const std::string &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

FormatRun format_text(const std::string &input, const FormatOptions &options, const FormatRequest &request)
{
    FormatRun run;
    std::string in_path, out_path;
    EXPECT_TRUE(create_temp_file(in_path));
    EXPECT_TRUE(create_temp_file(out_path));
    write_file(in_path, input);
    format_options = options;
    set_status_hook([&run](std::string_view text) { run.messages.emplace_back(text); });
    run.result = format_file(in_path.c_str(), out_path.c_str(), request);
    set_status_hook(nullptr);
    run.output = read_file(out_path);
    std::remove(in_path.c_str());
    std::remove(out_path.c_str());
    return run;
}

void expect_state_reset()
{
    const EngineState &st = engine_state;
    EXPECT_EQ(st.column, 0);
    EXPECT_EQ(st.line, 0);
    EXPECT_EQ(st.last_char, 0);
    EXPECT_EQ(st.last_was_space, 0);
    EXPECT_EQ(st.pure_sql, 0);
    EXPECT_EQ(st.sql_seen, 0);
    EXPECT_EQ(st.layout.keyword_left, -1);
    EXPECT_EQ(st.layout.keyword_right, 0);
    EXPECT_EQ(st.layout.item_column, 0);
    EXPECT_TRUE(st.layout.indent_stack.empty());
    EXPECT_EQ(st.layout.owner_paren, (ParenMark{0, -1}));
    EXPECT_TRUE(st.saved_layouts.empty());
    EXPECT_TRUE(st.paren_stack.empty());
    EXPECT_EQ(st.current_paren, (ParenMark{0, -1}));
    EXPECT_EQ(st.out_file, nullptr);
}

void EngineTest::TearDown()
{
    expect_state_reset();
    format_options = default_format_options;
    set_status_hook(nullptr);
}

} // namespace prax::test
