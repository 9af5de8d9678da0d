#include "base/result_list.h"

#include "base/error.h"

#include <algorithm>

namespace {
const std::string kEmpty;

char fold(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Without the system's comparison: the letters A to Z without regard to
// case, every other character by its bytes.
int foldedAscii(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto x = static_cast<unsigned char>(fold(a[i]));
        const auto y = static_cast<unsigned char>(fold(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

TextCollation collation = &foldedAscii;
} // namespace

void setTextCollation(TextCollation compare) {
    collation = compare != nullptr ? compare : &foldedAscii;
}

int compareListText(std::string_view a, std::string_view b) {
    if (const int c = collation(a, b); c != 0)
        return c < 0 ? -1 : 1;
    // Texts the comparison holds equal (é and É) keep one order.
    return a.compare(b) < 0 ? -1 : (a.compare(b) > 0 ? 1 : 0);
}

void ResultList::clear() {
    rows_.clear();
    order_.clear();
    byKey_.clear();
    if (observer_)
        observer_->rowsCleared();
}

// Descending by text; rows with equal texts keep the order they were added in.
bool ResultList::before(std::uint32_t a, std::uint32_t b) const {
    const int c = compareListText(rows_[a].text, rows_[b].text);
    return c != 0 ? c > 0 : a < b;
}

std::size_t ResultList::positionOf(std::uint32_t id) const {
    auto it = std::lower_bound(order_.begin(), order_.end(), id,
                               [this](std::uint32_t x, std::uint32_t y) { return before(x, y); });
    return static_cast<std::size_t>(it - order_.begin());
}

void ResultList::addRow(const std::string& key, const std::string& text) {
    if (byKey_.count(key) != 0)
        throw AppError(ErrorNumber::KeyNotUnique, "Key is not unique in collection", "ListView1");
    const auto id = static_cast<std::uint32_t>(rows_.size());
    rows_.push_back(Row{key, text, {}, {}});
    byKey_.emplace(key, id);
    const std::size_t index = positionOf(id);
    order_.insert(order_.begin() + static_cast<std::ptrdiff_t>(index), id);
    if (observer_)
        observer_->rowInserted(index);
}

std::uint16_t ResultList::statusId(const std::string& status) {
    auto it = std::find(statusTexts_.begin(), statusTexts_.end(), status);
    if (it != statusTexts_.end())
        return static_cast<std::uint16_t>(it - statusTexts_.begin());
    statusTexts_.push_back(status);
    return static_cast<std::uint16_t>(statusTexts_.size() - 1);
}

void ResultList::insertStatus(const std::string& key, const std::string& status, const std::string& reason) {
    auto it = byKey_.find(key);
    if (it == byKey_.end())
        throw AppError(ErrorNumber::ElementNotFound, "Element not found", "ListView1");
    Row& row = rows_[it->second];
    row.statuses.push_back(statusId(status));
    row.reason = reason;
    if (observer_)
        observer_->rowChanged(positionOf(it->second));
}

const std::string& ResultList::text(std::size_t index) const {
    return rows_.at(order_.at(index)).text;
}
const std::string& ResultList::key(std::size_t index) const {
    return rows_.at(order_.at(index)).key;
}

const std::string& ResultList::status(std::size_t index) const {
    const Row& row = rows_.at(order_.at(index));
    return row.statuses.empty() ? kEmpty : statusTexts_[row.statuses.back()];
}

const std::string& ResultList::reason(std::size_t index) const {
    return rows_.at(order_.at(index)).reason;
}

std::vector<std::string> ResultList::history(const std::string& key) const {
    std::vector<std::string> result;
    auto it = byKey_.find(key);
    if (it == byKey_.end())
        return result;
    const Row& row = rows_[it->second];
    for (auto s = row.statuses.rbegin(); s != row.statuses.rend(); ++s)
        result.push_back(statusTexts_[*s]);
    return result;
}

std::optional<std::size_t> ResultList::indexOf(const std::string& key) const {
    auto it = byKey_.find(key);
    if (it == byKey_.end())
        return std::nullopt;
    return positionOf(it->second);
}

namespace {
// A cell keeps to its place: a tab or line break inside a server's
// description would otherwise start a new cell or a new row.
void appendCell(std::string& out, const std::string& cell) {
    for (char c : cell)
        out += (c == '\t' || c == '\r' || c == '\n') ? ' ' : c;
}
} // namespace

std::string rowsAsText(const ResultList& rows, std::optional<std::size_t> only) {
    std::string out;
    const std::size_t first = only.value_or(0);
    const std::size_t end = only ? std::min(first + 1, rows.count()) : rows.count();
    for (std::size_t i = first; i < end; ++i) {
        appendCell(out, rows.text(i));
        out += '\t';
        appendCell(out, rows.status(i));
        out += '\t';
        appendCell(out, rows.reason(i));
        out += "\r\n";
    }
    return out;
}
