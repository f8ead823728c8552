#include "engine/JsonFile.h"
#include "engine/SafeWrite.h"

#include "support/TempWorkDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

using nlohmann::json;
namespace fs = std::filesystem;

namespace {

std::string nested(int levels) { return std::string(levels, '[') + std::string(levels, ']'); }

using testfs::readFile;

TEST(JsonFileTest, ParsesOneValueWithinTheNestingLimit) {
    struct Case {
        std::string text;
        bool parses;
        json expected;
    };
    const Case cases[] = {
        {R"({"a": [1, 2]})", true, json{{"a", {1, 2}}}},
        {R"({"a": 1} trailing text)", true, json{{"a", 1}}},
        {R"(["[[[[", "\"{{{"])", true, json{"[[[[", "\"{{{"}},
        {nested(jsonfile::maxNesting), true, json()},
        {nested(jsonfile::maxNesting + 1), false, json()},
        {nested(100000), false, json()},
        {"[1, 2", false, json()},
        {"", false, json()},
    };
    for (const Case& c : cases) {
        json value = "untouched";
        std::string error;
        EXPECT_EQ(jsonfile::parse(c.text, value, &error, "test.json"), c.parses)
            << c.text.substr(0, 40);
        if (!c.parses) {
            EXPECT_EQ(value, "untouched");
            EXPECT_EQ(error.rfind("test.json: ", 0), 0u) << error;
        } else if (!c.expected.is_null()) {
            EXPECT_EQ(value, c.expected);
        }
    }
}

TEST(JsonFileTest, ParseErrorNamesThePositionWithoutQuotingTheBytes) {
    std::string error;
    json value;
    EXPECT_FALSE(jsonfile::parse(std::string("{\"a\": \x01\xff\xfe secret", 12), value, &error,
                                 "blob.bin"));
    EXPECT_EQ(error, "blob.bin: invalid JSON at byte 7");
}

TEST(JsonFileTest, ReadTellsMissingUnreadableInvalidAndTooLargeApart) {
    testfs::TempWorkDir dir;
    const std::string good = R"({"k": true})";
    dir.write("good.json", good);
    dir.write("bad.json", "{oops");
    fs::create_directory(dir.path / "folder.json");
    json value;
    const auto read = [&](const char* name, std::uintmax_t limit = 100) {
        return jsonfile::read(dir.path / name, value, limit);
    };
    EXPECT_EQ(read("good.json", good.size()), jsonfile::ReadStatus::ok) << "a file of the limit's size";
    EXPECT_EQ(value, (json{{"k", true}}));
    EXPECT_EQ(read("none.json"), jsonfile::ReadStatus::missing);
    EXPECT_EQ(read("folder.json"), jsonfile::ReadStatus::unreadable);
    EXPECT_EQ(read("bad.json"), jsonfile::ReadStatus::invalid);
    std::string error;
    EXPECT_EQ(jsonfile::read(dir.path / "good.json", value, good.size() - 1, &error),
              jsonfile::ReadStatus::tooLarge);
    EXPECT_EQ(error, (dir.path / "good.json").string() + ": larger than 10 bytes");
    EXPECT_EQ(value, (json{{"k", true}}));
}

TEST(JsonFileTest, WriteReplacesTheFileWholeAndAFailedWriteKeepsTheOldOne) {
    testfs::TempWorkDir dir;
    const fs::path file = dir.path / "settings.json";
    dir.write("settings.json.tmp", "leftover of a crash");
    ASSERT_TRUE(jsonfile::write(file, json{{"a", 1}}, 4));
    EXPECT_EQ(readFile(file), "{\n    \"a\": 1\n}");
    EXPECT_FALSE(fs::exists(temporaryPathFor(file)));

    // A directory where the file should be: the rename fails and nothing is left behind.
    fs::create_directories(dir.path / "blocked" / "inside");
    testing::internal::CaptureStdout();
    EXPECT_FALSE(writeFileAtomically(dir.path / "blocked", "data"));
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.rfind("error: unable to write " + (dir.path / "blocked").string() + ": ", 0), 0u)
        << out;
    EXPECT_TRUE(fs::is_directory(dir.path / "blocked" / "inside"));
    EXPECT_FALSE(fs::exists(temporaryPathFor(dir.path / "blocked")));

    // A directory that does not exist: nothing is written and the failure is reported.
    testing::internal::CaptureStdout();
    EXPECT_FALSE(jsonfile::write(dir.path / "absent" / "x.json", json::object()));
    EXPECT_NE(testing::internal::GetCapturedStdout().find("error: unable to write"),
              std::string::npos);
}

}  // namespace
