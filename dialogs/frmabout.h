// frmAbout: the borderless About panel with the program's picture, its name
// and version, and a mail link to its author. A click on the background
// closes it.
#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class frmAbout;
}

namespace orvantis {

struct GoToURLEvent;
struct Services;

class frmAbout : public QDialog {
    Q_OBJECT

public:
    // Uses services.urls and services.messages for the link; either may be
    // null (the link then opens or reports nothing).
    explicit frmAbout(const Services& services, QWidget* parent = nullptr);
    ~frmAbout() override;

    // Creates the panel afresh, centred over `over` (or the screen when null),
    // and waits until it is closed.
    static void showModal(QWidget* over, const Services& services);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // The panel has no keys of its own; Esc in particular does not close it.
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool onSurface(const QPoint& position) const;
    void Form_Click();
    void Image1_DblClick();
    void URLLink1_GoToURL(GoToURLEvent& event);

    std::unique_ptr<Ui::frmAbout> ui;
    bool pressedOnSurface_ = false;
};

} // namespace orvantis
