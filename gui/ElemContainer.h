#pragma once

namespace gui {

class Element;

// An ordered list of children with at most one selected child.
class ElemContainer {
public:
    virtual ~ElemContainer() = default;

    virtual void addElement(Element* element) = 0;
    virtual bool removeElement(Element* element) = 0;
    // Null deselects; false when the element is not a child (or null).
    virtual bool selectElement(Element* element) = 0;
    virtual void clearElements() = 0;
    virtual bool isEmpty() = 0;
};

}  // namespace gui
