#pragma once

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <vector>

#include "app/modal_dialogs.h"
#include "app/tessel_dlg.h"
#include "qstring_printer.h"

/// Answers the main dialog's modal dialogs without a user and records what they were asked.
class FakeDialogs : public ModalDialogs {
  public:
    QString ChooseInputFile(QWidget* parent) override;
    QString ChooseOutputFile(QWidget* parent, const QString& proposedName) override;
    void RunDetails(CDetailsDlg& details) override;

    QString inputAnswer;   ///< empty: the user cancels
    QString outputAnswer;  ///< empty: the user cancels
    std::vector<QString> proposedNames;
    std::vector<QString> detailsTexts;  ///< the log each details dialog was given
    std::vector<QString> detailsShown;  ///< what each details dialog's edit showed
};

/// The main dialog's controls, found by name.
struct DialogControls {
    explicit DialogControls(CTesselDlg& dialog);

    QPushButton* quit;
    QPushButton* browse;
    QLineEdit* aafEdit;
    QPushButton* save;
    QLabel* inputPrompt;
    QLabel* outputPrompt;
    QLabel* statusLine;
    QCheckBox* renameCheck;
    QCheckBox* portableCheck;
};

/// Handles events until `condition` holds; false if it never did (a hang, not a slow run).
bool ProcessEventsUntil(const std::function<bool()>& condition);

/// A dialog with fake modal dialogs and a scratch folder; `Convert` runs a real conversion
/// through the dialog's controls and waits for its details.
class RealConversionFixture : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        dialog.SetModalDialogs(&dialogs);
    }

    void Convert(const QString& input, const QString& output) {
        controls.aafEdit->setText(input);
        dialogs.outputAnswer = output;
        controls.save->click();
        ASSERT_TRUE(ProcessEventsUntil([&] { return !dialogs.detailsTexts.empty(); }));
    }

    QTemporaryDir folder;
    FakeDialogs dialogs;
    CTesselDlg dialog;
    DialogControls controls{dialog};
};
