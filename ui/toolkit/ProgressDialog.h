#pragma once
// The progress window of a download: an information text, a percentage bar and a Cancel button.
// It is shown without blocking; cancelling only emits dialogClosed, its owner decides the rest.
#include <QDialog>
#include <QString>

namespace Ui
{
class ProgressDialog;
}

namespace OX
{

class ProgressDialog : public QDialog
{
    Q_OBJECT
    Q_PROPERTY(double progress READ progress WRITE setProgress)
    Q_PROPERTY(QString info READ info WRITE setInfo)
public:
    // The usual size; a text too long for it makes the window taller.
    static constexpr int Width = 574;
    static constexpr int Height = 152;

    explicit ProgressDialog(QWidget* parent = nullptr);
    ~ProgressDialog() override;

    QString info() const { return infoText; }
    void setInfo(const QString& text);

    double progress() const { return fraction; }
    // The bar shows the integer part of fraction x 100, clamped to 0..100 (not a number: 0).
    void setProgress(double fraction);

    // Escape and the window's close button ask to cancel, as the Cancel button does: they emit
    // dialogClosed and leave the window to its owner, so a download never runs on unseen.
    void reject() override;

signals:
    void dialogClosed();

protected:
    void showEvent(QShowEvent* event) override;
    // A language change while the window is shown re-applies its own texts; the information
    // text is its owner's.
    void changeEvent(QEvent* event) override;
    // The end of the desktop session closes the window all the same, once dialogClosed has told
    // its owner: a window refusing would cancel the person's logout or shutdown.
    void closeEvent(QCloseEvent* event) override;

private:
    void fitInfo();

    Ui::ProgressDialog* ui;
    double fraction = 0.0;
    QString infoText;
};

} // namespace OX
