#include "core/CTranslation.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

using testsupport::CScratchDir;
using testsupport::captureStdout;

std::unique_ptr<CTranslation> load(const std::string& path, std::string* printed = nullptr)
{
    std::unique_ptr<CTranslation> table;
    const std::string out = captureStdout([&] { table.reset(new CTranslation(path.c_str())); });
    if (printed)
        *printed = out;
    return table;
}

void expectEmptyFrom(const CTranslation& t, size_t first, const std::string& label)
{
    for (size_t i = first; i < CTranslation::TEXT_COUNT; ++i)
        EXPECT_EQ(t.texts[i], L"") << label << ", text " << i;
}

TEST(TranslationTable, FiftyOneQuotedLinesGiveThoseTextsWithoutLineEnds)
{
    for (const std::string lineEnd : {"\n", "\r\n"}) {
        std::string file;
        for (int i = 0; i < CTranslation::TEXT_COUNT; ++i)
            file += "\"Text " + std::to_string(i) + "\"" + lineEnd;
        CScratchDir dir;
        dir.write("translation.lang", file);
        std::string printed;
        const auto t = load(dir.file("translation.lang"), &printed);
        EXPECT_EQ(printed, "");
        for (int i = 0; i < CTranslation::TEXT_COUNT; ++i)
            EXPECT_EQ(t->texts[i], L"Text " + std::to_wstring(i)) << "text " << i;
    }
}

struct SFileCase {
    const char* label;
    std::string bytes;
    std::vector<std::wstring> texts;  // the first texts; all later ones are empty
};

const SFileCase kFiles[] = {
    {"byte-order mark", "\xEF\xBB\xBF\"Back\"\n\"Graphics\"\n", {L"\xFEFF" L"Back", L"Graphics"}},
    {"number before the quote", "\"Back\"\n12 \"Graphics\"\n", {L"Back", L"12 Graphics"}},
    {"text over two lines", "\"Some changes\ntake effect\"\r\n\"OK\"", {L"Some changestake effect", L"OK"}},
    {"lone carriage return stays", "\"a\rb\"\r\n", {L"a\rb"}},
    {"two texts on one line", "\"Lap \"\"Place \"", {L"Lap ", L"Place "}},
    {"unterminated last text", "\"Back\"\n\"Graph", {L"Back", L"Graph"}},
    {"accents and a pair", "\"\xC3\xA9t\xC3\xA9\"\n\"\xF0\x9F\x98\x80\"", {L"\x00E9t\x00E9", L"\xD83D\xDE00"}},
    {"pair at the very end", "\"x\xF0\x9F\x98\x80", {L"x\xD83D\xDE00"}},
    {"empty file", "", {}},
};

TEST(TranslationTable, ReadsTextsAsTheFileLaysThemOut)
{
    for (const auto& c : kFiles) {
        CScratchDir dir;
        dir.write("translation.lang", c.bytes);
        std::string printed;
        const auto t = load(dir.file("translation.lang"), &printed);
        // Fewer texts than the menus use: said once, with how many whole ones there are.
        const size_t whole = static_cast<size_t>(std::count(c.bytes.begin(), c.bytes.end(), '"')) / 2;
        EXPECT_EQ(printed, "Warning: " + dir.file("translation.lang") + " holds " +
                               std::to_string(whole) + " of the 51 texts; the others stay empty\n")
            << c.label;
        for (size_t i = 0; i < c.texts.size(); ++i)
            EXPECT_EQ(t->texts[i], c.texts[i]) << c.label << ", text " << i;
        expectEmptyFrom(*t, c.texts.size(), c.label);
    }
}

TEST(TranslationTable, MalformedTextKeepsTheTextsBeforeIt)
{
    const std::string bad[] = {"\xC0\xAF", "\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80"};
    for (const auto& b : bad) {
        CScratchDir dir;
        dir.write("translation.lang", "\"Back\"\n\"Graphics\"\n\"Au" + b + "dio\"\n\"Controls\"\n");
        std::string printed;
        const auto t = load(dir.file("translation.lang"), &printed);
        EXPECT_EQ(t->texts[0], L"Back");
        EXPECT_EQ(t->texts[1], L"Graphics");
        EXPECT_EQ(t->texts[2], L"Au");
        expectEmptyFrom(*t, 3, "malformed");
        EXPECT_EQ(printed.rfind("Warning: ", 0), 0u) << printed;
        EXPECT_EQ(printed.back(), '\n');
    }
}

TEST(TranslationTable, AFileThatIsNoTextFileLeavesEveryTextEmptyWithAWarning)
{
    CScratchDir dir;
    std::filesystem::create_directory(dir.file("folder.lang"));
    // A pipe would block the start for ever, /dev/zero would fill the memory, and a text file of
    // megabytes is a damaged one.
    ASSERT_EQ(::mkfifo(dir.file("pipe.lang").c_str(), 0644), 0);
    std::filesystem::create_symlink("/dev/zero", dir.file("zero.lang"));
    dir.write("huge.lang", std::string(2 * 1024 * 1024, '"'));
    struct Case { const char* name; const char* why; };
    const Case cases[] = {{"no-such.lang", ""},
                          {"folder.lang", " (a folder, not a file)"},
                          {"pipe.lang", " (not a regular file)"},
                          {"zero.lang", " (not a regular file)"},
                          {"huge.lang", " (larger than 1048576 bytes, too large for its kind)"}};
    for (const Case& c : cases) {
        std::string printed;
        const auto t = load(dir.file(c.name), &printed);
        EXPECT_EQ(printed, "Warning: " + dir.file(c.name) + " could not be read" + c.why + "; the menus show no texts\n");
        expectEmptyFrom(*t, 0, c.name);
    }
    // An empty file holds no text at all.
    dir.write("empty.lang", "");
    std::string printed;
    load(dir.file("empty.lang"), &printed);
    EXPECT_EQ(printed, "Warning: " + dir.file("empty.lang") + " holds 0 of the 51 texts; the others stay empty\n");
}

// The game's own file: one quoted, non-empty text a line and nothing else.
TEST(TranslationTable, GameFileHoldsFiftyOneTexts)
{
    const std::string path = SANDVOLT_TEST_SOURCE_DIR "/../data/translation.lang";
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << path;
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(bytes.back(), '\n');

    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = bytes.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(bytes.substr(start, end - start));
    ASSERT_EQ(lines.size(), size_t(CTranslation::TEXT_COUNT));
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        EXPECT_GE(line.size(), 3u) << "line " << i + 1;
        EXPECT_EQ(line.front(), '"') << "line " << i + 1;
        EXPECT_EQ(line.back(), '"') << "line " << i + 1;
        EXPECT_EQ(line.find_first_of("\"\r", 1), line.size() - 1) << "line " << i + 1;
    }

    std::string printed;
    const auto t = load(path, &printed);
    EXPECT_EQ(printed, "");
    for (int i = 0; i < CTranslation::TEXT_COUNT; ++i)
        EXPECT_FALSE(t->texts[i].empty()) << "text " << i;
    // The race display narrows the place prefix byte by byte.
    for (wchar_t c : t->texts[38])
        EXPECT_LT(unsigned(c), 0x80u);
}

} // namespace
