#pragma once
// The conversion jobs. Each treats one document: opens it in the word
// processor, has the macro played, writes the result, closes it, records its
// progress in the result list, and at its end issues the next-job command.
// Both can be driven by name ("Execute"), the way a Decorator runs them.
#include "base/late_binding.h"

#include <string>

// What both jobs share: the document's path, and "Execute" by name.
class ConversionJob : public LateBound {
public:
    void init(const std::string& path) { path_ = path; }
    virtual void Execute() = 0;

    Value call(std::string_view name, std::span<const Arg> args = {}) override;
    Value get(std::string_view name) override;

protected:
    // The job's class name, for errors about members it does not have.
    virtual const char* className() const = 0;
    std::string path_;
};

// The batch job: the result goes into the target folder under the
// document's own file name.
class DecObj : public ConversionJob {
public:
    void Execute() override;
    // Where the result of a document goes: the target folder, a backslash
    // (always inserted), and the document's path below the source folder
    // (its file name, for a document of the source folder itself).
    static std::string ResultPath(const std::string& document, const std::string& sourceFolder,
                                  const std::string& targetFolder);

protected:
    const char* className() const override { return "DecObj"; }
};

// The single-document job: the user names the result in a Save dialog.
// DecObj and DecObj2 are the jobs' established names, kept as they are.
class DecObj2 : public ConversionJob {
public:
    void Execute() override;

protected:
    const char* className() const override { return "DecObj2"; }
};

// A folder below a batch's source folder that could not be read: its row
// says "Failed" with the system's reason, it counts as one failed document,
// and the batch goes on.
void RecordUnreadableFolder(const std::string& folder, const std::string& reason);

namespace JobStatus {
inline constexpr const char* Converting = "Converting...";
inline constexpr const char* Converted = "Converted";
inline constexpr const char* Failed = "Failed";
} // namespace JobStatus
