#include "app/modal_dialogs.h"

#include <QFileDialog>

#include "app/details_dlg.h"

namespace {

QString RunFileDialog(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().front();
}

}  // namespace

QString ModalDialogs::ChooseInputFile(QWidget* parent) {
    QFileDialog dialog(parent, QString(), QString(), QStringLiteral("aaf Files (*.aaf)"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QStringLiteral("aaf"));
    return RunFileDialog(dialog);
}

QString ModalDialogs::ChooseOutputFile(QWidget* parent, const QString& proposedName) {
    // A directory argument that names a file preselects it, relative names in the current folder.
    QFileDialog dialog(parent, QString(), proposedName, QStringLiteral("xml Files (*.xml)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("xml"));
    // Asking before an existing file is replaced is the save dialog's default.
    return RunFileDialog(dialog);
}

void ModalDialogs::RunDetails(CDetailsDlg& details) {
    details.exec();
}
