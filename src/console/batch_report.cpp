#include "console/batch_report.h"

#include "console/console_ports.h"

#include <cmath>
#include <cstdint>

std::string statusText(DocumentStatus status) {
    switch (status) {
    case DocumentStatus::Converted:
        return "Converted";
    case DocumentStatus::Failed:
        return "Failed";
    case DocumentStatus::Skipped:
        return "Skipped";
    case DocumentStatus::NotStarted:
        return "Not started";
    case DocumentStatus::Listed:
        return "Listed";
    }
    return {};
}

std::string fixedDecimals(double value, int decimals) {
    // Whole numbers of the last decimal, so that neither the locale nor the
    // library's floating-point formatting has a say.
    std::int64_t scale = 1;
    for (int i = 0; i < decimals; ++i)
        scale *= 10;
    const std::int64_t units = value > 0 ? std::llround(value * static_cast<double>(scale)) : 0;
    std::string text = std::to_string(units / scale);
    if (decimals > 0) {
        const std::string fraction = std::to_string(units % scale);
        text += '.';
        text.append(static_cast<std::size_t>(decimals) - fraction.size(), '0');
        text += fraction;
    }
    return text;
}

std::string csvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos)
        return std::string(text);
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

std::vector<std::vector<std::string>> csvRecords(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    std::vector<std::vector<std::string>> records;
    std::vector<std::string> record;
    std::string field;
    bool quoted = false;
    bool any = false; // the record has begun
    const auto endRecord = [&] {
        record.push_back(std::move(field));
        records.push_back(std::move(record));
        record.clear();
        field.clear();
        any = false;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c != '"')
                field += c;
            else if (i + 1 < text.size() && text[i + 1] == '"')
                field += text[++i];
            else
                quoted = false;
            continue;
        }
        if (c == '"' && field.empty()) {
            quoted = any = true;
        } else if (c == ',') {
            record.push_back(std::move(field));
            field.clear();
            any = true;
        } else if (c == '\n' || (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) {
            if (c == '\r')
                ++i;
            endRecord();
        } else {
            field += c;
            any = true;
        }
    }
    if (any || !field.empty())
        endRecord();
    return records;
}

bool isReportStart(std::string_view text) {
    std::string_view line = text.substr(0, text.find('\n'));
    if (line.ends_with('\r'))
        line.remove_suffix(1);
    const auto records = csvRecords(line);
    return !records.empty() &&
           records[0] == std::vector<std::string>{"document", "status", "reason", "seconds"};
}

BatchReport::BatchReport(std::unique_ptr<ReportFile> file) : file_(std::move(file)) {}

void BatchReport::begin() {
    file_->restart();
    file_->append(std::string("\xEF\xBB\xBF") + kReportHeader + "\r\n");
}

void BatchReport::add(const std::string& document, DocumentStatus status, const std::string& reason,
                      double seconds) {
    file_->append(csvField(document) + "," + csvField(statusText(status)) + "," + csvField(reason) + "," +
                  fixedDecimals(seconds, 3) + "\r\n");
}
