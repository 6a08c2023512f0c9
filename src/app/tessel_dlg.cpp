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
#include "app/default_output_name.h"
#include "app/details_dlg.h"
#include "app/dialog_units.h"
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
    : QDialog(parent), m_icon(AppIcon()), m_brush(QColor(220, 220, 220)) {
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
    setFixedSize(units.ToPixelsX(292), units.ToPixelsY(126));

    m_quitButton = new QPushButton(this);
    m_quitButton->setObjectName(QStringLiteral("quitButton"));
    m_quitButton->setGeometry(units.ToPixels(234, 103, 50, 16));
    m_quitButton->setDefault(true);
    connect(m_quitButton, &QPushButton::clicked, this, &QDialog::accept);

    m_inputPrompt = new QLabel(this);
    m_inputPrompt->setObjectName(QStringLiteral("inputPrompt"));
    m_inputPrompt->setGeometry(units.ToPixels(31, 9, 252, 8));

    m_browseButton = new QPushButton(QString::fromLatin1(kBrowseText), this);
    m_browseButton->setObjectName(QStringLiteral("browseButton"));
    m_browseButton->setGeometry(units.ToPixels(262, 21, 22, 14));
    connect(m_browseButton, &QPushButton::clicked, this, [this] { OnBrowseAaf(); });

    m_aafEdit = new QLineEdit(this);
    m_aafEdit->setObjectName(QStringLiteral("aafEdit"));
    m_aafEdit->setGeometry(units.ToPixels(31, 21, 226, 14));

    m_outputPrompt = new QLabel(this);
    m_outputPrompt->setObjectName(QStringLiteral("outputPrompt"));
    m_outputPrompt->setGeometry(units.ToPixels(31, 52, 200, 8));

    m_saveButton = new QPushButton(this);
    m_saveButton->setObjectName(QStringLiteral("saveButton"));
    m_saveButton->setGeometry(units.ToPixels(234, 49, 50, 14));
    m_saveButton->setEnabled(false);
    connect(m_saveButton, &QPushButton::clicked, this, [this] { OnSave(); });

    m_statusLine = new QLabel(this);
    m_statusLine->setObjectName(QStringLiteral("statusLine"));
    m_statusLine->setGeometry(units.ToPixels(7, 82, 277, 13));
    m_statusLine->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_statusLine->setLineWidth(1);
    m_statusLine->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_statusLine->setWordWrap(true);

    const qreal scale = devicePixelRatioF();
    const QRect firstBadge = units.ToPixels(7, 7, 19, 18);
    NewPicture(NumberBadge(1, firstBadge.size(), scale), firstBadge, this);
    const QRect secondBadge = units.ToPixels(7, 49, 19, 18);
    NewPicture(NumberBadge(2, secondBadge.size(), scale), secondBadge, this);
    const QRect wordMark = units.ToPixels(7, 102, 95, 20);
    NewPicture(WordMark(wordMark.size(), scale), wordMark, this)
        ->setObjectName(QStringLiteral("wordMark"));

    m_renameCheck = new QCheckBox(QString::fromLatin1(kRenameCheckText), this);
    m_renameCheck->setObjectName(QStringLiteral("renameCheck"));
    m_renameCheck->setGeometry(units.ToPixels(31, 69, 163, 10));

    // Beside the rename box, ending at the right column's edge.
    m_portableCheck = new QCheckBox(this);
    m_portableCheck->setObjectName(QStringLiteral("portableCheck"));
    m_portableCheck->setGeometry(units.ToPixels(198, 69, 86, 10));

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
    m_quitButton->setFocus();            // the first tab stop, as a dialog template starts
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
    // The type of what exists is not examined; the conversion reports a wrong one. While a
    // conversion runs, nothing typed may offer a second one.
    m_saveButton->setEnabled(!IsConverting() && !m_aafPath.isEmpty() &&
                             QFileInfo::exists(m_aafPath));
}

void CTesselDlg::OnSave() {
    if (IsConverting()) {
        return;
    }
    const QString chosen = m_dialogs->ChooseOutputFile(this, DefaultOutputName(m_aafPath));
    if (chosen.isEmpty()) {
        return;
    }
    m_xmlPath = chosen;
    m_log.clear();
    m_browseButton->setEnabled(false);
    m_saveButton->setEnabled(false);

    // The worker gets copies: whatever is typed or ticked from now on is for the next run.
    ConversionRequest request;
    request.inputPath = ToFileSystemPath(m_aafPath);
    request.outputPath = ToFileSystemPath(m_xmlPath);
    request.renameAviToMov = m_renameCheck->isChecked();
    request.portable = m_portableCheck->isChecked();

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
        m_browseButton->setEnabled(true);
        OnInputChanged();
    }
}

void CTesselDlg::PostConversionDone(ConversionStatus status) {
    m_conversionStatus = status;
}

void CTesselDlg::OnConversionDone() {
    m_worker.join();
    m_browseButton->setEnabled(true);
    m_saveButton->setEnabled(true);  // whether or not the input still exists
    if (m_waitLoop != nullptr) {
        m_waitLoop->quit();  // the dialog is closing: no details dialog
        return;
    }
    CDetailsDlg details(m_log, this);
    m_dialogs->RunDetails(details);
}

void CTesselDlg::TakeLogLine(int kind, std::string line) {
    const QString text = QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
    if (QThread::currentThread() == thread()) {
        OnLogLine(kind, text);
        return;
    }
    // Blocks until the dialog's thread has taken the line in; that thread never waits for
    // the worker without handling events, so this cannot deadlock.
    QMetaObject::invokeMethod(
        this, [this, kind, &text] { OnLogLine(kind, text); }, Qt::BlockingQueuedConnection);
}

void CTesselDlg::OnLogLine(int kind, const QString& line) {
    if (kind == kLogError || kind == kLogMilestone) {
        m_status = line;
        QString shown = line;
        if (shown.endsWith(QStringLiteral("\r\n"))) {
            shown.chop(2);
        }
        m_statusLine->setText(shown);
    }
    m_log += line;
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
