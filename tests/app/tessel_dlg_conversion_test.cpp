#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>
#include <semaphore>

#include "app/tessel_dlg.h"
#include "dialog_test_support.h"
#include "model/log.h"

namespace {

// Stands in for the conversion on the worker thread: logs like one, and can be held at a gate
// until the test lets it finish.
struct ScriptedConversion {
    int Run(const ConversionRequest& request, ConversionClient* client) {
        seen = request;
        LogLine("Processing Sequence: Cut", kLogProgress);
        lineInLogOnReturn = dialog->Log().endsWith(QStringLiteral("Processing Sequence: Cut\r\n"));
        if (holdAtGate) {
            gate.acquire();
        }
        LogLine("Finished!", kLogMilestone);
        client->PostConversionDone(ConversionStatus::kSucceeded);
        return 0;
    }

    CTesselDlg* dialog = nullptr;
    bool holdAtGate = false;
    std::binary_semaphore gate{0};
    // Written on the worker, read once the dialog has joined it.
    ConversionRequest seen;
    bool lineInLogOnReturn = false;
};

const QString kScriptedLog =
    QStringLiteral("Start of Convertion...\r\nProcessing Sequence: Cut\r\nFinished!\r\n");

class ConversionTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        input = folder.filePath(QStringLiteral("cut.aaf"));
        QFile file(input);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        dialogs.outputAnswer = folder.filePath(QStringLiteral("cut.xml"));
        dialog->SetModalDialogs(&dialogs);
        script.dialog = dialog.get();
        dialog->SetConversionRunner(
            [this](const ConversionRequest& request, ConversionClient* client) {
                return script.Run(request, client);
            });
        controls.aafEdit->setText(input);
    }

    // Lets the held conversion finish as soon as the dialog handles events again.
    void ReleaseGateLater() {
        QTimer::singleShot(0, [this] { script.gate.release(); });
    }

    QTemporaryDir folder;
    QString input;
    FakeDialogs dialogs;
    ScriptedConversion script;
    std::unique_ptr<CTesselDlg> dialog = std::make_unique<CTesselDlg>();
    DialogControls controls{*dialog};
};

}  // namespace

TEST_F(ConversionTest, RunsOnTheWorkerAndShowsTheLogWhenDone) {
    controls.renameCheck->setChecked(false);
    controls.portableCheck->setChecked(true);
    controls.save->click();
    EXPECT_TRUE(dialog->IsConverting());
    EXPECT_EQ(dialog->XmlPath(), dialogs.outputAnswer);

    ASSERT_TRUE(ProcessEventsUntil([&] { return !dialogs.detailsTexts.empty(); }));
    EXPECT_EQ(script.seen.inputPath, input.toStdString());
    EXPECT_EQ(script.seen.outputPath, dialogs.outputAnswer.toStdString());
    EXPECT_FALSE(script.seen.renameAviToMov);
    EXPECT_TRUE(script.seen.portable);
    EXPECT_TRUE(script.lineInLogOnReturn);

    EXPECT_EQ(dialog->Log(), kScriptedLog);
    EXPECT_EQ(dialog->Status(), QStringLiteral("Finished!\r\n"));
    EXPECT_EQ(controls.statusLine->text(), QStringLiteral("Finished!"));
    ASSERT_EQ(dialogs.detailsTexts.size(), 1u);
    EXPECT_EQ(dialogs.detailsTexts[0], kScriptedLog);
    EXPECT_EQ(dialogs.detailsShown[0],
              QStringLiteral("Start of Convertion...\nProcessing Sequence: Cut\nFinished!\n"));
    EXPECT_FALSE(dialog->IsConverting());
    EXPECT_EQ(dialog->LastStatus(), ConversionStatus::kSucceeded);
    EXPECT_TRUE(controls.browse->isEnabled());
    EXPECT_TRUE(controls.save->isEnabled());
}

TEST_F(ConversionTest, WhileConvertingNothingTypedReachesTheWorkerOrEnablesSave) {
    script.holdAtGate = true;
    controls.save->click();
    ASSERT_TRUE(ProcessEventsUntil([&] { return dialog->Log().contains("Processing"); }));

    EXPECT_FALSE(controls.browse->isEnabled());
    EXPECT_FALSE(controls.save->isEnabled());
    EXPECT_TRUE(controls.aafEdit->isEnabled());
    EXPECT_TRUE(controls.renameCheck->isEnabled());
    EXPECT_TRUE(controls.quit->isEnabled());
    EXPECT_EQ(controls.statusLine->text(), QStringLiteral("Start of Convertion..."));

    const QString other = folder.filePath(QStringLiteral("other.aaf"));
    QFile file(other);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    controls.aafEdit->setText(other);
    controls.renameCheck->setChecked(false);
    controls.portableCheck->setChecked(true);
    EXPECT_FALSE(controls.save->isEnabled());
    EXPECT_EQ(dialog->AafPath(), other);
    ASSERT_TRUE(QFile::remove(input));

    script.gate.release();
    ASSERT_TRUE(ProcessEventsUntil([&] { return !dialogs.detailsTexts.empty(); }));
    EXPECT_EQ(script.seen.inputPath, input.toStdString());
    EXPECT_TRUE(script.seen.renameAviToMov);
    EXPECT_FALSE(script.seen.portable);
    // Back whether or not the input still exists.
    EXPECT_TRUE(controls.browse->isEnabled());
    EXPECT_TRUE(controls.save->isEnabled());
}

TEST_F(ConversionTest, SecondConversionLogsOnlyItsOwnLines) {
    controls.save->click();
    ASSERT_TRUE(ProcessEventsUntil([&] { return dialogs.detailsTexts.size() == 1; }));
    controls.save->click();
    ASSERT_TRUE(ProcessEventsUntil([&] { return dialogs.detailsTexts.size() == 2; }));
    EXPECT_EQ(dialog->Log(), kScriptedLog);
    EXPECT_EQ(dialogs.detailsTexts[1], kScriptedLog);
}

TEST_F(ConversionTest, ClosingWaitsForTheWorkerWithoutDetails) {
    const std::function<void()> closers[] = {
        [&] { controls.quit->click(); },
        [&] { dialog->close(); },
        [&] { QTest::keyClick(controls.aafEdit, Qt::Key_Escape); },
        [&] { QTest::keyClick(controls.aafEdit, Qt::Key_Return); },
    };
    for (const auto& close : closers) {
        dialog->show();
        controls.aafEdit->setFocus();
        script.holdAtGate = true;
        controls.save->click();
        ASSERT_TRUE(ProcessEventsUntil([&] { return dialog->Log().contains("Processing"); }));

        ReleaseGateLater();
        close();  // returns once the worker has finished
        EXPECT_FALSE(dialog->IsConverting());
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(dialog->Log(), kScriptedLog);
        EXPECT_TRUE(dialogs.detailsTexts.empty());
    }
}

TEST_F(ConversionTest, DestroyingWaitsForTheWorker) {
    script.holdAtGate = true;
    controls.save->click();
    ASSERT_TRUE(ProcessEventsUntil([&] { return dialog->Log().contains("Processing"); }));
    ReleaseGateLater();
    dialog.reset();
    EXPECT_EQ(GetLogTarget(), nullptr);
    EXPECT_TRUE(dialogs.detailsTexts.empty());
}

// The real conversion from here on.

using RealConversionTest = RealConversionFixture;

TEST_F(RealConversionTest, InputThatIsNoAafFileEndsWithTheErrorAndTheDetails) {
    const QString input = folder.filePath(QStringLiteral("notes.aaf"));
    QFile file(input);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a compound file");
    file.close();
    const QString output = folder.filePath(QStringLiteral("notes.xml"));

    Convert(input, output);
    const QStringList lines = dialog.Log().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], QStringLiteral("Start of Convertion..."));
    EXPECT_EQ(dialog.Status(), lines[1] + QStringLiteral("\r\n"));
    EXPECT_EQ(dialog.LastStatus(), ConversionStatus::kInputNotOpened);
    EXPECT_EQ(dialogs.detailsTexts.at(0), dialog.Log());
    EXPECT_FALSE(QFileInfo::exists(output));
    EXPECT_TRUE(controls.browse->isEnabled());
    EXPECT_TRUE(controls.save->isEnabled());
}
