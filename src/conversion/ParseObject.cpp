#include "conversion/ParseObject.h"

#include "conversion/DecObj.h"
#include "conversion/Decorator.h"

#include <memory>

namespace {
template <typename Job> void runThroughDecorator(const std::string& path) {
    auto decorator = std::make_shared<Decorator>();
    auto job = std::make_shared<Job>();
    job->init(path);
    AbstractDecorator& asInterface = *decorator;
    asInterface.init(job);
    decorator->ShowIt();
}
} // namespace

void ParseObject1::Execute() {
    runThroughDecorator<DecObj>(path_);
}
void ParseObject2::Execute() {
    runThroughDecorator<DecObj2>(path_);
}
void UnreadableFolder::Execute() {
    RecordUnreadableFolder(path_, reason_);
}
