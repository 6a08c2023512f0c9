#include "app/details_dlg.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>

#include "app/dialog_units.h"
#include "app/shared/dialog_template.h"
#include "app/ui_strings.h"

namespace {

constexpr int kMargin = 10;  // pixels between the controls and the dialog's edges

}  // namespace

CDetailsDlg::CDetailsDlg(QString text, QWidget* parent, QString summary)
    : QDialog(parent),
      m_text(std::move(text)),
      m_okButton(new QPushButton(QStringLiteral(TESSEL_TEXT_OK), this)),
      m_edit(new QPlainTextEdit(this)) {
    setWindowTitle(QString::fromLatin1(kDetailsCaption));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);

    const DialogUnits units(font());
    m_okButton->setObjectName(QStringLiteral("okButton"));
    m_okButton->setDefault(true);
    m_okButton->setGeometry(units.ToPixels(TESSEL_DETAILS_OK_RECT));
    connect(m_okButton, &QPushButton::clicked, this, &QDialog::accept);

    m_edit->setObjectName(QStringLiteral("logEdit"));
    m_edit->setGeometry(units.ToPixels(TESSEL_DETAILS_LOG_RECT));
    m_edit->setReadOnly(true);
    m_edit->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Log lines end in CR LF; the view shows plain line breaks. The summary follows the log after
    // an empty line.
    QString shown = m_text;
    if (!summary.isEmpty()) {
        shown += QStringLiteral("\r\n") + summary;
    }
    m_edit->setPlainText(shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    setTabOrder(m_okButton, m_edit);
    m_okButton->setFocus();

    // Never smaller than the margins around OK, so no control gets a negative size.
    setMinimumSize(m_okButton->width() + 2 * kMargin, m_okButton->height() + 3 * kMargin);
    resize(units.ToPixelsSize(TESSEL_DETAILS_SIZE));
    LayOut(size());
}

void CDetailsDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    LayOut(event->size());
}

void CDetailsDlg::LayOut(QSize client) {
    const int cx = client.width();
    const int cy = client.height();
    if (isMinimized() || cx == 0 || cy == 0) {
        return;
    }
    const int w = m_okButton->width();
    const int h = m_okButton->height();
    m_okButton->move(cx - w - kMargin, cy - h - kMargin);
    m_edit->setGeometry(kMargin, kMargin, cx - 2 * kMargin, cy - h - 3 * kMargin);
}
