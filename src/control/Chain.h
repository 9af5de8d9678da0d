#pragma once
// The extension filter chain: decides whether a file counts as a document.
// The verdict is left in General::ExtAccepted, which the caller clears just
// before a request and reads just after; sendToChain always answers false.
#include <memory>
#include <string>

class Chain {
public:
    virtual ~Chain() = default;
    virtual void addChain(std::shared_ptr<Chain> link) = 0;
    // Lower-cases the caller's extension on the way.
    virtual bool sendToChain(std::string& extension) = 0;
    virtual std::shared_ptr<Chain> getChain() = 0;
    virtual bool hasChain() = 0;
};

// A link that holds a successor.
class LinkedChain : public Chain {
public:
    void addChain(std::shared_ptr<Chain> link) override {
        successor_ = std::move(link);
        hasSuccessor_ = true;
    }
    std::shared_ptr<Chain> getChain() override { return successor_; }
    bool hasChain() override { return hasSuccessor_; }

protected:
    void passOn(std::string& extension);

private:
    std::shared_ptr<Chain> successor_;
    bool hasSuccessor_ = false;
};

// The list test: accepted when an entry of the extension list equals the
// extension without regard to case.
class Chain1 : public LinkedChain {
public:
    bool sendToChain(std::string& extension) override;
};

// Passes the request on.
class Chain2 : public LinkedChain {
public:
    bool sendToChain(std::string& extension) override;
};

// Passes the request on.
class Chain3 : public LinkedChain {
public:
    bool sendToChain(std::string& extension) override;
};

// The end of the chain: refuses.
class NoCmd : public Chain {
public:
    void addChain(std::shared_ptr<Chain>) override {}
    bool sendToChain(std::string& extension) override;
    std::shared_ptr<Chain> getChain() override { return nullptr; }
    bool hasChain() override { return false; }
};

// A new chain Chain1 -> Chain2 -> Chain3 -> NoCmd; answers its head.
std::shared_ptr<Chain> BuildExtensionChain();
// One request: clears ExtAccepted, sends the extension in, reads the verdict.
bool ExtensionAccepted(Chain& head, std::string& extension);
