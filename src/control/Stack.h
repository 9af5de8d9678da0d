#pragma once
// The work queue of the processing modes. In spite of its name it is first
// in, first out: elements run in the order they were added. It holds as
// many elements as memory allows.
#include "conversion/ParseObject.h"

#include <deque>
#include <memory>

class Stack {
public:
    // Appends the element as the newest.
    void add(std::shared_ptr<ParseObject> element);
    // Removes and answers the oldest element; none when empty.
    std::shared_ptr<ParseObject> NextElement();
    bool hasMoreElements() const { return !elements_.empty(); }
    std::size_t size() const { return elements_.size(); }

    // The rest of the queue's operations, kept complete (and tested) though
    // nothing in the program calls them.
    // The newest element, left in place; none when empty.
    std::shared_ptr<ParseObject> top() const;
    // The element added just before the newest; a new DummyObject when
    // fewer than two are held.
    std::shared_ptr<ParseObject> nextTop() const;
    // With two or more held, drops the two oldest; then appends.
    void NextElement2add(std::shared_ptr<ParseObject> element);
    // Looks at the two newest and answers false.
    bool topStack(const std::shared_ptr<ParseObject>& first,
                  const std::shared_ptr<ParseObject>& second) const;

private:
    std::deque<std::shared_ptr<ParseObject>> elements_;
};
