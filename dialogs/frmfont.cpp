#include "dialogs/frmfont.h"

#include "look/look.h"
#include "look/window_frame.h"
#include "ui_frmfont.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionComboBox>

#include <array>

namespace orvantis {

namespace {

// The list, in order; the size comes from the position, never the text.
const std::array<const char*, 9> sizeEntries{"8 Default", "9", "10", "11", "12",
                                             "13", "14", "15", "16"};
constexpr int smallestSize = 8;
// The blank a line edit keeps on either side of its text, in pixels.
constexpr int kFieldTextMargin = 2;

// The label's access key only moves the focus to its buddy; a label with a
// button for buddy would otherwise press the button.
class FocusBuddyOnly final : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Shortcut)
            return false;
        auto* label = qobject_cast<QLabel*>(watched);
        if (label != nullptr && label->buddy() != nullptr)
            label->buddy()->setFocus(Qt::ShortcutFocusReason);
        return true;
    }
};

// The size list's text field. An editable list looks the field's text up
// among its entries when the field reports its editing finished (Enter, or
// the focus leaving it) and selects the entry it finds; here typing picks
// nothing, so the field keeps those reports to itself. Enter then goes on to
// the dialog's default button, as the field leaves the key to its parents.
class SizeField final : public QLineEdit {
public:
    using QLineEdit::QLineEdit;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter)
            return QLineEdit::keyPressEvent(event);
        const QSignalBlocker quiet(this);
        QLineEdit::keyPressEvent(event);
    }
    void focusOutEvent(QFocusEvent* event) override
    {
        const QSignalBlocker quiet(this);
        QLineEdit::focusOutEvent(event);
    }
};

} // namespace

frmFont::frmFont(QWidget* reportArea, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      ui(std::make_unique<Ui::frmFont>()), reportArea_(reportArea)
{
    ui->setupUi(this);
    ui->Combo1->setLineEdit(new SizeField); // see SizeField
    setFixedSize(size());
    look::keepNormalState(this);
    look::placeWhenFirstShown(this);
    setFont(look::msSansSerif());

    QPalette labelColours = ui->Label1->palette();
    labelColours.setColor(QPalette::WindowText, look::colours::highlight());
    ui->Label1->setPalette(labelColours);
    ui->Label1->installEventFilter(new FocusBuddyOnly(ui->Label1));

    // The stand-in face is wider than the one the box was sized for: narrowed
    // just enough for the widest entry to show whole in the field beside the
    // arrow.
    QStyleOptionComboBox field;
    field.initFrom(ui->Combo1);
    field.editable = true;
    const int room = style()->subControlRect(QStyle::CC_ComboBox, &field,
                                             QStyle::SC_ComboBoxEditField, ui->Combo1).width()
                     - 2 * kFieldTextMargin;
    ui->Combo1->setFont(look::fittedToWidth(font(), QString::fromLatin1(sizeEntries[0]), room));

    QPalette listColours = ui->Combo1->palette();
    listColours.setColor(QPalette::Base, look::colours::activeTitleBar());
    listColours.setColor(QPalette::Text, look::colours::yellow());
    ui->Combo1->setPalette(listColours);

    // Typing into the field selects nothing: only a pick from the list (mouse
    // or arrow keys, reported as `activated`) changes the size. Nor does the
    // list complete what is typed.
    ui->Combo1->setCompleter(nullptr);
    connect(ui->Combo1, &QComboBox::activated, this, &frmFont::Combo1_Click);

    connect(ui->Command1, &QPushButton::clicked, this, &frmFont::Command1_Click);
    ui->Command1->setFocus();

    Form_Load();
}

frmFont::~frmFont() = default;

void frmFont::showModal(QWidget* reportArea)
{
    // With the report area's window as parent the dialog is centred over it.
    frmFont dialog(reportArea, reportArea != nullptr ? reportArea->window() : nullptr);
    dialog.exec();
}

void frmFont::Form_Load()
{
    chosenSize = smallestSize;
    for (const char* entry : sizeEntries)
        ui->Combo1->addItem(QString::fromLatin1(entry));
    ui->Combo1->setCurrentIndex(0);
    Combo1_Click();
}

void frmFont::Combo1_Click()
{
    const int position = ui->Combo1->currentIndex();
    if (position >= 0 && position < static_cast<int>(sizeEntries.size()))
        chosenSize = smallestSize + position;
}

void frmFont::Command1_Click()
{
    if (reportArea_ != nullptr) {
        QFont font = reportArea_->font();
        font.setPointSize(chosenSize);
        reportArea_->setFont(font);
    }
    accept();
}

} // namespace orvantis
