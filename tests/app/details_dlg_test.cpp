#include <gtest/gtest.h>

#include "qstring_printer.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTest>

#include "app/details_dlg.h"

namespace {

struct DetailsControls {
    explicit DetailsControls(CDetailsDlg& dialog)
        : ok(dialog.findChild<QPushButton*>(QStringLiteral("okButton"))),
          edit(dialog.findChild<QPlainTextEdit*>(QStringLiteral("logEdit"))) {}
    QPushButton* ok;
    QPlainTextEdit* edit;
};

// OK 10 pixels from the right and bottom edges, the log 10 pixels from every edge and from OK.
void ExpectLayoutFor(const CDetailsDlg& dialog, const DetailsControls& controls) {
    const QSize client = dialog.size();
    const QRect ok = controls.ok->geometry();
    EXPECT_EQ(ok.right() + 1, client.width() - 10);
    EXPECT_EQ(ok.bottom() + 1, client.height() - 10);
    EXPECT_EQ(controls.edit->geometry(),
              QRect(10, 10, client.width() - 20, client.height() - ok.height() - 30));
}

}  // namespace

TEST(DetailsDialog, KeepsOkInTheCornerAndTheLogFillingTheRest) {
    CDetailsDlg dialog(QStringLiteral("Start of Convertion...\r\nFinished!\r\n"));
    DetailsControls controls(dialog);
    ASSERT_NE(controls.ok, nullptr);
    ASSERT_NE(controls.edit, nullptr);
    const QSize okSize = controls.ok->size();
    dialog.show();
    ExpectLayoutFor(dialog, controls);

    for (const QSize size : {QSize(700, 500), QSize(300, 150), QSize(1000, 260)}) {
        dialog.resize(size);
        ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.size() == size; }, 60000));
        ExpectLayoutFor(dialog, controls);
        EXPECT_EQ(controls.ok->size(), okSize);  // moved, never resized
    }
}

TEST(DetailsDialog, SizeMessageOfZeroOrMinimisedChangesNothing) {
    CDetailsDlg dialog(QStringLiteral("line\r\n"));
    DetailsControls controls(dialog);
    dialog.show();
    const QRect ok = controls.ok->geometry();
    const QRect edit = controls.edit->geometry();

    QResizeEvent minimised(QSize(0, 0), dialog.size());
    QApplication::sendEvent(&dialog, &minimised);
    EXPECT_EQ(controls.ok->geometry(), ok);
    EXPECT_EQ(controls.edit->geometry(), edit);
}

TEST(DetailsDialog, ShowsTheWholeLogReadOnlyAndScrollable) {
    QString log;
    for (int i = 0; i < 500; ++i) {
        log += QStringLiteral("Processing Track #%1\r\n").arg(i);
    }
    CDetailsDlg dialog(log);
    DetailsControls controls(dialog);
    dialog.show();

    EXPECT_EQ(dialog.Text(), log);
    EXPECT_EQ(controls.edit->toPlainText(), QString(log).replace(QStringLiteral("\r\n"), "\n"));
    EXPECT_TRUE(controls.edit->isReadOnly());
    EXPECT_GT(controls.edit->verticalScrollBar()->maximum(), 0);

    const QString before = controls.edit->toPlainText();
    controls.edit->setFocus();
    QTest::keyClicks(controls.edit, QStringLiteral("typed"));
    EXPECT_EQ(controls.edit->toPlainText(), before);
}

TEST(DetailsDialog, EmptyLogShowsAnEmptyEditAndOkCloses) {
    CDetailsDlg dialog(QString{});
    DetailsControls controls(dialog);
    dialog.show();
    EXPECT_TRUE(controls.edit->toPlainText().isEmpty());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Details"));
    controls.ok->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}
