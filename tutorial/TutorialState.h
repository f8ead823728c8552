#pragma once

#include "engine/BitmapText.h"
#include "engine/MeshRenderer.h"
#include "engine/SolidQuad.h"
#include "engine/State.h"
#include "engine/TexturedQuad.h"
#include "gui/Button.h"
#include "gui/Interface.h"
#include "tutorial/Forg.h"
#include "tutorial/SceneGeometry.h"
#include "tutorial/TutorialWorld.h"

#include <glm/mat4x4.hpp>
#include <glm/vec2.hpp>

struct Shader;

// The interactive step of the tutorial: Frank the forg lives in a vertical plane through a small
// 3D world. The left half of the window shows the 2D cross-section he sees, the right half the 3D
// world with his plane marked in it, orbited by dragging. The keys walk and jump him, the wheel
// turns his plane about the vertical. The slideshow pushes it at its slide 3; "back" and "next"
// move the slideshow one slide and leave, Escape leaves without moving it.
class TutorialState : public State {
public:
    glm::mat4 projection3D{1.0f};
    glm::mat4 projection2D{1.0f};
    BitmapText text;
    TexturedQuad forgSprite;
    SolidQuad outline;
    Shader* quadShader = nullptr;
    gui::Interface gui;
    gui::Button backButton, nextButton;

    // The world's faces and block tetrahedra, the world's box, and the forg's billboard and its
    // outline. The world is the same on every visit, so its meshes are built once.
    MeshRenderer faceMesh, sliceMesh, boxMesh, forgMesh, forgOverlayMesh;
    tutorial::SpriteCell forgCell;  // what the forg's sprite and billboards show

    tutorial::Blocks blocks{};
    tutorial::Forg player;
    float yaw = 0.0f, pitch = 0.0f;  // the 3D view's orbit, radians
    bool dragging = false;
    glm::vec2 lastCursor{0.0f};

    void init(StateManager& s) override;
    void close(StateManager& s) override;
    void update(StateManager& s) override;
    void render(StateManager& s) override;
    void pause(StateManager&) override {}
    void resume(StateManager& s) override;
    void cursorPos(StateManager& s, double x, double y) override;
    void scroll(StateManager& s, double dx, double dy) override;
    void mouseButton(StateManager& s, int button, int action, int mods) override;
    void keyInput(StateManager& s, int key, int scancode, int action, int mods) override;
    void windowResize(StateManager& s, int width, int height) override;
    void charInput(StateManager& s, unsigned codePoint) override;

    // What every visit starts from, without GL: the world, the forg at his spawn, the camera,
    // and no key or drag carried over from the last visit.
    void resetScene();
    // Seconds, from the interface's clock.
    double now();

    // Drawing (TutorialRender.cpp).
    // The world's and the box's meshes, unless they are uploaded already.
    void buildMeshes();
    void setForgFrame(tutorial::SpriteCell cell);
    // The projections for a view of width x height pixels, and the 2D programs' "P".
    void updateProjection(int width, int height);
    // The two views, each into the GL viewport (x, y from the bottom left, width, height). The
    // 3D view leaves depth writes off.
    void drawWorldView(int x, int y, int width, int height);
    void drawSliceView(int x, int y, int width, int height);
    // The camera of the 3D view, and the forg's plane as a view: its origin at his feet, his
    // walking direction along -z and the side of the plane along x.
    glm::mat4 worldViewMatrix() const;
    glm::mat4 worldModelMatrix() const;
    glm::mat4 planeView() const;

    // "back" and "next": the slideshow one slide back or on, then this scene leaves.
    static void onBack(void* manager);
    static void onNext(void* manager);

    // Frees the GL objects; called before the context goes away.
    void releaseGl();

private:
    void chooseForgFrame();
};

extern TutorialState tutorialState;
