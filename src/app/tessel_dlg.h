#pragma once

#include <QBrush>
#include <QDialog>
#include <QIcon>
#include <QString>

#include <functional>
#include <string>
#include <thread>

#include "app/modal_dialogs.h"
#include "app/shared/dialog_state.h"
#include "app/shared/progress_log.h"
#include "job/conversion_job.h"
#include "model/log.h"

class QCheckBox;
class QEventLoop;
class QLabel;
class QLineEdit;
class QPushButton;

/// The main dialog: step 1 chooses the input AAF file, step 2 the output XML file, which starts
/// the conversion on a worker thread. It is the log target while it exists: lines logged on any
/// thread reach the log and the status line on the dialog's own thread.
class CTesselDlg : public QDialog, public LogTarget, public ConversionClient {
  public:
    /// Runs one whole conversion on the worker thread (`ConversionThread` unless replaced).
    using ConversionRunner = std::function<int(const ConversionRequest&, ConversionClient*)>;

    explicit CTesselDlg(QWidget* parent = nullptr);
    /// Waits for a running conversion, then stops being the log target.
    ~CTesselDlg() override;

    /// Replaces the file dialogs and the details dialog (nullptr restores the real ones).
    void SetModalDialogs(ModalDialogs* dialogs);
    /// Replaces the conversion (an empty runner restores `ConversionThread`).
    void SetConversionRunner(ConversionRunner runner);

    const QString& AafPath() const { return m_aafPath; }
    const QString& XmlPath() const { return m_xmlPath; }
    /// The last error or milestone line, with its "\r\n".
    QString Status() const { return QString::fromStdString(m_progress.Status()); }
    /// Every line of the current (or last) conversion.
    QString Log() const { return QString::fromStdString(m_progress.Log()); }
    bool IsConverting() const { return m_worker.joinable(); }
    MainDialogState State() const { return m_state; }
    /// How the last finished conversion ended.
    ConversionStatus LastStatus() const { return m_conversionStatus; }

    /// Any thread: returns once the line is in the log.
    void TakeLogLine(int kind, std::string line) override;
    /// Worker thread: records how the conversion ended; never waits for the dialog.
    void PostConversionDone(ConversionStatus status) override;

    /// Quit, Enter, Escape and the close box all end here; a running conversion is finished
    /// first, so that the worker never outlives the dialog it reports to.
    void done(int result) override;

  private:
    void CreateControls();
    void OnInitDialog();
    void OnBrowseAaf();
    void OnInputChanged();
    void OnSave();
    void OnConversionDone();
    void OnLogLine(int kind, std::string_view line);
    /// Enters a state: the file buttons follow it.
    void SetState(MainDialogState state);
    /// Keeps handling events (the worker's log lines among them) until the worker has ended.
    void WaitForWorker();

    QIcon m_icon;
    QString m_aafPath;
    QString m_xmlPath;
    ProgressLog m_progress;  ///< the log and the status line
    QBrush m_brush;
    QCheckBox* m_renameCheck = nullptr;
    MainDialogState m_state = MainDialogState::kNoInput;
    QCheckBox* m_portableCheck = nullptr;

    QPushButton* m_quitButton = nullptr;
    QPushButton* m_browseButton = nullptr;
    QLineEdit* m_aafEdit = nullptr;
    QPushButton* m_saveButton = nullptr;
    QLabel* m_inputPrompt = nullptr;
    QLabel* m_outputPrompt = nullptr;
    QLabel* m_statusLine = nullptr;

    ModalDialogs m_realDialogs;
    ModalDialogs* m_dialogs = &m_realDialogs;
    ConversionRunner m_runner = ConversionThread;
    std::thread m_worker;
    /// Written by the worker, read on this thread after it has been joined.
    ConversionStatus m_conversionStatus = ConversionStatus::kAborted;
    /// Filled by the worker; read once it has been joined.
    ConversionReport m_report;
    /// Set while `WaitForWorker` runs: the conversion ends without a details dialog.
    QEventLoop* m_waitLoop = nullptr;
};
