#pragma once
// The rows of the main window's result list, kept in the list's own order:
// sorted descending by the "File Name:" text, wherever a row was added. Each
// row keeps its status history, newest first; the "Status:" column shows the
// newest. Rows are found by key through a hash and placed by binary search,
// so a batch of many thousand documents costs no linear search per update.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class ResultList {
public:
    // Told of every change so that a window can redraw what changed.
    class Observer {
    public:
        virtual ~Observer() = default;
        virtual void rowsCleared() = 0;
        virtual void rowInserted(std::size_t index) = 0;
        virtual void rowChanged(std::size_t index) = 0;
    };

    void setObserver(Observer* observer) { observer_ = observer; }

    void clear();
    // Adds a row; raises AppError (key not unique) when the key is taken.
    void addRow(const std::string& key, const std::string& text);
    // Puts a status in front of the row's history, with the reason for it
    // (why a document failed; empty for the others); raises AppError when no
    // row has the key.
    void insertStatus(const std::string& key, const std::string& status, const std::string& reason = {});

    std::size_t count() const { return order_.size(); }
    // Row at a display position, 0 first.
    const std::string& text(std::size_t index) const;
    const std::string& key(std::size_t index) const;
    // The newest status, or empty text when the row has none.
    const std::string& status(std::size_t index) const;
    // The reason given with the newest status, or empty text.
    const std::string& reason(std::size_t index) const;
    // The whole history of the row with this key, newest first.
    std::vector<std::string> history(const std::string& key) const;
    std::optional<std::size_t> indexOf(const std::string& key) const;

private:
    struct Row {
        std::string key;
        std::string text;
        std::vector<std::uint16_t> statuses; // ids into statusTexts_, oldest first
        std::string reason;                  // of the newest status
    };
    bool before(std::uint32_t a, std::uint32_t b) const; // display order
    std::size_t positionOf(std::uint32_t id) const;
    std::uint16_t statusId(const std::string& status);

    std::vector<Row> rows_;            // by id, in the order they were added
    std::vector<std::uint32_t> order_; // ids in display order
    std::unordered_map<std::string, std::uint32_t> byKey_;
    std::vector<std::string> statusTexts_; // the few distinct status texts
    Observer* observer_ = nullptr;         // not owned
};

// Orders two texts the way the list sorts them: by the comparison the lists
// of the system use (the user's language, without regard to case), then by
// their exact characters. It also orders the hidden file list, and so the
// documents of a batch.
int compareListText(std::string_view a, std::string_view b);
// The comparison of texts without regard to case: negative, zero or
// positive. The platform installs the system's; without one (or given
// nullptr) the letters A to Z are compared without regard to case and every
// other character by its bytes.
using TextCollation = int (*)(std::string_view a, std::string_view b);
void setTextCollation(TextCollation compare);

// The rows as text to paste into a mail or a spreadsheet: path, status and
// reason separated by tabs, one row a line, each line ending in CR LF. Every
// row, or only the one at the display position given.
std::string rowsAsText(const ResultList& rows, std::optional<std::size_t> only = std::nullopt);
