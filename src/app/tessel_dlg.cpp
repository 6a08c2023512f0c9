#include "app/tessel_dlg.h"

#include <QCheckBox>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QThread>

#include <system_error>
#include <utility>

#include "app/artwork.h"
#include "app/details_dlg.h"
#include "app/dialog_units.h"
#include "app/shared/default_output_name.h"
#include "app/shared/details_summary.h"
#include "app/shared/dialog_template.h"
#include "app/ui_strings.h"

namespace {

// Paths travel to the conversion in the file system's own encoding.
std::string ToFileSystemPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QLabel* NewPicture(const QPixmap& pixmap, const QRect& geometry, QWidget* parent) {
    auto* picture = new QLabel(parent);
    picture->setGeometry(geometry);
    picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    picture->setPixmap(pixmap);
    return picture;
}

}  // namespace

CTesselDlg::CTesselDlg(QWidget* parent)
    : QDialog(parent), m_icon(AppIcon()), m_brush(QColor(TESSEL_BACKGROUND_RGB)) {
    CreateControls();
    OnInitDialog();
}

CTesselDlg::~CTesselDlg() {
    WaitForWorker();
    // Lines logged from now on are dropped instead of reaching a dialog that is going away.
    if (GetLogTarget() == this) {
        SetLogTarget(nullptr);
    }
}

void CTesselDlg::SetModalDialogs(ModalDialogs* dialogs) {
    m_dialogs = dialogs != nullptr ? dialogs : &m_realDialogs;
}

void CTesselDlg::SetConversionRunner(ConversionRunner runner) {
    m_runner = runner ? std::move(runner) : ConversionRunner(ConversionThread);
}

// The controls of the dialog template, in its order (which is also the tab order),
// placed in dialog units of the dialog's font.
void CTesselDlg::CreateControls() {
    const DialogUnits units(font());
    setFixedSize(units.ToPixelsSize(TESSEL_DIALOG_SIZE));

    m_quitButton = new QPushButton(this);
    m_quitButton->setObjectName(QStringLiteral("quitButton"));
    m_quitButton->setGeometry(units.ToPixels(TESSEL_QUIT_RECT));
    m_quitButton->setDefault(true);
    connect(m_quitButton, &QPushButton::clicked, this, &QDialog::accept);

    m_inputPrompt = new QLabel(this);
    m_inputPrompt->setObjectName(QStringLiteral("inputPrompt"));
    m_inputPrompt->setGeometry(units.ToPixels(TESSEL_INPUT_PROMPT_RECT));

    m_browseButton = new QPushButton(QString::fromLatin1(kBrowseText), this);
    m_browseButton->setObjectName(QStringLiteral("browseButton"));
    m_browseButton->setGeometry(units.ToPixels(TESSEL_BROWSE_RECT));
    connect(m_browseButton, &QPushButton::clicked, this, [this] { OnBrowseAaf(); });

    m_aafEdit = new QLineEdit(this);
    m_aafEdit->setObjectName(QStringLiteral("aafEdit"));
    m_aafEdit->setGeometry(units.ToPixels(TESSEL_AAF_PATH_RECT));

    m_outputPrompt = new QLabel(this);
    m_outputPrompt->setObjectName(QStringLiteral("outputPrompt"));
    m_outputPrompt->setGeometry(units.ToPixels(TESSEL_OUTPUT_PROMPT_RECT));

    m_saveButton = new QPushButton(this);
    m_saveButton->setObjectName(QStringLiteral("saveButton"));
    m_saveButton->setGeometry(units.ToPixels(TESSEL_SAVE_RECT));
    connect(m_saveButton, &QPushButton::clicked, this, [this] { OnSave(); });

    m_statusLine = new QLabel(this);
    m_statusLine->setObjectName(QStringLiteral("statusLine"));
    m_statusLine->setGeometry(units.ToPixels(TESSEL_STATUS_RECT));
    m_statusLine->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_statusLine->setLineWidth(1);
    m_statusLine->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_statusLine->setWordWrap(true);

    const qreal scale = devicePixelRatioF();
    const QRect firstBadge = units.ToPixels(TESSEL_BADGE_1_RECT);
    NewPicture(NumberBadge(1, firstBadge.size(), scale), firstBadge, this);
    const QRect secondBadge = units.ToPixels(TESSEL_BADGE_2_RECT);
    NewPicture(NumberBadge(2, secondBadge.size(), scale), secondBadge, this);
    const QRect wordMark = units.ToPixels(TESSEL_WORDMARK_RECT);
    NewPicture(WordMark(wordMark.size(), scale), wordMark, this)
        ->setObjectName(QStringLiteral("wordMark"));

    m_renameCheck = new QCheckBox(QString::fromLatin1(kRenameCheckText), this);
    m_renameCheck->setObjectName(QStringLiteral("renameCheck"));
    m_renameCheck->setGeometry(units.ToPixels(TESSEL_RENAME_AVI_RECT));

    // Beside the rename box, ending at the right column's edge.
    m_portableCheck = new QCheckBox(this);
    m_portableCheck->setObjectName(QStringLiteral("portableCheck"));
    m_portableCheck->setGeometry(units.ToPixels(TESSEL_PORTABLE_RECT));

    for (QLabel* label : {m_inputPrompt, m_outputPrompt, m_statusLine}) {
        label->setTextFormat(Qt::PlainText);  // paths may hold "<" and "&"
    }
    setTabOrder(m_quitButton, m_browseButton);
    setTabOrder(m_browseButton, m_aafEdit);
    setTabOrder(m_aafEdit, m_saveButton);
    setTabOrder(m_saveButton, m_renameCheck);
    setTabOrder(m_renameCheck, m_portableCheck);

    // Connected last: the edit's changes count only once the save button exists.
    connect(m_aafEdit, &QLineEdit::textChanged, this, [this] { OnInputChanged(); });
}

void CTesselDlg::OnInitDialog() {
    setWindowTitle(QString::fromLatin1(kMainCaption));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);

    // Dialog, statics and check box on light grey; buttons and the edit keep their own faces.
    QPalette palette = this->palette();
    palette.setBrush(QPalette::Window, m_brush);
    setPalette(palette);
    setAutoFillBackground(true);

    SetLogTarget(this);
    // The window manager shows this icon for the minimised window too.
    setWindowIcon(m_icon);

    const int base = StringTableBase(QLocale().uiLanguages());
    m_inputPrompt->setText(LoadUiString(base + kInputPromptString));
    m_outputPrompt->setText(LoadUiString(base + kOutputPromptString));
    m_saveButton->setText(LoadUiString(base + kSaveString));
    m_quitButton->setText(LoadUiString(base + kQuitString));
    m_portableCheck->setText(LoadUiString(base + kPortableString));
    m_portableCheck->setToolTip(LoadUiString(base + kPortableTipString));

    m_renameCheck->setChecked(true);
    m_portableCheck->setChecked(false);  // the plain form at every start, like the rename box
    SetState(MainDialogState::kNoInput);
    m_quitButton->setFocus();  // the first tab stop, as a dialog template starts
}

void CTesselDlg::OnBrowseAaf() {
    const QString chosen = m_dialogs->ChooseInputFile(this);
    if (chosen.isEmpty()) {
        return;
    }
    m_aafPath = chosen;
    m_aafEdit->setText(m_aafPath);
    OnInputChanged();  // also when the edit held the same text already
}

void CTesselDlg::OnInputChanged() {
    m_aafPath = m_aafEdit->text();
    // The type of what exists is not examined; the conversion reports a wrong one.
    const bool exists = !m_aafPath.isEmpty() && QFileInfo::exists(m_aafPath);
    SetState(StateAfterInputChange(m_state, exists));
}

void CTesselDlg::SetState(MainDialogState state) {
    m_state = state;
    const FileButtons buttons = ButtonsFor(state);
    m_browseButton->setEnabled(buttons.browse);
    m_saveButton->setEnabled(buttons.save);
}

void CTesselDlg::OnSave() {
    if (IsConverting()) {
        return;
    }
    const QString proposed = QString::fromStdString(DefaultOutputName(m_aafPath.toStdString()));
    const QString chosen = m_dialogs->ChooseOutputFile(this, proposed);
    if (chosen.isEmpty()) {
        return;
    }
    m_xmlPath = chosen;
    m_progress.StartConversion();
    SetState(MainDialogState::kConverting);

    // The worker gets copies: whatever is typed or ticked from now on is for the next run.
    ConversionRequest request;
    request.inputPath = ToFileSystemPath(m_aafPath);
    request.outputPath = ToFileSystemPath(m_xmlPath);
    request.renameAviToMov = m_renameCheck->isChecked();
    request.portable = m_portableCheck->isChecked();
    request.report = &m_report;

    // Logged before the worker starts, so it is the first line.
    LogLine("Start of Convertion...", kLogMilestone);

    try {
        m_worker = std::thread([this, request = std::move(request), runner = m_runner] {
            runner(request, this);
            // The completion is posted once the conversion has returned, so the dialog can
            // join this thread at once and never waits on a worker that might still log.
            QMetaObject::invokeMethod(
                this, [this] { OnConversionDone(); }, Qt::QueuedConnection);
        });
    } catch (const std::system_error& error) {
        // No worker, no conversion: say so and offer the buttons again.
        LogLine(std::string("Cannot start the conversion: ") + error.what(), kLogError);
        SetState(MainDialogState::kNoInput);
        OnInputChanged();
    }
}

void CTesselDlg::PostConversionDone(ConversionStatus status) {
    m_conversionStatus = status;
}

void CTesselDlg::OnConversionDone() {
    m_worker.join();
    SetState(MainDialogState::kInputReady);  // whether or not the input still exists
    if (m_waitLoop != nullptr) {
        m_waitLoop->quit();  // the dialog is closing: no details dialog
        return;
    }
    CDetailsDlg details(Log(), this, QString::fromStdString(DetailsSummary(m_report)));
    m_dialogs->RunDetails(details);
}

void CTesselDlg::TakeLogLine(int kind, std::string line) {
    if (QThread::currentThread() == thread()) {
        OnLogLine(kind, line);
        return;
    }
    // Blocks until the dialog's thread has taken the line in; that thread never waits for
    // the worker without handling events, so this cannot deadlock.
    QMetaObject::invokeMethod(
        this, [this, kind, &line] { OnLogLine(kind, line); }, Qt::BlockingQueuedConnection);
}

void CTesselDlg::OnLogLine(int kind, std::string_view line) {
    if (m_progress.Take(kind, line)) {
        const std::string_view shown = m_progress.ShownStatus();
        m_statusLine->setText(
            QString::fromUtf8(shown.data(), static_cast<qsizetype>(shown.size())));
    }
}

void CTesselDlg::done(int result) {
    if (m_waitLoop != nullptr) {
        return;  // already closing; the first request wins
    }
    WaitForWorker();
    QDialog::done(result);
}

void CTesselDlg::WaitForWorker() {
    if (!IsConverting()) {
        return;
    }
    QEventLoop loop;
    m_waitLoop = &loop;
    // The user has asked to close; only the worker's calls and painting are handled now.
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    m_waitLoop = nullptr;
}
