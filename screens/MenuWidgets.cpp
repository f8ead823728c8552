#include "screens/MenuWidgets.h"

namespace menu {

void place(gui::PlacedElement& element, Place where) {
    element.alignX = where.alignX;
    element.alignY = where.alignY;
    element.x = where.x;
    element.y = where.y;
}

void setUpButton(gui::Button& button, const std::string& label, int width, int height, Place place,
                 void (*callback)(void*), void* userData) {
    button.label = label;
    button.enabled = true;
    button.pressed = false;
    button.selected = false;
    button.width = width;
    button.height = height;
    menu::place(button, place);
    button.callback = callback;
    button.userData = userData;
}

void setUpText(gui::Text& text, const std::string& content, int scale, Place place, glm::vec4 color,
               bool shadow) {
    text.setText(content);
    text.scale = scale;
    menu::place(text, place);
    text.color = color;
    text.shadow = shadow;
}

}  // namespace menu
