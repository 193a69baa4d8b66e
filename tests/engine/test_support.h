// Helpers for engine tests: run format_file on a text and look at the result.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/state.h"
#include "engine/options.h"

namespace prax::test {

struct FormatRun {
    int result = 0;
    std::string output;
    std::vector<std::string> messages; // status messages in the order shown
};

// Writes `input` to a temporary file, formats it with `options` into another,
// and returns the result, the output bytes and the status messages.
FormatRun format_text(const std::string &input, const FormatOptions &options,
                      const FormatRequest &request = FormatRequest{});

// The options a first start with an empty profile uses (interval 5).
inline FormatOptions load_defaults()
{
    return load_default_format_options();
}
inline FormatOptions with(FormatOptions options, int FormatOptions::*field, int value)
{
    options.*field = value;
    return options;
}

std::string read_file(const std::string &path);
void write_file(const std::string &path, const std::string &bytes);

// Engine state is back to its reset values (column, line, stacks, layout).
void expect_state_reset();

// A fixture that restores the options record and the status hook after each test
// and checks that every run left the engine state reset.
class EngineTest : public ::testing::Test {
protected:
    void TearDown() override;
};

} // namespace prax::test

#define EXPECT_FORMATS(input, expected, options)                                  \
    do {                                                                          \
        SCOPED_TRACE(input);                                                      \
        ::prax::test::FormatRun run_ = ::prax::test::format_text(input, options); \
        EXPECT_EQ(run_.result, 0);                                                \
        EXPECT_EQ(run_.output, expected);                                         \
    } while (0)
