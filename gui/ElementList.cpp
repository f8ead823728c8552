#include "gui/ElementList.h"

#include "gui/Element.h"

#include <algorithm>

namespace gui {

void ElementList::addElement(Element* element) {
    elements.push_back(element);
    ++changeCount;
}

bool ElementList::removeElement(Element* element) {
    const int index = indexOf(element);
    if (index < 0) return false;
    if (Element* selected = selectedElement()) selected->deselect();
    selectedIndex = -1;
    elements.erase(elements.begin() + index);
    ++changeCount;
    return true;
}

bool ElementList::selectElement(Element* element) {
    if (!element) {
        if (Element* selected = selectedElement()) selected->deselect();
        selectedIndex = -1;
        return false;
    }
    const int index = indexOf(element);
    if (index < 0) return false;
    moveSelection(index);
    return true;
}

void ElementList::clearElements() {
    if (Element* selected = selectedElement()) selected->deselect();
    selectedIndex = -1;
    elements.clear();
    ++changeCount;
}

bool ElementList::isEmpty() { return elements.empty(); }

Element* ElementList::selectedElement() const {
    if (selectedIndex < 0 || selectedIndex >= static_cast<int>(elements.size())) return nullptr;
    return elements[selectedIndex];
}

void ElementList::moveSelection(int index) {
    Element* previous = selectedElement();
    if (previous && index != selectedIndex) previous->deselect();
    selectedIndex = index;
    elements[index]->select();
}

bool ElementList::routeMouseButton(Window& window, int button, int action, int mods) {
    const unsigned listVersion = changeCount;
    for (int i = static_cast<int>(elements.size()) - 1; i >= 0; --i) {
        const bool consumed = elements[i]->mouseButton(window, button, action, mods);
        if (changeCount != listVersion) return consumed;
        if (consumed) {
            moveSelection(i);
            return true;
        }
    }
    if (Element* selected = selectedElement()) selected->deselect();
    return false;
}

int ElementList::indexOf(const Element* element) const {
    auto it = std::find(elements.begin(), elements.end(), element);
    return it == elements.end() ? -1 : static_cast<int>(it - elements.begin());
}

}  // namespace gui
