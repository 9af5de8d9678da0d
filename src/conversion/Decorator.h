#pragma once
// Decorators wrap a conversion job and run it by name.
#include "base/late_binding.h"

#include <memory>

class AbstractDecorator {
public:
    virtual ~AbstractDecorator() = default;
    virtual void init(std::shared_ptr<LateBound>) {}
    virtual void initContents(std::shared_ptr<LateBound>) {}
    virtual std::shared_ptr<LateBound> getobject() { return nullptr; }
    virtual void ShowIt() {}
};

class Decorator : public AbstractDecorator, public LateBound {
public:
    // Keeps the object as the wrapped object.
    void init(std::shared_ptr<LateBound> object) override { wrapped_ = std::move(object); }
    // Keeps a contents object, which nothing reads.
    void initContents(std::shared_ptr<LateBound> object) override { contents_ = std::move(object); }
    std::shared_ptr<LateBound> getobject() override { return wrapped_; }
    // Runs "Execute" on the wrapped object by name; without one, fails.
    void ShowIt() override;

    // A decorator can itself be wrapped: it answers getobject by name.
    Value call(std::string_view name, std::span<const Arg> args = {}) override;
    Value get(std::string_view name) override;

private:
    std::shared_ptr<LateBound> wrapped_;
    std::shared_ptr<LateBound> contents_;
};

// Kept complete (and tested) with the decorators' family, though nothing in
// the program uses it.
class ReDecorator : public AbstractDecorator {
public:
    // Takes the given decorator as its source (an empty AbstractDecorator
    // when none is given) and wraps what that source wraps.
    void initFrom(std::shared_ptr<AbstractDecorator> source);
    void init(std::shared_ptr<LateBound>) override {}
    // Takes the given object as a Decorator and wraps what it wraps.
    void initContents(std::shared_ptr<LateBound> decorator) override;
    std::shared_ptr<LateBound> getobject() override { return wrapped_; }
    void ShowIt() override {}

private:
    std::shared_ptr<AbstractDecorator> source_;
    std::shared_ptr<LateBound> wrapped_;
};
