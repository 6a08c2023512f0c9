#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QTest>

#include "app/tessel_dlg.h"
#include "app/ui_strings.h"
#include "dialog_test_support.h"
#include "model/log.h"

namespace {

class MainDialogTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        existing = folder.filePath(QStringLiteral("cut.aaf"));
        QFile file(existing);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        dialog.SetModalDialogs(&dialogs);
    }

    QTemporaryDir folder;
    QString existing;
    FakeDialogs dialogs;
    CTesselDlg dialog;
    DialogControls controls{dialog};
};

class LocaleScope {
  public:
    explicit LocaleScope(const QLocale& locale) { QLocale::setDefault(locale); }
    ~LocaleScope() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    LocaleScope(const LocaleScope&) = delete;
    LocaleScope& operator=(const LocaleScope&) = delete;
};

}  // namespace

TEST_F(MainDialogTest, StartsWithSaveDisabledRenameTickedAndPortableNot) {
    EXPECT_TRUE(controls.browse->isEnabled());
    EXPECT_FALSE(controls.save->isEnabled());
    EXPECT_TRUE(controls.renameCheck->isChecked());
    EXPECT_FALSE(controls.portableCheck->isChecked());
    EXPECT_TRUE(controls.portableCheck->isEnabled());
    EXPECT_TRUE(controls.aafEdit->text().isEmpty());
    EXPECT_TRUE(controls.statusLine->text().isEmpty());
    EXPECT_TRUE(dialog.Log().isEmpty());
    EXPECT_EQ(GetLogTarget(), &dialog);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Tessel Converter"));
    EXPECT_FALSE(dialog.windowIcon().isNull());
    EXPECT_TRUE(controls.quit->isDefault());
}

TEST_F(MainDialogTest, TypingAnExistingPathEnablesSaveAndAMissingOneDisablesIt) {
    controls.aafEdit->setFocus();
    QTest::keyClicks(controls.aafEdit, existing);
    EXPECT_EQ(dialog.AafPath(), existing);
    EXPECT_TRUE(controls.save->isEnabled());

    QTest::keyClick(controls.aafEdit, Qt::Key_Backspace);
    EXPECT_FALSE(controls.save->isEnabled());

    // Any kind of file or folder will do; the conversion finds out what it is.
    controls.aafEdit->setText(folder.path());
    EXPECT_TRUE(controls.save->isEnabled());
    controls.aafEdit->clear();
    EXPECT_FALSE(controls.save->isEnabled());
}

TEST_F(MainDialogTest, BrowsingSetsThePathAndCancellingChangesNothing) {
    dialogs.inputAnswer = existing;
    controls.browse->click();
    EXPECT_EQ(controls.aafEdit->text(), existing);
    EXPECT_EQ(dialog.AafPath(), existing);
    EXPECT_TRUE(controls.save->isEnabled());

    dialogs.inputAnswer.clear();
    controls.browse->click();
    EXPECT_EQ(controls.aafEdit->text(), existing);
    EXPECT_TRUE(controls.save->isEnabled());
}

TEST_F(MainDialogTest, SaveProposesTheInputPathWithoutItsExtension) {
    controls.aafEdit->setText(existing);
    controls.save->click();  // cancelled: the fake answers nothing
    ASSERT_EQ(dialogs.proposedNames.size(), 1u);
    EXPECT_EQ(dialogs.proposedNames[0], folder.filePath(QStringLiteral("cut")));

    // A "." only in a folder name cuts the path there.
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("take.1")));
    const QString undotted = folder.filePath(QStringLiteral("take.1/cut"));
    QFile file(undotted);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    controls.aafEdit->setText(undotted);
    controls.save->click();
    ASSERT_EQ(dialogs.proposedNames.size(), 2u);
    EXPECT_EQ(dialogs.proposedNames[1], folder.filePath(QStringLiteral("take")));
}

TEST_F(MainDialogTest, CancellingSaveStartsNothingAndKeepsTheLog) {
    dialog.TakeLogLine(kLogProgress, "earlier line\r\n");
    controls.aafEdit->setText(existing);
    controls.save->click();
    EXPECT_FALSE(dialog.IsConverting());
    EXPECT_EQ(dialog.Log(), QStringLiteral("earlier line\r\n"));
    EXPECT_TRUE(controls.browse->isEnabled());
    EXPECT_TRUE(controls.save->isEnabled());
    EXPECT_TRUE(dialogs.detailsTexts.empty());
}

TEST_F(MainDialogTest, ErrorsAndMilestonesBecomeTheStatusLineOtherKindsOnlyTheLog) {
    dialog.TakeLogLine(kLogMilestone, "Finished!\r\n");
    EXPECT_EQ(dialog.Status(), QStringLiteral("Finished!\r\n"));
    EXPECT_EQ(controls.statusLine->text(), QStringLiteral("Finished!"));

    dialog.TakeLogLine(kLogProgress, "Convertion done.\r\n");
    dialog.TakeLogLine(kLogWarning, "Found more than one title text in a.etl\r\n");
    dialog.TakeLogLine(7, "odd kind\r\n");
    EXPECT_EQ(dialog.Status(), QStringLiteral("Finished!\r\n"));

    dialog.TakeLogLine(kLogError, "Cannot open <x & y>.aaf\r\n");
    EXPECT_EQ(controls.statusLine->text(), QStringLiteral("Cannot open <x & y>.aaf"));
    EXPECT_EQ(dialog.Log(), QStringLiteral("Finished!\r\nConvertion done.\r\n"
                                           "Found more than one title text in a.etl\r\n"
                                           "odd kind\r\nCannot open <x & y>.aaf\r\n"));
}

TEST_F(MainDialogTest, EnterInTheEditAndEscapeEndTheDialog) {
    dialog.show();
    controls.aafEdit->setFocus();
    QTest::keyClick(controls.aafEdit, Qt::Key_Return);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);

    dialog.show();
    controls.aafEdit->setFocus();
    QTest::keyClick(controls.aafEdit, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

TEST_F(MainDialogTest, ControlsKeepTheTemplateArrangement) {
    const QRect client = dialog.rect();
    for (QWidget* child : dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        EXPECT_TRUE(client.contains(child->geometry())) << child->objectName().toStdString();
    }
    // The right column ends at one edge: "...", save, status line and quit.
    const int right = controls.browse->geometry().right();
    EXPECT_EQ(controls.save->geometry().right(), right);
    EXPECT_EQ(controls.statusLine->geometry().right(), right);
    EXPECT_EQ(controls.quit->geometry().right(), right);
    EXPECT_EQ(controls.aafEdit->geometry().top(), controls.browse->geometry().top());
    EXPECT_LT(controls.aafEdit->geometry().right(), controls.browse->geometry().left());
    EXPECT_EQ(controls.inputPrompt->geometry().left(), controls.aafEdit->geometry().left());
    EXPECT_EQ(controls.renameCheck->geometry().left(), controls.aafEdit->geometry().left());
    // The portable box stands beside the rename box, on its line, up to the right edge.
    const QRect rename = controls.renameCheck->geometry();
    const QRect portable = controls.portableCheck->geometry();
    EXPECT_EQ(portable.top(), rename.top());
    EXPECT_EQ(portable.height(), rename.height());
    EXPECT_GT(portable.left(), rename.right());
    EXPECT_EQ(portable.right(), right);
    EXPECT_LT(portable.bottom(), controls.statusLine->geometry().top());
}

// The longer of the two texts still fits its box without being cut off.
TEST_F(MainDialogTest, PortableTextFitsItsBoxInEitherLanguage) {
    QStyleOptionButton option;
    option.initFrom(controls.portableCheck);
    const int indicator =
        controls.portableCheck->style()->pixelMetric(QStyle::PM_IndicatorWidth, &option) +
        controls.portableCheck->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, &option);
    for (const int base : {kGermanStringBase, kEnglishStringBase}) {
        const QString text = LoadUiString(base + kPortableString);
        EXPECT_LE(indicator + controls.portableCheck->fontMetrics().horizontalAdvance(text),
                  controls.portableCheck->width())
            << text.toStdString();
    }
}

TEST_F(MainDialogTest, TickingTheBoxesChangesNothingElse) {
    controls.portableCheck->click();
    EXPECT_TRUE(controls.portableCheck->isChecked());
    EXPECT_TRUE(controls.renameCheck->isChecked());
    controls.renameCheck->click();
    EXPECT_FALSE(controls.renameCheck->isChecked());
    EXPECT_TRUE(controls.portableCheck->isChecked());
    EXPECT_FALSE(dialog.IsConverting());
    EXPECT_TRUE(dialog.Log().isEmpty());
    // A new dialog (a new start) has them as always.
    CTesselDlg next;
    DialogControls nextControls(next);
    EXPECT_TRUE(nextControls.renameCheck->isChecked());
    EXPECT_FALSE(nextControls.portableCheck->isChecked());
}

TEST(MainDialogTexts, GermanForAnyGermanRegion) {
    for (const auto country : {QLocale::Germany, QLocale::Austria, QLocale::Switzerland}) {
        LocaleScope german(QLocale(QLocale::German, country));
        CTesselDlg dialog;
        DialogControls controls(dialog);
        EXPECT_EQ(controls.inputPrompt->text(),
                  QStringLiteral("Bitte aus Edius exportierte *.aaf Datei auswählen:"));
        EXPECT_EQ(controls.outputPrompt->text(),
                  QStringLiteral("FinalCut Interchange Format abspeichern:"));
        EXPECT_EQ(controls.quit->text(), QStringLiteral("Beenden"));
        EXPECT_EQ(controls.save->text(), QStringLiteral("Speichern..."));
        EXPECT_EQ(controls.renameCheck->text(), QStringLiteral("*.avi zu *.mov umbenennen"));
        EXPECT_EQ(controls.portableCheck->text(), QStringLiteral("Portable Fassung"));
        EXPECT_TRUE(controls.portableCheck->toolTip().startsWith(QStringLiteral("Für Premiere")));
        EXPECT_EQ(controls.browse->text(), QStringLiteral("..."));
    }
}

TEST(MainDialogTexts, EnglishForEveryOtherLanguage) {
    for (const auto language : {QLocale::English, QLocale::French, QLocale::Dutch}) {
        LocaleScope other{QLocale(language)};
        CTesselDlg dialog;
        DialogControls controls(dialog);
        EXPECT_EQ(controls.inputPrompt->text(),
                  QStringLiteral("Please select the exported *.aaf file of Edius:"));
        EXPECT_EQ(controls.outputPrompt->text(),
                  QStringLiteral("Save FinalCut Interchange format:"));
        EXPECT_EQ(controls.quit->text(), QStringLiteral("Quit"));
        EXPECT_EQ(controls.save->text(), QStringLiteral("Save..."));
        EXPECT_EQ(controls.renameCheck->text(), QStringLiteral("*.avi zu *.mov umbenennen"));
        EXPECT_EQ(controls.portableCheck->text(), QStringLiteral("Portable form"));
        EXPECT_TRUE(controls.portableCheck->toolTip().startsWith(QStringLiteral("For Premiere")));
        EXPECT_EQ(controls.browse->text(), QStringLiteral("..."));
    }
}

TEST(MainDialogLifetime, DestroyedDialogStopsBeingTheLogTarget) {
    {
        CTesselDlg dialog;
        EXPECT_EQ(GetLogTarget(), &dialog);
    }
    EXPECT_EQ(GetLogTarget(), nullptr);
    LogLine("dropped", kLogMilestone);  // must not reach the destroyed dialog
}
