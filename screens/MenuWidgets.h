#pragma once

#include "gui/Button.h"
#include "gui/Text.h"

#include <glm/vec4.hpp>

#include <string>

// Setting up the widgets of the menu screens from their tables.
namespace menu {

// Alignment values of the widget toolkit.
constexpr int left = 0, top = 0, right = 1, bottom = 1, centred = 2;

// Where a widget sits: alignment on each axis and the offset from that edge or the centre.
struct Place {
    int alignX = centred, alignY = centred;
    int x = 0, y = 0;
};

// Puts a widget at its place.
void place(gui::PlacedElement& element, Place where);

void setUpButton(gui::Button& button, const std::string& label, int width, int height, Place place,
                 void (*callback)(void*), void* userData);
void setUpText(gui::Text& text, const std::string& content, int scale, Place place,
               glm::vec4 color = glm::vec4(1.0f), bool shadow = true);

}  // namespace menu
