#pragma once

#include "world/Chunk.h"

#include <nlohmann/json.hpp>

#include <functional>
#include <memory>
#include <vector>

class Player;
class World;

// Saves the game while it is played, in steps. A step takes copies of the player's record and
// of every loaded or just dropped chunk that changed since its last save, all in one tick on the
// main thread, so that the disk always holds one moment of play: a kill can neither duplicate
// nor lose the items that moved between the player, the chests and the ground. The world's
// workers then write the copies through the atomic writers, while the game goes on.
//
// A step is taken every `intervalTicks` ticks of play and in every tick in which a streaming
// pass drops chunks. While a step is writing, no streaming pass may start: it could load a
// dropped chunk again before its save is written (so every drop starts a step of its own). A
// step that falls due meanwhile takes no copies: nothing waits in line behind the writes, and
// the step is taken in the first tick after they have ended.
class GameSaver {
public:
    static constexpr int defaultIntervalTicks = 3000;  // 30 s of play

    int intervalTicks = defaultIntervalTicks;
    // Seams for tests: the first runs on the main thread once a step's copies are taken and
    // before its writes begin (the dropped chunks still exist then); the second on the worker
    // that ends a step's writes, before the step counts as written. Neither may throw.
    std::function<void(const std::vector<std::unique_ptr<Chunk>>& dropped)> onCopied;
    std::function<void()> onWritten;

    GameSaver();
    ~GameSaver();
    GameSaver(const GameSaver&) = delete;
    GameSaver& operator=(const GameSaver&) = delete;

    // A world is entered: play time counts from here, and its player record has not been
    // written yet.
    void start();
    // Main thread, at the end of every tick of the game screen: counts the tick and takes a step
    // when one is due or chunks were dropped; the dropped chunks are destroyed here once copied.
    void endOfTick(World& world, Player& player, std::vector<std::unique_ptr<Chunk>>& dropped);
    // Main thread: whether a step is still writing. Once its writes have ended, the chunks it
    // saved learn what their stored files now hold.
    bool writing();
    // Main thread: waits until a running step has written everything (the screen's close).
    void finish();

private:
    struct Step;

    std::shared_ptr<Step> running;
    int ticksSinceStep = 0;  // ticks of play since the last step
    // The player's record as the last step wrote it, to write it again only when it changed.
    nlohmann::json writtenRecord;

    void takeStep(World& world, Player& player, std::vector<std::unique_ptr<Chunk>>& dropped);
    void finishStep();
};
