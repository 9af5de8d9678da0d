#include "conversion/Decorator.h"

#include "base/error.h"

void Decorator::ShowIt() {
    required(wrapped_, "the decorator wraps no object", "Decorator").call("Execute");
}

Value Decorator::call(std::string_view name, std::span<const Arg>) {
    if (name == "ShowIt") {
        ShowIt();
        return {};
    }
    throwNoSuchMember(name, "Decorator");
}

Value Decorator::get(std::string_view name) {
    throwNoSuchMember(name, "Decorator");
}

void ReDecorator::initFrom(std::shared_ptr<AbstractDecorator> source) {
    source_ = source ? std::move(source) : std::make_shared<AbstractDecorator>();
    wrapped_ = source_->getobject();
}

void ReDecorator::initContents(std::shared_ptr<LateBound> decorator) {
    // Only a Decorator can be taken as one; anything else is a type mismatch.
    auto asDecorator = std::dynamic_pointer_cast<Decorator>(decorator);
    if (decorator && !asDecorator)
        throw AppError(ErrorNumber::TypeMismatch, "Type mismatch: not a Decorator", "ReDecorator");
    initFrom(asDecorator);
}
