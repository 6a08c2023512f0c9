#pragma once

#include <QDialog>
#include <QString>

class QPlainTextEdit;
class QPushButton;
class QResizeEvent;

/// The resizable, read-only view of one conversion's log, shown after every conversion.
class CDetailsDlg : public QDialog {
  public:
    /// `text` is a copy of the log; lines logged later do not reach this dialog. `summary`, the
    /// counts of what was converted, is shown below the log.
    explicit CDetailsDlg(QString text, QWidget* parent = nullptr, QString summary = {});

    const QString& Text() const { return m_text; }

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    /// Keeps OK in the bottom-right corner and lets the log fill the rest, 10 pixels apart.
    void LayOut(QSize client);

    QString m_text;
    QPushButton* m_okButton;
    QPlainTextEdit* m_edit;
};
