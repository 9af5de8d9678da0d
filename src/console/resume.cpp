#include "console/resume.h"

#include "base/error.h"
#include "base/file_services.h"
#include "base/text.h"
#include "console/batch_report.h"
#include "conversion/DecObj.h"

EarlierReport EarlierReport::read(std::string_view text, const std::string& path) {
    if (!isReportStart(text))
        throw AppError(ErrorNumber::InvalidFileFormat,
                       path + " is not a report of an earlier run: its first line is not " + kReportHeader);
    const auto records = csvRecords(text);
    EarlierReport report;
    const std::string converted = statusText(DocumentStatus::Converted);
    const std::string skipped = statusText(DocumentStatus::Skipped);
    for (std::size_t i = 1; i < records.size(); ++i) {
        const auto& record = records[i];
        if (record.size() >= 2 && (record[1] == converted || record[1] == skipped))
            report.converted_.insert(lowerCase(record[0]));
    }
    return report;
}

bool EarlierReport::convertedEarlier(const std::string& document) const {
    return converted_.count(lowerCase(document)) != 0;
}

bool skipOnResume(const EarlierReport& earlier, const std::string& document, const std::string& sourceFolder,
                  const std::string& targetFolder, FileServices& files) {
    return earlier.convertedEarlier(document) &&
           files.pathExists(DecObj::ResultPath(document, sourceFolder, targetFolder));
}

std::uint64_t shareHash(std::string_view upperRelative) {
    std::uint64_t hash = 0xcbf29ce484222325u;
    for (const char c : upperRelative) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3u;
    }
    return hash;
}
