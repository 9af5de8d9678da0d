#include "control/Chain.h"

#include "base/text.h"
#include "base/views.h"
// From the spine above: the extension manager's list and the answer flag,
// through General, as every link of the chain reads them.
#include "core/General.h"

void LinkedChain::passOn(std::string& extension) {
    if (successor_)
        successor_->sendToChain(extension);
}

bool Chain1::sendToChain(std::string& extension) {
    extension = lowerCase(extension);
    // The list is read from the extension manager each time, loading the
    // window if it is not loaded. Every entry is compared; entries are not
    // trimmed, so one with a dot or a blank never matches.
    ExtensionListView& list = General::forms().frmExtension();
    const int count = list.ListCount();
    for (int i = 0; i < count; ++i)
        if (lowerCase(list.List(i)) == extension)
            General::ExtAccepted = true;
    if (!General::ExtAccepted)
        passOn(extension);
    return false;
}

bool Chain2::sendToChain(std::string& extension) {
    extension = lowerCase(extension);
    passOn(extension);
    return false;
}

bool Chain3::sendToChain(std::string& extension) {
    extension = lowerCase(extension);
    passOn(extension);
    return false;
}

bool NoCmd::sendToChain(std::string&) {
    General::ExtAccepted = false;
    return false;
}

std::shared_ptr<Chain> BuildExtensionChain() {
    auto first = std::make_shared<Chain1>();
    auto second = std::make_shared<Chain2>();
    auto third = std::make_shared<Chain3>();
    auto last = std::make_shared<NoCmd>();
    first->addChain(second);
    second->addChain(third);
    third->addChain(last);
    return first;
}

bool ExtensionAccepted(Chain& head, std::string& extension) {
    General::ExtAccepted = false;
    head.sendToChain(extension);
    return General::ExtAccepted;
}
