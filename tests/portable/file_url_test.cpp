#include <gtest/gtest.h>

#include <string>

#include "file_url_decoding.h"
#include "xmeml/file_url.h"

namespace {

struct UrlCase {
    const char* locator;
    const char* baseFolder;
    const char* url;
    const char* path;  // what the URL decodes back to
};

TEST(FileUrlFromLocator, SpellsPathsAsEditorsWriteThem) {
    const UrlCase cases[] = {
        // Drive letters, with the colon escaped as Premiere and Final Cut Pro write it.
        {"D:\\a b\\c.mov", "", "file://localhost/D%3a/a%20b/c.mov", "D:\\a b\\c.mov"},
        {"D:/EDIUS/Media/interview.mov", "", "file://localhost/D%3a/EDIUS/Media/interview.mov",
         "D:\\EDIUS\\Media\\interview.mov"},
        {"c:\\x.mov", "", "file://localhost/c%3a/x.mov", "c:\\x.mov"},
        {"D:", "", "file://localhost/D%3a/", "D:\\"},
        // Network shares, also through the Win32 long-path prefixes.
        {"\\\\server\\share\\x.mov", "", "file://server/share/x.mov", "\\\\server\\share\\x.mov"},
        {"//server/share/x.mov", "", "file://server/share/x.mov", "\\\\server\\share\\x.mov"},
        {"\\\\?\\D:\\long\\x.mov", "", "file://localhost/D%3a/long/x.mov", "D:\\long\\x.mov"},
        {"\\\\?\\UNC\\srv\\sh\\x.mov", "", "file://srv/sh/x.mov", "\\\\srv\\sh\\x.mov"},
        // POSIX and rooted paths.
        {"/Volumes/x/y.mov", "", "file://localhost/Volumes/x/y.mov", "/Volumes/x/y.mov"},
        {"\\Media\\x.mov", "", "file://localhost/Media/x.mov", "/Media/x.mov"},
        // Non-ASCII as UTF-8 bytes; everything outside the unreserved set escaped; bytes that
        // are not UTF-8 escaped as they are.
        {"H:\\edge\\\xC3\x9C"
         "bung & <Test>.mov",
         "", "file://localhost/H%3a/edge/%C3%9Cbung%20%26%20%3CTest%3E.mov",
         "H:\\edge\\\xC3\x9C"
         "bung & <Test>.mov"},
        {"/m/\xE6\x98\xA0\xE5\x83\x8F.mxf", "", "file://localhost/m/%E6%98%A0%E5%83%8F.mxf",
         "/m/\xE6\x98\xA0\xE5\x83\x8F.mxf"},
        {"/m/a+b(1)#2?;=%.mov", "", "file://localhost/m/a%2Bb%281%29%232%3F%3B%3D%25.mov",
         "/m/a+b(1)#2?;=%.mov"},
        {"/m/A-z_0.9~", "", "file://localhost/m/A-z_0.9~", "/m/A-z_0.9~"},
        {"/m/\xFF\x01.mov", "", "file://localhost/m/%FF%01.mov", "/m/\xFF\x01.mov"},
        {"C:\\Media\\blank.avi ", "", "file://localhost/C%3a/Media/blank.avi%20",
         "C:\\Media\\blank.avi "},
        // "." and ".." steps and doubled separators are resolved.
        {"D:\\a\\.\\b\\..\\c.mov", "", "file://localhost/D%3a/a/c.mov", "D:\\a\\c.mov"},
        {"D:\\..\\x.mov", "", "file://localhost/D%3a/x.mov", "D:\\x.mov"},
        {"/a//b///c.mov", "", "file://localhost/a/b/c.mov", "/a/b/c.mov"},
        // Relative locators start in the AAF file's folder, whatever its spelling.
        {"Media\\clip.mov", "/work/edits", "file://localhost/work/edits/Media/clip.mov",
         "/work/edits/Media/clip.mov"},
        {"avi", "/work/edits/", "file://localhost/work/edits/avi", "/work/edits/avi"},
        {"..\\clip.mov", "D:\\Projects\\Edit", "file://localhost/D%3a/Projects/clip.mov",
         "D:\\Projects\\clip.mov"},
        {"./x y.mov", "\\\\nas\\edits", "file://nas/edits/x%20y.mov", "\\\\nas\\edits\\x y.mov"},
        {"clip.mov", "/", "file://localhost/clip.mov", "/clip.mov"},
        // Locators that are file URLs already: normalised, never escaped twice.
        {"file://localhost/D%3a/a%20b/c.mov", "", "file://localhost/D%3a/a%20b/c.mov",
         "D:\\a b\\c.mov"},
        {"file:///D:/a%20b/c.mov", "", "file://localhost/D%3a/a%20b/c.mov", "D:\\a b\\c.mov"},
        {"file:///D%3A/a%20b/c.mov", "", "file://localhost/D%3a/a%20b/c.mov", "D:\\a b\\c.mov"},
        {"file:///D|/a b/c.mov", "", "file://localhost/D%3a/a%20b/c.mov", "D:\\a b\\c.mov"},
        {"file://D:/a/c.mov", "", "file://localhost/D%3a/a/c.mov", "D:\\a\\c.mov"},
        {"file:/D:/c.mov", "", "file://localhost/D%3a/c.mov", "D:\\c.mov"},
        {"FILE://LOCALHOST/Volumes/x/y.mov", "", "file://localhost/Volumes/x/y.mov",
         "/Volumes/x/y.mov"},
        {"file:///Volumes/%c3%9c%2fx.mov", "", "file://localhost/Volumes/%C3%9C%2Fx.mov",
         "/Volumes/\xC3\x9C/x.mov"},
        {"file:///m/100%.mov", "", "file://localhost/m/100%25.mov", "/m/100%.mov"},
        {"file://server/share/x.mov", "", "file://server/share/x.mov", "\\\\server\\share\\x.mov"},
        {"file:////server/share/x.mov", "", "file://server/share/x.mov",
         "\\\\server\\share\\x.mov"},
        {"file://///server/share/x.mov", "", "file://server/share/x.mov",
         "\\\\server\\share\\x.mov"},
        {"file:///C:\\Media\\x.mov", "", "file://localhost/C%3a/Media/x.mov", "C:\\Media\\x.mov"},
        {"file:clip.mov", "/work", "file://localhost/work/clip.mov", "/work/clip.mov"},
    };
    for (const UrlCase& c : cases) {
        const std::optional<std::string> url = FileUrlFromLocator(c.locator, c.baseFolder);
        ASSERT_TRUE(url) << c.locator;
        EXPECT_EQ(*url, c.url) << c.locator;
        EXPECT_EQ(PathFromFileUrl(*url), c.path) << c.locator;
        // A URL given back is its own normal form.
        EXPECT_EQ(FileUrlFromLocator(*url, "/elsewhere"), *url) << c.locator;
    }
}

TEST(FileUrlFromLocator, GivesNoneWithoutALocator) {
    EXPECT_FALSE(FileUrlFromLocator("", "/work/edits"));
    EXPECT_FALSE(FileUrlFromLocator("", ""));
}

}  // namespace
