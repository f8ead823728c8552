#include "game/PlayersFile.h"
#include "support/TempWorkDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

std::string readText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(PlayersFile, MissingInvalidOrNonObjectFilesReadAsEmptyObjects) {
    testfs::TempWorkDir dir;
    EXPECT_EQ(playersfile::read("worlds/a/players.json"), nlohmann::json::object());
    for (const char* text : {"", "{\"\":", "[1, 2]", "42", "\"text\"", "null"}) {
        dir.write("worlds/a/players.json", text);
        nlohmann::json file = playersfile::read("worlds/a/players.json");
        EXPECT_TRUE(file.is_object()) << text;
        EXPECT_TRUE(file.empty()) << text;
        EXPECT_TRUE(playersfile::localRecord(file).is_null()) << text;
    }
}

TEST(PlayersFile, LocalRecordIsTheEmptyKey) {
    nlohmann::json file = {{"", {{"health", 50}}}, {"other", 1}};
    EXPECT_EQ(playersfile::localRecord(file)["health"], 50);
    EXPECT_TRUE(playersfile::localRecord({{"other", 1}}).is_null());
}

TEST(PlayersFile, MergeReplacesTheLocalRecordAndKeepsOtherMembers) {
    testfs::TempWorkDir dir;
    dir.write("w/players.json", R"({"friend":{"health":3},"":{"health":1},"z":[1,2]})");
    nlohmann::json file = playersfile::read("w/players.json");
    nlohmann::json merged = playersfile::withLocalRecord(file, {{"health", 77}});
    ASSERT_TRUE(playersfile::write("w/players.json", merged));

    EXPECT_EQ(readText("w/players.json"),
              R"({"":{"health":77},"friend":{"health":3},"z":[1,2]})");
    EXPECT_FALSE(std::filesystem::exists("w/players.json.tmp"));
}

TEST(PlayersFile, WriteMakesTheDirectoryAndReplacesAWholeFile) {
    testfs::TempWorkDir dir;
    ASSERT_TRUE(playersfile::write("new/world/players.json", playersfile::withLocalRecord(42, {{"a", 1}})));
    EXPECT_EQ(readText("new/world/players.json"), R"({"":{"a":1}})");
    dir.write("new/world/players.json", std::string(5000, 'x'));
    ASSERT_TRUE(playersfile::write("new/world/players.json", {{"", 1}}));
    EXPECT_EQ(readText("new/world/players.json"), R"({"":1})");
}

TEST(PlayersFile, AFailedWriteLeavesTheOldFileAndSaysSo) {
    testfs::TempWorkDir dir;
    dir.write("w/players.json", R"({"":1})");
    // A directory where the temporary file should go makes the write fail.
    std::filesystem::create_directories("w/players.json.tmp/blocker");
    testing::internal::CaptureStdout();
    EXPECT_FALSE(playersfile::write("w/players.json", {{"", 2}}));
    std::string output = testing::internal::GetCapturedStdout();
    EXPECT_NE(output.find("players.json"), std::string::npos);
    EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 1);
    EXPECT_EQ(readText("w/players.json"), R"({"":1})");
}

TEST(PlayersFile, PathIsTheWorldDirectoryPlusTheFileName) {
    EXPECT_EQ(playersfile::pathIn("worlds/My World").string(), "worlds/My World/players.json");
}

}  // namespace
