#pragma once

#include "engine/State.h"
#include "engine/StateManager.h"

#include <functional>
#include <string>
#include <vector>

namespace testing_states {

// A screen that writes every call it receives into a shared log as "name.operation" (input
// with its arguments), and can run an action from its update, init or resize.
class RecordingState : public State {
public:
    RecordingState(std::string name, std::vector<std::string>& log) : name(std::move(name)), log(log) {}

    void init(StateManager& s) override { record("init"); if (onInit) onInit(s); }
    void close(StateManager&) override { record("close"); }
    void update(StateManager& s) override { record("update"); if (onUpdate) onUpdate(s); }
    void render(StateManager&) override { record("render"); }
    void pause(StateManager&) override { record("pause"); }
    void resume(StateManager&) override { record("resume"); }
    void cursorPos(StateManager&, double x, double y) override {
        record("cursorPos " + num(x) + " " + num(y));
    }
    void scroll(StateManager&, double dx, double dy) override {
        record("scroll " + num(dx) + " " + num(dy));
    }
    void mouseButton(StateManager&, int button, int action, int mods) override {
        record("mouseButton " + std::to_string(button) + " " + std::to_string(action) + " " +
               std::to_string(mods));
    }
    void keyInput(StateManager&, int key, int scancode, int action, int mods) override {
        record("keyInput " + std::to_string(key) + " " + std::to_string(scancode) + " " +
               std::to_string(action) + " " + std::to_string(mods));
    }
    void windowResize(StateManager& s, int width, int height) override {
        record("windowResize " + std::to_string(width) + " " + std::to_string(height));
        if (onResize) onResize(s);
    }
    void charInput(StateManager&, unsigned codePoint) override {
        record("charInput " + std::to_string(codePoint));
    }

    std::function<void(StateManager&)> onInit, onUpdate, onResize;

private:
    void record(const std::string& what) { log.push_back(name + "." + what); }
    static std::string num(double v) {
        std::string text = std::to_string(v);
        text.erase(text.find_last_not_of('0') + 1);
        if (!text.empty() && text.back() == '.') text.pop_back();
        return text;
    }

    std::string name;
    std::vector<std::string>& log;
};

}  // namespace testing_states
