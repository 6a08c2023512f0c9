#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "titles/title_search.h"

namespace {

TEST(PathFromFileUrl, DecodesLocalDriveAndSharePaths) {
    const std::pair<const char*, const char*> cases[] = {
        {"file:///home/editor/Title%20One.etl", "/home/editor/Title One.etl"},
        {"file://localhost/home/editor/t.etl", "/home/editor/t.etl"},
        {"FILE:///C:/Users/Ed/T%C3%BCtel.etl", "C:/Users/Ed/T\xC3\xBCtel.etl"},
        {"file:///C|/Titles/t.etl", "C:/Titles/t.etl"},
        {"file:/C:/Titles/t.etl", "C:/Titles/t.etl"},
        {"file://server/share/t.etl", "//server/share/t.etl"},
        {"file:///tmp/100%25.etl", "/tmp/100%.etl"},
        {"file:///tmp/bad%zz.etl", "/tmp/bad%zz.etl"},
        {"file:///tmp/t.etl?x=1#y", "/tmp/t.etl"},
        {"C:\\Titles\\t.etl", ""},
        {"/home/t.etl", ""},
        {"", ""},
    };
    for (const auto& [url, path] : cases) {
        EXPECT_EQ(PathFromFileUrl(url), path) << url;
    }
}

TEST(FileNameOf, SplitsAtBothSeparators) {
    EXPECT_EQ(FileNameOf("C:\\Users\\Ed\\Title.etl"), "Title.etl");
    EXPECT_EQ(FileNameOf("/home/ed/Title.ETL"), "Title.ETL");
    EXPECT_EQ(FileNameOf("D:/mixed\\dir/t.etl"), "t.etl");
    EXPECT_EQ(FileNameOf("t.etl"), "t.etl");
    EXPECT_EQ(FileNameOf("C:\\dir\\"), "");
}

// A folder and a file name are joined with the system's own separator.
const std::string kSeparator(1, static_cast<char>(std::filesystem::path::preferred_separator));

TEST(TitleDocumentCandidates, TriesThePathThenTheUrlThenTheFolders) {
    const std::vector<std::string> folders = {"/input", "/titles/a", "/titles/b"};
    EXPECT_EQ(TitleDocumentCandidates("C:\\Users\\Ed\\Title.etl", folders),
              (std::vector<std::string>{
                  "C:\\Users\\Ed\\Title.etl", "/input" + kSeparator + "Title.etl",
                  "/titles/a" + kSeparator + "Title.etl", "/titles/b" + kSeparator + "Title.etl"}));
    EXPECT_EQ(TitleDocumentCandidates("file:///C:/My%20Titles/T.etl", {"/input"}),
              (std::vector<std::string>{"file:///C:/My%20Titles/T.etl", "C:/My Titles/T.etl",
                                        "/input" + kSeparator + "T.etl"}));
}

TEST(TitleDocumentCandidates, LeavesOutRepeatsAndEmptyNames) {
    // An input file in the working folder gives the folder "" and so the bare name again.
    EXPECT_EQ(TitleDocumentCandidates("t.etl", {"", "."}),
              (std::vector<std::string>{"t.etl", "." + kSeparator + "t.etl"}));
    EXPECT_EQ(TitleDocumentCandidates("C:\\dir\\", {"/input"}),
              (std::vector<std::string>{"C:\\dir\\"}));
    EXPECT_TRUE(TitleDocumentCandidates("", {"/input"}).empty());
}

}  // namespace
