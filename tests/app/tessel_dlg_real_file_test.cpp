// Whole conversions of real AAF files, driven through the dialog: the file is built here, so
// the test needs nothing from outside; the shared fixture is compared when it is present.
#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "aafwriter/builder.h"
#include "app/tessel_dlg.h"
#include "dialog_test_support.h"

namespace {

using namespace tessel::aafwriter;

// One sequence: a video clip and its sound, from a media file whose path ends in ".avi".
void WriteSmallEdit(const QString& path) {
    AafBuilder builder;
    MediaSpec spec;
    spec.name = "Interview";
    spec.path = "D:\\Media\\interview.avi";
    spec.soundSlots = 1;
    const MediaRef media = builder.AddMedia(spec);
    Composition cut = builder.AddComposition("Dialog Cut");
    cut.AddTimecodeSlot(90000, 25, false, 100);
    cut.AddPictureTrack({.physicalNumber = 1}).AddClip(media, 100);
    cut.AddSoundTrack({.physicalNumber = 1}).AddClip(media, 100, 0, 0);
    ASSERT_TRUE(builder.Write(path.toStdString()).ok());
}

using RealFileTest = RealConversionFixture;

QString ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

}  // namespace

TEST_F(RealFileTest, ConvertsABuiltEditWithTheRenameOptionAsTicked) {
    const QString input = folder.filePath(QStringLiteral("cut.aaf"));
    WriteSmallEdit(input);
    const QString renamed = folder.filePath(QStringLiteral("renamed.xml"));
    const QString kept = folder.filePath(QStringLiteral("kept.xml"));

    Convert(input, renamed);
    const QStringList lines = dialog.Log().split(QStringLiteral("\r\n"));
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(lines.front(), QStringLiteral("Start of Convertion..."));
    EXPECT_TRUE(lines.contains(QStringLiteral("Processing Sequence: Dialog Cut")));
    EXPECT_EQ(lines[lines.size() - 3],
              QStringLiteral("Saving Interchange Format to file ") + renamed);
    EXPECT_EQ(lines[lines.size() - 2], QStringLiteral("Finished!"));
    EXPECT_TRUE(lines.back().isEmpty());  // every line ends in CR LF
    EXPECT_EQ(dialog.Status(), QStringLiteral("Finished!\r\n"));
    EXPECT_EQ(dialog.LastStatus(), ConversionStatus::kSucceeded);
    EXPECT_EQ(dialogs.detailsTexts.at(0), dialog.Log());
    // The view shows the log as it is, then the counts below it.
    QString shownLog = dialog.Log();
    shownLog.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    EXPECT_EQ(dialogs.detailsShown.at(0),
              shownLog + QStringLiteral("\n1 sequence, 2 of 2 source clips written\n"));
    EXPECT_TRUE(ReadAll(renamed).contains(QStringLiteral("interview.mov")));

    controls.renameCheck->setChecked(false);
    dialogs.detailsTexts.clear();
    Convert(input, kept);
    EXPECT_TRUE(dialog.Log().startsWith(QStringLiteral("Start of Convertion...\r\n")));
    EXPECT_EQ(dialog.Log().count(QStringLiteral("Start of Convertion")), 1);
    EXPECT_TRUE(ReadAll(kept).contains(QStringLiteral("interview.avi")));
    EXPECT_FALSE(ReadAll(kept).contains(QStringLiteral("interview.mov")));
}

TEST_F(RealFileTest, ConvertsTheBasicFixtureAsExpected) {
    const QString fixtures = QStringLiteral(TESSEL_SHARED_DIR "/aaf-synthetic");
    const QString input = fixtures + QStringLiteral("/basic.aaf");
    if (!QFileInfo::exists(input)) {
        GTEST_SKIP() << "no shared fixtures at " << TESSEL_SHARED_DIR;
    }
    const QString output = folder.filePath(QStringLiteral("basic.xml"));
    Convert(input, output);
    // The saving line names the output actually chosen.
    const QString saving = QStringLiteral("Saving Interchange Format to file ");
    QString wanted = ReadAll(fixtures + QStringLiteral("/basic.expected.log"));
    wanted.replace(saving + QStringLiteral("basic.expected.xml"), saving + output);
    EXPECT_EQ(dialog.Log(), wanted);
    EXPECT_EQ(dialogs.detailsTexts.at(0), wanted);
}
