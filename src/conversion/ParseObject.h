#pragma once
// Queue elements: one per document. Executing one builds the document's job,
// wraps it in a Decorator and lets the decorator run it.
#include <string>

class ParseObject {
public:
    virtual ~ParseObject() = default;
    virtual void init(const std::string&) {}
    virtual void Execute() {}
};

// A placeholder element without state.
class DummyObject : public ParseObject {};

// A batch document: runs a DecObj.
class ParseObject1 : public ParseObject {
public:
    void init(const std::string& path) override { path_ = path; }
    void Execute() override;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// The single document: runs a DecObj2.
class ParseObject2 : public ParseObject {
public:
    void init(const std::string& path) override { path_ = path; }
    void Execute() override;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};
