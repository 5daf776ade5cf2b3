// frmFont: picks the type size of the report area from a list of nine sizes
// and applies it with the "..." button. Nothing is remembered: every opening
// starts at "8 Default".
#pragma once

#include <QDialog>
#include <QPointer>

#include <memory>

namespace Ui {
class frmFont;
}

namespace orvantis {

class frmFont : public QDialog {
    Q_OBJECT

public:
    // `reportArea` is the widget whose font size "..." sets; it may be null.
    explicit frmFont(QWidget* reportArea, QWidget* parent = nullptr);
    ~frmFont() override;

    // Creates the dialog afresh, centred over the report area's window, and
    // waits until it is closed.
    static void showModal(QWidget* reportArea);

private:
    void Form_Load();
    void Combo1_Click();
    void Command1_Click();

    std::unique_ptr<Ui::frmFont> ui;
    QPointer<QWidget> reportArea_;
    int chosenSize = 8;
};

} // namespace orvantis
