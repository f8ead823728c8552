#pragma once

#include "gui/ElemContainer.h"

#include <vector>

namespace gui {

class Window;

// The children of an interface or a content box. Every change of the list bumps changeCount:
// a widget callback may clear or rebuild the list while an event is being dispatched over it
// (a button that pops its screen), and a dispatch loop must stop as soon as that happened.
class ElementList : public ElemContainer {
public:
    std::vector<Element*> elements;  // drawing order, not owned
    int selectedIndex = -1;          // -1 = none
    unsigned changeCount = 0;

    void addElement(Element* element) override;
    bool removeElement(Element* element) override;
    bool selectElement(Element* element) override;
    void clearElements() override;
    bool isEmpty() override;

    Element* selectedElement() const;
    // Makes elements[index] the selected child, deselecting the previous one.
    void moveSelection(int index);
    // Offers a button event to the children from the topmost down; the consumer becomes the
    // selected child. Nobody consuming deselects the selected child but keeps selectedIndex.
    bool routeMouseButton(Window& window, int button, int action, int mods);

protected:
    int indexOf(const Element* element) const;
};

}  // namespace gui
