#include "macro.h"

#include "names.h"

#include <algorithm>
#include <charconv>
#include <vector>

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// One line split into its command word and its arguments: quoted texts
// (with the escapes \" \\ \n \r \t) or bare words such as numbers.
struct Line {
    std::string command;
    std::vector<std::string> args;
};

Line parseLine(std::string_view text, const std::string& where) {
    Line line;
    std::size_t i = 0;
    const auto skipBlanks = [&] {
        while (i < text.size() && isBlank(text[i]))
            ++i;
    };
    skipBlanks();
    while (i < text.size() && !isBlank(text[i]))
        line.command += text[i++];
    for (skipBlanks(); i < text.size(); skipBlanks()) {
        std::string arg;
        if (text[i] != '"') {
            while (i < text.size() && !isBlank(text[i]))
                arg += text[i++];
            line.args.push_back(std::move(arg));
            continue;
        }
        ++i;
        bool closed = false;
        while (i < text.size()) {
            const char c = text[i++];
            if (c == '"') {
                closed = true;
                break;
            }
            if (c != '\\') {
                arg += c;
                continue;
            }
            if (i == text.size())
                break;
            switch (const char e = text[i++]) {
            case '"':
            case '\\':
                arg += e;
                break;
            case 'n':
                arg += '\n';
                break;
            case 'r':
                arg += '\r';
                break;
            case 't':
                arg += '\t';
                break;
            default:
                throw MacroError("Unknown escape \\" + std::string(1, e) + " in " + where);
            }
        }
        if (!closed)
            throw MacroError("Unterminated text in " + where);
        if (i < text.size() && !isBlank(text[i]))
            throw MacroError("Missing blank after a text in " + where);
        line.args.push_back(std::move(arg));
    }
    return line;
}

void expectArgs(const Line& line, std::size_t count, const std::string& where) {
    if (line.args.size() != count)
        throw MacroError(line.command + " takes " + std::to_string(count) + " argument" +
                         (count == 1 ? "" : "s") + " in " + where);
}

void replaceAll(Document& document, const std::string& find, const std::string& with) {
    std::string result;
    std::size_t from = 0;
    std::size_t insertion = document.insertion;
    for (std::size_t at; (at = document.text.find(find, from)) != std::string::npos;
         from = at + find.size()) {
        result.append(document.text, from, at - from);
        result += with;
        // An insertion point after the occurrence moves with the text
        // behind it; one inside it goes to the end of the replacement.
        if (document.insertion >= at + find.size())
            insertion = insertion + with.size() - find.size();
        else if (document.insertion > at)
            insertion = result.size();
    }
    result.append(document.text, from);
    document.text = std::move(result);
    document.insertion = std::min(insertion, document.text.size());
}

} // namespace

MacroOutcome playMacro(std::string_view source, Document& document) {
    if (source.starts_with("\xEF\xBB\xBF"))
        source.remove_prefix(3);
    MacroOutcome outcome;
    int number = 0;
    while (!source.empty()) {
        const std::size_t end = std::min(source.find('\n'), source.size());
        std::string_view text = source.substr(0, end);
        source.remove_prefix(std::min(end + 1, source.size()));
        ++number;
        if (text.ends_with('\r'))
            text.remove_suffix(1);
        const std::string where = "macro line " + std::to_string(number) + ": " + std::string(text);
        const std::size_t first = text.find_first_not_of(" \t");
        if (first == std::string_view::npos || text[first] == '#')
            continue;
        const Line line = parseLine(text, where);
        if (sameName(line.command, "Top")) {
            expectArgs(line, 0, where);
            document.insertion = 0;
        } else if (sameName(line.command, "Bottom")) {
            expectArgs(line, 0, where);
            document.insertion = document.text.size();
        } else if (sameName(line.command, "Type")) {
            expectArgs(line, 1, where);
            document.text.insert(document.insertion, line.args[0]);
            document.insertion += line.args[0].size();
        } else if (sameName(line.command, "Replace")) {
            expectArgs(line, 2, where);
            if (line.args[0].empty())
                throw MacroError("Replace needs a text to find in " + where);
            replaceAll(document, line.args[0], line.args[1]);
        } else if (sameName(line.command, "Playing")) {
            expectArgs(line, 1, where);
            unsigned ms = 0;
            const std::string& arg = line.args[0];
            const auto [end_, error] = std::from_chars(arg.data(), arg.data() + arg.size(), ms);
            if (error != std::errc{} || end_ != arg.data() + arg.size())
                throw MacroError("Playing needs a number of milliseconds in " + where);
            outcome.playingMilliseconds += ms;
        } else if (sameName(line.command, "Error")) {
            expectArgs(line, 1, where);
            throw MacroError(line.args[0]);
        } else {
            throw MacroError("Unknown macro command in " + where);
        }
    }
    return outcome;
}
