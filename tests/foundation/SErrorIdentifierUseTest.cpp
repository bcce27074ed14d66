// Every error identifier word the program's sources name must be registered: a misspelt word
// silently becomes error 1 ("Error"), which no caller compares equal and no script recognises.
// The scan reads the source tree (tests excluded: they name unknown words on purpose), follows
// every helper that hands a `const char*` parameter on to ErrorFromIdentifier (a function, a
// lambda, a table of words indexed by a code) and checks each word against the registry. Only
// foundation registers definitions, so this suite, which links foundation alone, sees them all.
#include "SError.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

enum class STokenKind { Word, String, Other };

struct SToken
{
    STokenKind kind;
    std::string text;  // a string literal's contents without its quotes, escapes kept
    int line;
};

using STokens = std::vector<SToken>;

bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// Words, string literals and single punctuation characters; comments and character literals
// dropped. Enough C++ for the shapes below (the sources use no raw strings).
STokens Tokens(const std::string& text)
{
    STokens tokens;
    int line = 1;
    std::size_t i = 0;
    const std::size_t n = text.size();
    auto skipTo = [&](std::size_t end) {
        line += static_cast<int>(std::count(text.begin() + std::ptrdiff_t(i), text.begin() + std::ptrdiff_t(end), '\n'));
        i = end;
    };
    while (i < n) {
        const char c = text[i];
        if (c == '/' && i + 1 < n && text[i + 1] == '/') {
            skipTo(std::min(text.find('\n', i), n));
        } else if (c == '/' && i + 1 < n && text[i + 1] == '*') {
            const std::size_t end = text.find("*/", i + 2);
            skipTo(end == std::string::npos ? n : end + 2);
        } else if (c == '"' || c == '\'') {
            std::size_t j = i + 1;
            while (j < n && text[j] != c && text[j] != '\n')
                j += text[j] == '\\' ? 2 : 1;
            j = std::min(j, n);
            if (c == '"')
                tokens.push_back({STokenKind::String, text.substr(i + 1, j - i - 1), line});
            skipTo(std::min(j + 1, n));
        } else if (IsWordChar(c)) {
            // Numbers ride along as words; a digit separator (1'000) stays inside them.
            const bool number = std::isdigit(static_cast<unsigned char>(c));
            std::size_t j = i + 1;
            while (j < n && (IsWordChar(text[j]) || (number && (text[j] == '\'' || text[j] == '.'))))
                ++j;
            tokens.push_back({STokenKind::Word, text.substr(i, j - i), line});
            i = j;
        } else {
            if (!std::isspace(static_cast<unsigned char>(c)))
                tokens.push_back({STokenKind::Other, std::string(1, c), line});
            line += c == '\n';
            ++i;
        }
    }
    return tokens;
}

bool Is(const STokens& tokens, std::size_t at, const char* text)
{
    return at < tokens.size() && tokens[at].kind != STokenKind::String && tokens[at].text == text;
}

bool IsOpening(const SToken& t) { return t.kind == STokenKind::Other && (t.text == "(" || t.text == "[" || t.text == "{"); }
bool IsClosing(const SToken& t) { return t.kind == STokenKind::Other && (t.text == ")" || t.text == "]" || t.text == "}"); }

// The index of the bracket closing the one at `open`, or tokens.size().
std::size_t Closing(const STokens& tokens, std::size_t open)
{
    int depth = 0;
    for (std::size_t i = open; i < tokens.size(); ++i) {
        depth += IsOpening(tokens[i]) ? 1 : IsClosing(tokens[i]) ? -1 : 0;
        if (depth == 0)
            return i;
    }
    return tokens.size();
}

// The token ranges of the arguments between the bracket at `open` and its partner.
std::vector<std::pair<std::size_t, std::size_t>> Arguments(const STokens& tokens, std::size_t open)
{
    std::vector<std::pair<std::size_t, std::size_t>> arguments;
    const std::size_t close = Closing(tokens, open);
    std::size_t begin = open + 1;
    int depth = 0;
    for (std::size_t i = open + 1; i < close; ++i) {
        depth += IsOpening(tokens[i]) ? 1 : IsClosing(tokens[i]) ? -1 : 0;
        if (depth == 0 && Is(tokens, i, ",")) {
            arguments.emplace_back(begin, i);
            begin = i + 1;
        }
    }
    if (begin < close)
        arguments.emplace_back(begin, close);
    return arguments;
}

std::string Joined(const STokens& tokens, std::size_t begin, std::size_t end)
{
    std::string joined;
    for (std::size_t i = begin; i < end; ++i)
        joined += (i == begin ? "" : " ") + tokens[i].text;
    return joined;
}

struct SSource
{
    std::string file;  // relative to the source folder
    STokens tokens;
};

struct SUse
{
    std::string file;
    int line;
    std::string word;
    std::string shape;
};

// The callables whose argument at a position is an identifier word, by name and the file they
// are followed in: helpers declared in a header in every file (""), others only in their own.
using SHelpers = std::map<std::pair<std::string, std::string>, std::size_t>;

struct SScan
{
    std::vector<SUse> uses;
    std::vector<std::string> unfollowed;  // "file:line: argument" the scan could not trace to words
    SHelpers helpers;
};

// The helper a `const char* name` parameter belongs to, found from a use of it at `at`: the
// nearest declaration before it, then the function or the lambda variable owning that list.
// Gives false when the value does not come from such a parameter.
bool HelperOwning(const SSource& source, std::size_t at, const std::string& name, std::string& helper,
                  std::size_t& parameter)
{
    const STokens& t = source.tokens;
    std::size_t decl = 0;
    for (std::size_t d = at; d-- > 3 && decl == 0;)
        if (t[d].kind == STokenKind::Word && t[d].text == name && Is(t, d - 1, "*") && Is(t, d - 2, "char") &&
            Is(t, d - 3, "const") && (Is(t, d + 1, ",") || Is(t, d + 1, ")")))
            decl = d;
    if (decl == 0)
        return false;
    // Back to the list's opening parenthesis, counting the parameters before this one.
    parameter = 0;
    std::size_t open = 0;
    int depth = 0;
    for (std::size_t i = decl - 3; i-- > 0 && open == 0;) {
        if (IsClosing(t[i]))
            ++depth;
        else if (IsOpening(t[i]) && depth-- == 0)
            open = i;
        else if (depth == 0 && Is(t, i, ","))
            ++parameter;
    }
    if (open == 0 || !Is(t, open, "("))
        return false;
    if (t[open - 1].kind == STokenKind::Word) {
        helper = t[open - 1].text;
        return true;
    }
    // A lambda: `name = [captures](parameters)`.
    if (!Is(t, open - 1, "]"))
        return false;
    std::size_t j = open - 1;
    for (depth = 0; j > 0; --j) {
        depth += IsClosing(t[j]) ? 1 : IsOpening(t[j]) ? -1 : 0;
        if (depth == 0)
            break;
    }
    if (j < 2 || !Is(t, j - 1, "=") || t[j - 2].kind != STokenKind::Word)
        return false;
    helper = t[j - 2].text;
    return true;
}

bool IsCall(const STokens& t, std::size_t at)
{
    // `SError Name(` declares or defines the helper; a call follows punctuation or a keyword.
    if (at == 0 || t[at - 1].kind != STokenKind::Word)
        return true;
    const std::string& before = t[at - 1].text;
    return before == "return" || before == "else" || before == "co_return" || before == "throw";
}

// Adds the words of table `name` (`name[] = {...}`) in the source.
bool AddTable(SScan& scan, const SSource& source, const std::string& name)
{
    const STokens& t = source.tokens;
    bool found = false;
    for (std::size_t i = 0; i + 4 < t.size(); ++i) {
        if (t[i].kind != STokenKind::Word || t[i].text != name || !Is(t, i + 1, "[") || !Is(t, i + 2, "]") ||
            !Is(t, i + 3, "=") || !Is(t, i + 4, "{"))
            continue;
        found = true;
        for (std::size_t j = i + 5; j < Closing(t, i + 4); ++j)
            if (t[j].kind == STokenKind::String)
                scan.uses.push_back({source.file, t[j].line, t[j].text, name + "[]"});
    }
    return found;
}

// One argument that should hold words: its string literals, or the helper or table it comes from.
// Gives true when it made a helper known that the scan has not followed yet.
bool TraceArgument(SScan& scan, const SSource& source, std::size_t call, std::size_t begin, std::size_t end,
                   bool record)
{
    const STokens& t = source.tokens;
    bool literal = false;
    for (std::size_t i = begin; i < end; ++i)
        if (t[i].kind == STokenKind::String) {
            literal = true;
            if (record)
                scan.uses.push_back({source.file, t[i].line, t[i].text, t[call].text});
        }
    if (literal)
        return false;
    std::string helper;
    std::size_t parameter = 0;
    if (end == begin + 1 && t[begin].kind == STokenKind::Word &&
        HelperOwning(source, begin, t[begin].text, helper, parameter)) {
        const bool header = source.file.ends_with(".h");
        return scan.helpers.try_emplace({helper, header ? "" : source.file}, parameter).second;
    }
    // `table[code]`: a table of words in the same file.
    if (end > begin + 1 && t[begin].kind == STokenKind::Word && Is(t, begin + 1, "[") && record &&
        AddTable(scan, source, t[begin].text))
        return false;
    if (record)
        scan.unfollowed.push_back(source.file + ":" + std::to_string(t[begin < end ? begin : call].line) + ": " +
                                  t[call].text + "(" + Joined(t, begin, end) + ")");
    return false;
}

// One pass over a source: the calls of every known helper, and comparisons of ErrorIdentifier's
// word. Gives true when it found a new helper.
bool ScanSource(SScan& scan, const SSource& source, bool record)
{
    const STokens& t = source.tokens;
    bool grown = false;
    for (std::size_t i = 0; i + 1 < t.size(); ++i) {
        if (t[i].kind != STokenKind::Word || !Is(t, i + 1, "("))
            continue;
        if (t[i].text == "ErrorIdentifier") {
            const std::size_t close = Closing(t, i + 1);
            const bool compared = (Is(t, close + 1, "=") || Is(t, close + 1, "!")) && Is(t, close + 2, "=");
            if (record && compared && close + 3 < t.size() && t[close + 3].kind == STokenKind::String)
                scan.uses.push_back({source.file, t[close + 3].line, t[close + 3].text, "ErrorIdentifier() =="});
            continue;
        }
        auto helper = scan.helpers.find({t[i].text, source.file});
        if (helper == scan.helpers.end())
            helper = scan.helpers.find({t[i].text, ""});
        if (helper == scan.helpers.end() || !IsCall(t, i))
            continue;
        const auto arguments = Arguments(t, i + 1);
        if (helper->second < arguments.size()) {
            const auto [begin, end] = arguments[helper->second];
            grown |= TraceArgument(scan, source, i, begin, end, record);
        }
    }
    return grown;
}

// Follows helpers until no new one turns up, then records every word and every argument the scan
// could not trace.
SScan ScanSources(const std::vector<SSource>& sources)
{
    SScan scan;
    scan.helpers.emplace(std::pair<std::string, std::string>("ErrorFromIdentifier", ""), 0);
    for (bool grown = true; grown;) {
        grown = false;
        for (const SSource& source : sources)
            grown |= ScanSource(scan, source, false);
    }
    for (const SSource& source : sources)
        ScanSource(scan, source, true);
    return scan;
}

bool IsSourceFile(const fs::path& path)
{
    const std::string ext = path.extension().string();
    return ext == ".cpp" || ext == ".h" || ext == ".cc" || ext == ".hpp";
}

// The program's own sources: every top-level folder but the tests, build trees and hidden ones.
std::vector<SSource> ProgramSources(const fs::path& root)
{
    std::vector<fs::path> files;
    for (const fs::directory_entry& top : fs::directory_iterator(root)) {
        const std::string name = top.path().filename().string();
        if (!top.is_directory() || name == "tests" || name == "build" || name.starts_with("."))
            continue;
        for (auto it = fs::recursive_directory_iterator(top.path()); it != fs::recursive_directory_iterator(); ++it) {
            if (it->is_directory() && fs::exists(it->path() / "CMakeCache.txt"))
                it.disable_recursion_pending();
            else if (it->is_regular_file() && IsSourceFile(it->path()))
                files.push_back(it->path());
        }
    }
    std::sort(files.begin(), files.end());
    std::vector<SSource> sources;
    for (const fs::path& path : files) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        sources.push_back({fs::relative(path, root).generic_string(), Tokens(text.str())});
    }
    return sources;
}

std::vector<std::string> Words(const SScan& scan)
{
    std::vector<std::string> words;
    for (const SUse& use : scan.uses)
        words.push_back(use.word + "@" + std::to_string(use.line) + " " + use.shape);
    return words;
}

}  // namespace

TEST(ErrorIdentifierUse, ScanFollowsHelpersLambdasAndTablesButNotComments)
{
    const std::string helpers = R"(
        // ErrorFromIdentifier("in_a_comment")
        /* IsError(e, "in_a_block") */
        SError ErrorFromIdentifier(const char* identifier);
        bool IsError(SError error, const char* identifier) { return error == ErrorFromIdentifier(identifier); }
        SError Refuse(Bitmap& b, const char* word)
        {
            return IsError(1, word) ? 0 : ErrorFromIdentifier(word);
        }
        SError CodeError(int code)
        {
            static const char* const names[] = {nullptr, "tabled",
                                                "tabled2"};
            return ErrorFromIdentifier(names[code]);
        }
    )";
    const std::string calls = R"(
        auto fail = [this, &x](int unused, const char* identifier) { return ErrorFromIdentifier(identifier); };
        char quote = '"';
        SError a = ErrorFromIdentifier(
            "direct");
        bool b = IsError(Foo(1, 2), "via_is_error") && Refuse(bitmap, "two_levels");
        return fail(3, "via_lambda") || ErrorIdentifier(err) != "compared" || Refuse(b, text);
    )";
    const SScan scan = ScanSources({{"x/Helpers.h", Tokens(helpers)}, {"y/Calls.cpp", Tokens(calls)}});

    EXPECT_EQ(Words(scan), (std::vector<std::string>{
                               "tabled@12 names[]",
                               "tabled2@13 names[]",
                               "direct@5 ErrorFromIdentifier",
                               "via_is_error@6 IsError",
                               "two_levels@6 Refuse",
                               "via_lambda@7 fail",
                               "compared@7 ErrorIdentifier() ==",
                           }));
    EXPECT_EQ(scan.unfollowed, (std::vector<std::string>{"y/Calls.cpp:7: Refuse(text)"}));
}

TEST(ErrorIdentifierUse, EveryWordTheSourcesNameIsRegistered)
{
    const SScan scan = ScanSources(ProgramSources(HUEDRANE_SOURCE_DIR));

    // A scan that stopped matching would pass vacuously.
    EXPECT_GT(scan.uses.size(), 150u);
    std::string unknown;
    for (const SUse& use : scan.uses) {
        // ErrorIdentifier also gives "errno" (a wrapped system code) and "" (an unregistered value).
        const bool compared = use.shape == "ErrorIdentifier() ==";
        if ((!compared || (use.word != "errno" && !use.word.empty())) && ulib::ErrorFromIdentifier(use.word.c_str()) == 1)
            unknown += "\n  " + use.file + ":" + std::to_string(use.line) + ": \"" + use.word + "\" (" + use.shape + ")";
    }
    EXPECT_TRUE(unknown.empty()) << "identifier words that no definition registers:" << unknown;

    std::string unfollowed;
    for (const std::string& site : scan.unfollowed)
        unfollowed += "\n  " + site;
    EXPECT_TRUE(unfollowed.empty()) << "identifier words this scan cannot trace (pass a literal, a const char* "
                                       "parameter or a table of literals):"
                                    << unfollowed;
}
