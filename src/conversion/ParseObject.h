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

// An element for one document: keeps its path.
class DocumentElement : public ParseObject {
public:
    void init(const std::string& path) override { path_ = path; }
    const std::string& path() const { return path_; }

protected:
    std::string path_;
};

// A batch document: runs a DecObj.
class ParseObject1 : public DocumentElement {
public:
    void Execute() override;
};

// The single document: runs a DecObj2.
class ParseObject2 : public DocumentElement {
public:
    void Execute() override;
};

// A folder below a batch's source folder that could not be read: its own
// failed row, in its place in the batch.
class UnreadableFolder : public DocumentElement {
public:
    void setReason(std::string reason) { reason_ = std::move(reason); }
    void Execute() override;

private:
    std::string reason_;
};
