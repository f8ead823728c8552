// The saved worlds on disk, without a window: the folder-name rule with its "(n)" suffixes,
// creation that either makes a whole world or leaves nothing, and a list that skips whatever is
// not a sound world.
#include "game/GameState.h"
#include "screens/CreateWorldState.h"
#include "screens/WorldFolders.h"
#include "support/TempWorkDir.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using testfs::readFile;

TEST(WorldFolders, FolderNamesKeepLettersDigitsDashesAndSpacesInLowerCase) {
    const std::pair<std::string, std::string> cases[] = {
        {"New World", "new world"}, {"My World!", "my world_"}, {"A/B", "a_b"}, {"...", "___"},
        {"x-y Z 42", "x-y z 42"},   {"\xc3\x84rger", "__rger"}, {"tab\there", "tab_here"},
    };
    for (const auto& [name, folder] : cases) EXPECT_EQ(worlds::folderNameFor(name), folder) << name;
}

TEST(WorldFolders, CreationTakesTheFirstFreeNumberedNameAndWritesTheWorldsFiles) {
    testfs::TempWorkDir dir;
    const fs::path root = dir.path / "worlds";
    fs::create_directory(root);
    dir.write("worlds/my world_(1)", "a plain file takes a name too");
    fs::create_symlink(dir.path / "nowhere", root / "my world_(2)");  // so does a dangling link

    const std::vector<std::string> made = {"my world_", "my world_(3)", "my world_(4)"};
    for (const std::string& expected : made) {
        std::optional<fs::path> folder = worlds::createWorldFolder(root, "My World!");
        ASSERT_TRUE(folder);
        EXPECT_EQ(*folder, root / expected);
        EXPECT_EQ(readFile(*folder / "info.json"), R"({"name":"My World!"})");
        EXPECT_EQ(readFile(*folder / "players.json"), "{}");
        EXPECT_TRUE(fs::is_directory(*folder / "chunks"));
    }
    EXPECT_FALSE(fs::exists(root / "my world_(2)")) << "the link was followed";
    EXPECT_EQ(readFile(root / "my world_(1)"), "a plain file takes a name too");

    // Folder names hold 255 bytes at most: a longer name, or a numbered one, is cut to fit, and
    // "info.json" keeps the name whole.
    const std::string longName(260, 'x');
    for (const std::string& expected : {std::string(255, 'x'), std::string(252, 'x') + "(1)"}) {
        std::optional<fs::path> folder = worlds::createWorldFolder(root, longName);
        ASSERT_TRUE(folder) << expected.size();
        EXPECT_EQ(*folder, root / expected);
        EXPECT_EQ(readFile(*folder / "info.json"), R"({"name":")" + longName + R"("})");
    }
}

TEST(WorldFolders, AFailedCreationLeavesNothingAndTheScreenStaysWithItsMessage) {
    testfs::TempWorkDir dir;
    dir.write("worlds", "not a directory");
    createWorldState.worldsRoot = dir.path / "worlds";
    createWorldState.interface.clearElements();
    gameState.world.setPath("untouched");

    // A root so deep that the world's folder still fits in a path but its "chunks" does not:
    // the folder is made, the next step fails.
    fs::path deep = dir.path / "deep";
    const std::string name(50, 'x');
    const size_t folderLength = 4090;  // a path may hold 4095 bytes
    while (deep.string().size() + 1 + 200 + 1 + name.size() < folderLength) deep /= std::string(200, 'd');
    deep /= std::string(folderLength - deep.string().size() - 2 - name.size(), 'd');
    ASSERT_TRUE(fs::create_directories(deep));
    ASSERT_EQ((deep / name).string().size(), folderLength);

    const std::pair<fs::path, std::string> failures[] = {
        {dir.path / "worlds", "World"},
        {deep, name},
    };
    fs::create_directory(dir.path / "roomy");
    for (const auto& [root, name] : failures) {
        createWorldState.worldsRoot = root;
        createWorldState.nameInput.text = name;
        ::testing::internal::CaptureStdout();
        EXPECT_FALSE(createWorldState.createWorld());
        EXPECT_NE(::testing::internal::GetCapturedStdout().find("error: unable to write "), std::string::npos);
        EXPECT_EQ(createWorldState.errorText.text, CreateWorldState::failureMessage);
    }
    EXPECT_TRUE(fs::is_empty(dir.path / "roomy"));
    EXPECT_TRUE(fs::is_empty(deep)) << "a half-made world was left behind";
    EXPECT_EQ(gameState.world.path, "untouched");

    createWorldState.nameInput.text = "";
    EXPECT_FALSE(createWorldState.createWorld());
    EXPECT_EQ(createWorldState.errorText.text, CreateWorldState::noNameMessage);
    const auto& shown = createWorldState.interface.elements;
    EXPECT_EQ(std::count(shown.begin(), shown.end(), &createWorldState.errorText), 1)
        << "the message joins the screen once, however often it is shown";

    createWorldState.worldsRoot = dir.path / "roomy";
    createWorldState.nameInput.text = "Fine";
    EXPECT_TRUE(createWorldState.createWorld());
    EXPECT_EQ(gameState.world.path, dir.path / "roomy" / "fine");
    createWorldState.interface.clearElements();
    createWorldState.worldsRoot = "worlds";
}

TEST(WorldFolders, TheListSkipsEverythingThatIsNotASoundWorld) {
    testfs::TempWorkDir dir;
    const fs::path root = dir.path / "worlds";
    dir.write("worlds/alpha/info.json", R"({"name":"Alpha","seed":5})");
    dir.write("worlds/twin/info.json", R"({"name":"Alpha"})");
    dir.write("worlds/trailing/info.json", R"({"name":"Trailing"} and more)");
    fs::create_directories(root / "no info");
    dir.write("worlds/plain file", R"({"name":"File"})");
    fs::create_directories(root / "info is a directory/info.json");
    dir.write("worlds/broken/info.json", R"({"name":)");
    dir.write("worlds/array/info.json", R"(["name", "Array"])");
    dir.write("worlds/number name/info.json", R"({"name":5})");
    dir.write("worlds/deep/info.json", R"({"name":"Deep","x":)" + std::string(5000, '[') + std::string(5000, ']') + "}");
    dir.write("worlds/huge/info.json", R"({"name":"Huge","pad":")" + std::string(worlds::maxInfoBytes, ' ') + "\"}");
    dir.write("worlds/latin1/info.json", "{\"name\":\"\xe4rger\"}");
    fs::create_symlink(root / "loop", root / "loop");
    dir.write("worlds/locked/info.json", R"({"name":"Locked"})");
    fs::permissions(root / "locked", fs::perms::none);

    std::vector<std::string> names;
    ::testing::internal::CaptureStdout();
    for (const worlds::ListedWorld& world : worlds::listWorlds(root)) {
        names.push_back(world.name);
        EXPECT_TRUE(fs::exists(world.folder / "info.json")) << world.folder;
    }
    const std::string out = ::testing::internal::GetCapturedStdout();
    fs::permissions(root / "locked", fs::perms::owner_all);
    // A world that cannot be read says so in one line naming its folder; what is no world at
    // all (no "info.json", a plain file, a link to nowhere) says nothing.
    std::vector<std::string> unread = {"broken", "array", "number name", "deep", "huge", "latin1"};
    if (geteuid() != 0) unread.push_back("locked");
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), std::ptrdiff_t(unread.size())) << out;
    for (const std::string& folder : unread)
        EXPECT_NE(out.find("The world in " + (root / folder).string() + " is not listed: "), std::string::npos)
            << folder << "\n" << out;
    std::sort(names.begin(), names.end());
    std::vector<std::string> expected = {"Alpha", "Alpha", "Trailing"};
    if (geteuid() == 0) expected.push_back("Locked");  // permissions do not bind root
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names, expected);

    // No worlds folder yet is silent; one that cannot be listed says so.
    ::testing::internal::CaptureStdout();
    EXPECT_TRUE(worlds::listWorlds(dir.path / "missing").empty());
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    ::testing::internal::CaptureStdout();
    EXPECT_TRUE(worlds::listWorlds(root / "plain file").empty());
    EXPECT_NE(::testing::internal::GetCapturedStdout().find("The worlds in " + (root / "plain file").string() +
                                                             " cannot all be listed: "),
              std::string::npos);
}

}  // namespace
