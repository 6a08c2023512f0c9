#pragma once

#include <QString>

class CDetailsDlg;
class QWidget;

/// The modal dialogs the main dialog runs: the two file dialogs and the details dialog.
/// Tests derive from it to answer without a user.
class ModalDialogs {
  public:
    virtual ~ModalDialogs() = default;
    /// Asks for an existing ".aaf" file; the full path, or empty when cancelled.
    virtual QString ChooseInputFile(QWidget* parent);
    /// Asks where to save the ".xml" document, proposing `proposedName`; the full path (".xml"
    /// added to a name typed without suffix), or empty when cancelled.
    virtual QString ChooseOutputFile(QWidget* parent, const QString& proposedName);
    /// Shows the details dialog until the user closes it.
    virtual void RunDetails(CDetailsDlg& details);
};
