#include "control/Stack.h"

void Stack::add(std::shared_ptr<ParseObject> element) {
    elements_.push_back(std::move(element));
}

std::shared_ptr<ParseObject> Stack::NextElement() {
    if (elements_.empty())
        return nullptr;
    auto oldest = std::move(elements_.front());
    elements_.pop_front();
    return oldest;
}

std::shared_ptr<ParseObject> Stack::top() const {
    return elements_.empty() ? nullptr : elements_.back();
}

std::shared_ptr<ParseObject> Stack::nextTop() const {
    if (elements_.size() < 2)
        return std::make_shared<DummyObject>();
    return elements_[elements_.size() - 2];
}

void Stack::NextElement2add(std::shared_ptr<ParseObject> element) {
    if (elements_.size() >= 2) {
        elements_.pop_front();
        elements_.pop_front();
    }
    elements_.push_back(std::move(element));
}

bool Stack::topStack(const std::shared_ptr<ParseObject>&, const std::shared_ptr<ParseObject>&) const {
    (void)top();
    (void)nextTop();
    return false;
}
