#include "game/PlayerRecordCheck.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using nlohmann::json;

json identity() {
    json rows = json::array();
    for (int c = 0; c < 5; ++c) {
        json column = json::array();
        for (int r = 0; r < 5; ++r) column.push_back(c == r ? 1.0 : 0.0);
        rows.push_back(column);
    }
    return rows;
}

json goodRecord() {
    return {{"currentBlock", {{"x", 131}, {"y", 100}, {"z", -102}, {"w", 44}}},
            {"health", 100.0},
            {"hotbar", {nullptr, {{"name", "Stone"}, {"count", 5}, {"attributes", json::object()}},
                        json::object(), json::array()}},
            {"inventory", json::array()},
            {"orientation", identity()},
            {"position", {{"x", 131.5}, {"y", 100.0}, {"z", -101.5}, {"w", 44.5}}}};
}

TEST(PlayerRecordCheck, TheGameOwnRecordsPass) {
    EXPECT_EQ(playerrecord::problemWith(goodRecord()), "");
    // A turned view: a rotation by 0.6 rad in the x-w plane.
    json turned = goodRecord();
    float c = std::cos(0.6f), s = std::sin(0.6f);
    turned["orientation"][0][0] = c;
    turned["orientation"][0][3] = s;
    turned["orientation"][3][0] = -s;
    turned["orientation"][3][3] = c;
    EXPECT_EQ(playerrecord::problemWith(turned), "");
    // On a cell boundary the cell may still be the one the body came from.
    json boundary = goodRecord();
    boundary["position"]["x"] = 132.0;
    EXPECT_EQ(playerrecord::problemWith(boundary), "");
}

TEST(PlayerRecordCheck, MissingOrMistypedMembersAreReported) {
    for (const char* key : {"currentBlock", "health", "hotbar", "inventory", "orientation", "position"}) {
        json record = goodRecord();
        record.erase(key);
        EXPECT_NE(playerrecord::problemWith(record), "") << key;
        record[key] = "text";
        EXPECT_NE(playerrecord::problemWith(record), "") << key;
    }
    EXPECT_NE(playerrecord::problemWith(json::array()), "");
    EXPECT_NE(playerrecord::problemWith(nullptr), "");
}

TEST(PlayerRecordCheck, ValuesMustBeFinite) {
    json record = goodRecord();
    record["position"]["y"] = nullptr;  // how the library writes NaN
    EXPECT_NE(playerrecord::problemWith(record), "");
    record = goodRecord();
    record["health"] = 1e300;  // no float holds it
    EXPECT_NE(playerrecord::problemWith(record), "");
    record = goodRecord();
    record["orientation"][2][1] = nullptr;
    EXPECT_NE(playerrecord::problemWith(record), "");
}

TEST(PlayerRecordCheck, OrientationMustBeAFiveByFiveRotation) {
    json record = goodRecord();
    record["orientation"][1][1] = 2.0;  // a stretch
    EXPECT_NE(playerrecord::problemWith(record), "");
    record = goodRecord();
    record["orientation"][2] = record["orientation"][0];  // two equal axes
    EXPECT_NE(playerrecord::problemWith(record), "");
    record = goodRecord();
    record["orientation"].erase(4);
    EXPECT_NE(playerrecord::problemWith(record), "");
    record = goodRecord();
    record["orientation"][3].push_back(0.0);
    EXPECT_NE(playerrecord::problemWith(record), "");
}

TEST(PlayerRecordCheck, SideAndFourthAxesMustBeLevel) {
    // Rotations the camera cannot be rebuilt from: its side vector (column 0) or its fourth
    // axis (column 3) standing upright leaves no horizontal part to level.
    for (int column : {0, 3}) {
        json record = goodRecord();
        record["orientation"][column][column] = 0.0;
        record["orientation"][column][1] = 1.0;
        record["orientation"][1][1] = 0.0;
        record["orientation"][1][column] = -1.0;
        EXPECT_NE(playerrecord::problemWith(record), "") << "column " << column;
    }
    // A slight tilt is no rotation the game writes either.
    json record = goodRecord();
    float c = std::cos(0.2f), s = std::sin(0.2f);
    record["orientation"][3][3] = c;
    record["orientation"][3][1] = s;
    record["orientation"][1][1] = c;
    record["orientation"][1][3] = -s;
    EXPECT_NE(playerrecord::problemWith(record), "");
}

TEST(PlayerRecordCheck, CellMustHoldThePosition) {
    json record = goodRecord();
    record["currentBlock"]["z"] = 500;
    EXPECT_NE(playerrecord::problemWith(record), "");
    record["currentBlock"]["z"] = 1e12;
    EXPECT_NE(playerrecord::problemWith(record), "");
}

TEST(PlayerRecordCheck, InventoryElementsMustBeItemRecordsOrEmpty) {
    json record = goodRecord();
    record["inventory"] = {42};
    EXPECT_NE(playerrecord::problemWith(record), "");
    record["inventory"] = {{{"count", 3}}};  // no name
    EXPECT_NE(playerrecord::problemWith(record), "");
    record["inventory"] = {{{"name", "Stick"}, {"count", "three"}}};
    EXPECT_NE(playerrecord::problemWith(record), "");
    // A name unknown to this catalogue is kept as read by the inventory, not refused.
    record["inventory"] = {{{"name", "Mystery"}, {"count", 3}}};
    EXPECT_EQ(playerrecord::problemWith(record), "");
}

}  // namespace
