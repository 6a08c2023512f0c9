#include "dialog_test_support.h"

#include <QPlainTextEdit>
#include <QTest>

#include "app/details_dlg.h"

QString FakeDialogs::ChooseInputFile(QWidget* /*parent*/) {
    return inputAnswer;
}

QString FakeDialogs::ChooseOutputFile(QWidget* /*parent*/, const QString& proposedName) {
    proposedNames.push_back(proposedName);
    return outputAnswer;
}

void FakeDialogs::RunDetails(CDetailsDlg& details) {
    detailsTexts.push_back(details.Text());
    const auto* edit = details.findChild<QPlainTextEdit*>(QStringLiteral("logEdit"));
    detailsShown.push_back(edit != nullptr ? edit->toPlainText() : QStringLiteral("<no edit>"));
}

DialogControls::DialogControls(CTesselDlg& dialog)
    : quit(dialog.findChild<QPushButton*>(QStringLiteral("quitButton"))),
      browse(dialog.findChild<QPushButton*>(QStringLiteral("browseButton"))),
      aafEdit(dialog.findChild<QLineEdit*>(QStringLiteral("aafEdit"))),
      save(dialog.findChild<QPushButton*>(QStringLiteral("saveButton"))),
      inputPrompt(dialog.findChild<QLabel*>(QStringLiteral("inputPrompt"))),
      outputPrompt(dialog.findChild<QLabel*>(QStringLiteral("outputPrompt"))),
      statusLine(dialog.findChild<QLabel*>(QStringLiteral("statusLine"))),
      renameCheck(dialog.findChild<QCheckBox*>(QStringLiteral("renameCheck"))),
      portableCheck(dialog.findChild<QCheckBox*>(QStringLiteral("portableCheck"))) {}

bool ProcessEventsUntil(const std::function<bool()>& condition) {
    return QTest::qWaitFor(condition, 60000);
}
