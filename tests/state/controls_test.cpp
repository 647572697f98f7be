// The manual page and the README list the keys and options the game has, in the words of the one
// list in the code (state/controls.h) that --help and the help cards are drawn from. A key left
// out of a document, described otherwise, said to act on a press where it must be held (or the
// other way round), or a key or option a document names that the game does not have, fails here.
#include "state/controls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::vector<std::string> ReadLines(const fs::path& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The lines from the one that starts with `heading` to the next that starts with `next`.
std::vector<std::string> Section(const std::vector<std::string>& lines, const std::string& heading,
                                 const std::string& next) {
    std::vector<std::string> out;
    bool inside = false;
    for (const std::string& line : lines) {
        if (inside && line.rfind(next, 0) == 0) break;
        if (inside) out.push_back(line);
        if (line.rfind(heading, 0) == 0) inside = true;
    }
    return out;
}

std::string Trim(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t") + 1 - first);
}

// Man-page text as a reader sees it: escapes undone, quotes around a macro's argument taken off.
std::string FromRoff(std::string text) {
    text = std::regex_replace(text, std::regex(R"(\\-)"), "-");
    text = std::regex_replace(text, std::regex(R"(\\f[BIRP])"), "");
    text = Trim(text);
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        text = text.substr(1, text.size() - 2);
    return text;
}

// A sentence of the manual page in the list's form: no leading capital, no full stop.
std::string AsListText(std::string text) {
    text = FromRoff(text);
    if (!text.empty() && text.back() == '.') text.pop_back();
    if (!text.empty()) text[0] = static_cast<char>(std::tolower(text[0]));
    return text;
}

// One entry of a document's list of keys: its label, where it works and what it does.
struct Entry {
    std::string label;
    std::string where;
    std::string text;
    bool operator<(const Entry& o) const {
        return std::tie(label, where, text) < std::tie(o.label, o.where, o.text);
    }
};

std::string Describe(const Entry& e) { return e.label + " | " + e.where + " | " + e.text; }

std::multiset<Entry> TableEntries(bool keysOnly) {
    std::multiset<Entry> out;
    for (const Control& c : Controls()) {
        if (keysOnly && c.device != ControlDevice::KEY) continue;
        out.insert({ControlLabel(c), ControlScreensText(c.screens), c.english});
    }
    return out;
}

// The README's controls: the rows of the table under "## Controls".
std::multiset<Entry> ReadmeEntries(const std::vector<std::string>& readme) {
    std::multiset<Entry> out;
    for (const std::string& line : Section(readme, "## Controls", "## ")) {
        if (line.rfind("| ", 0) != 0 || line.rfind("| key or button", 0) == 0) continue;
        std::vector<std::string> cells;
        std::stringstream row(line.substr(1));
        for (std::string cell; std::getline(row, cell, '|');) cells.push_back(Trim(cell));
        if (cells.size() >= 3) out.insert({cells[0], cells[1], cells[2]});
    }
    return out;
}

// The manual page's keys: each ".TP" entry of the KEYS section, named by its ".B" line, with the
// first sentence of its text and the ".SS" heading it stands under.
std::multiset<Entry> ManEntries(const std::vector<std::string>& man) {
    std::multiset<Entry> out;
    const std::vector<std::string> keys = Section(man, ".SH KEYS", ".SH ");
    std::string where;
    for (size_t i = 0; i < keys.size(); ++i) {
        if (keys[i].rfind(".SS ", 0) == 0) {
            where = AsListText(keys[i].substr(4));
            std::transform(where.begin(), where.end(), where.begin(),
                           [](unsigned char c) { return std::tolower(c); });
        }
        if (keys[i] != ".TP" || i + 1 >= keys.size() || keys[i + 1].rfind(".B ", 0) != 0) continue;
        Entry e{FromRoff(keys[i + 1].substr(3)), where, ""};
        std::string sentence;
        for (size_t j = i + 2; j < keys.size() && keys[j][0] != '.'; ++j) {
            sentence += (sentence.empty() ? "" : " ") + keys[j];
            if (!sentence.empty() && sentence.back() == '.') break;
        }
        e.text = AsListText(sentence);
        out.insert(e);
    }
    return out;
}

// What differs between the list in the code and a document's, one line each.
std::vector<std::string> Differences(const std::multiset<Entry>& table,
                                     const std::multiset<Entry>& document) {
    std::vector<std::string> out;
    for (const Entry& e : table) {
        if (document.count(e) < table.count(e))
            out.push_back("missing or different: " + Describe(e));
    }
    for (const Entry& e : document) {
        if (table.count(e) < document.count(e))
            out.push_back("not in the game's list: " + Describe(e));
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

// The options a document names: every "--name" in the lines given.
std::set<std::string> OptionsNamed(const std::vector<std::string>& lines) {
    std::set<std::string> out;
    const std::regex option(R"(--[a-z][a-z-]*)");
    for (const std::string& raw : lines) {
        const std::string line = std::regex_replace(raw, std::regex(R"(\\-)"), "-");
        for (auto m = std::sregex_iterator(line.begin(), line.end(), option);
             m != std::sregex_iterator(); ++m) {
            out.insert(m->str());
        }
    }
    return out;
}

// The options the manual page gives an entry of their own: the ".TP" lines of OPTIONS.
std::vector<std::string> ManOptionHeads(const std::vector<std::string>& man) {
    const std::vector<std::string> options = Section(man, ".SH OPTIONS", ".SH ");
    std::vector<std::string> heads;
    for (size_t i = 0; i + 1 < options.size(); ++i) {
        if (options[i] == ".TP") heads.push_back(options[i + 1]);
    }
    return heads;
}

std::set<std::string> TableOptions() {
    std::set<std::string> out;
    for (const CommandOption& o : CommandOptions()) out.insert(o.name);
    return out;
}

const fs::path SOURCE = KELMORAV_SOURCE_DIR;

struct Document {
    const char* name;
    fs::path path;
};

void PrintTo(const Document& doc, std::ostream* os) { *os << doc.name; }

class ControlsDocumentTest : public ::testing::TestWithParam<Document> {};

TEST_P(ControlsDocumentTest, ListsEveryKeyAsTheGameDoes) {
    const Document& doc = GetParam();
    const std::vector<std::string> lines = ReadLines(doc.path);
    ASSERT_FALSE(lines.empty()) << doc.path;
    const bool man = doc.path.extension() == ".6";
    const std::vector<std::string> differences =
        man ? Differences(TableEntries(true), ManEntries(lines))
            : Differences(TableEntries(false), ReadmeEntries(lines));
    for (const std::string& d : differences) ADD_FAILURE() << doc.name << ": " << d;
}

TEST_P(ControlsDocumentTest, NamesEveryOptionAndNoOther) {
    const Document& doc = GetParam();
    const std::vector<std::string> lines = ReadLines(doc.path);
    const bool man = doc.path.extension() == ".6";
    const std::set<std::string> named =
        OptionsNamed(man ? ManOptionHeads(lines) : Section(lines, "## Command line", "## "));
    for (const std::string& option : TableOptions()) {
        EXPECT_TRUE(named.count(option)) << doc.name << " leaves out " << option;
    }
    for (const std::string& option : named) {
        EXPECT_TRUE(TableOptions().count(option))
            << doc.name << " names " << option << ", which the game's list of options lacks";
    }
}

INSTANTIATE_TEST_SUITE_P(Documents, ControlsDocumentTest,
                         ::testing::Values(Document{"README", SOURCE / "README.md"},
                                           Document{"manual page", SOURCE / "dist" / "kelmorav.6"}),
                         [](const auto& info) {
                             return info.param.path.extension() == ".6" ? "Manual" : "Readme";
                         });

}  // namespace
