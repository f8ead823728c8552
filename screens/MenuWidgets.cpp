#include "screens/MenuWidgets.h"

namespace menu {

void setUpButton(gui::Button& button, const std::string& label, int width, int height, Place place,
                 void (*callback)(void*), void* userData) {
    button.label = label;
    button.enabled = true;
    button.pressed = false;
    button.selected = false;
    button.width = width;
    button.height = height;
    button.alignX = place.alignX;
    button.alignY = place.alignY;
    button.x = place.x;
    button.y = place.y;
    button.callback = callback;
    button.userData = userData;
}

void setUpText(gui::Text& text, const std::string& content, int scale, Place place, glm::vec4 color,
               bool shadow) {
    text.setText(content);
    text.scale = scale;
    text.alignX = place.alignX;
    text.alignY = place.alignY;
    text.x = place.x;
    text.y = place.y;
    text.color = color;
    text.shadow = shadow;
}

}  // namespace menu
