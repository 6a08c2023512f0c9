#include <gtest/gtest.h>

#include "xmeml/portable_form.h"

namespace {

TEST(PortableForm, DescribesEachFileOncePerSequenceUnderOneIdPerDocument) {
    PortableForm form("/edits");
    struct Use {
        const char* url;
        const char* id;
        bool describedBefore;
    };
    const Use firstSequence[] = {
        {"file://localhost/a.mov", "file-1", false},
        {"file://localhost/b.mov", "file-2", false},
        {"file://localhost/a.mov", "file-1", true},
        {"file://localhost/b.mov", "file-2", true},
    };
    for (const Use& use : firstSequence) {
        const PortableForm::FileUse got = form.UseFile(use.url);
        EXPECT_EQ(got.id, use.id) << use.url;
        EXPECT_EQ(got.describedBefore, use.describedBefore) << use.url;
    }
    form.StartSequence();
    const Use secondSequence[] = {
        {"file://localhost/b.mov", "file-2", false},
        {"file://localhost/c.mov", "file-3", false},
        {"file://localhost/b.mov", "file-2", true},
        {"file://localhost/a.mov", "file-1", false},
    };
    for (const Use& use : secondSequence) {
        const PortableForm::FileUse got = form.UseFile(use.url);
        EXPECT_EQ(got.id, use.id) << use.url;
        EXPECT_EQ(got.describedBefore, use.describedBefore) << use.url;
    }
}

TEST(PortableForm, GivesEachSpellingOfAFileItsUrl) {
    PortableForm form("D:\\Projects\\Edit");
    EXPECT_EQ(form.PathUrl("D:\\Media\\a.mov"), "file://localhost/D%3a/Media/a.mov");
    EXPECT_EQ(form.PathUrl("D:/Media/a.mov"), "file://localhost/D%3a/Media/a.mov");
    EXPECT_EQ(form.PathUrl("title.etl"), "file://localhost/D%3a/Projects/Edit/title.etl");
    EXPECT_FALSE(form.PathUrl(""));
    // Asked again, the same answer (it is kept, not recomputed).
    EXPECT_EQ(form.PathUrl("D:/Media/a.mov"), "file://localhost/D%3a/Media/a.mov");
}

}  // namespace
