#include "ui/maintenance/RecordEditor.h"

#include "platform/dialogs/Dialogs.h"
#include "platform/screen/AccessKey.h"
#include "platform/screen/FormSize.h"
#include "platform/screen/Screen.h"
#include "platform/screen/Twips.h"
#include "system/app/HandlerGuard.h"
#include "system/app/UnitOfWork.h"
#include "system/app/basModule1.h"
#include "system/print/PrintForm.h"
#include "system/print/Printout.h"
#include "ui/StorableText.h"

#include "domain/error/AppError.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <limits>
#include <optional>

namespace {

// Rows and buttons, in twips.
constexpr double MarginTwips = 180;
constexpr double RowHeightTwips = 315;
constexpr double RowStepTwips = 480;
constexpr double InputWidthTwips = 4500;
constexpr double ButtonWidthTwips = 1000;
constexpr double ButtonHeightTwips = 375;

} // namespace

RecordEditor::RecordEditor(const QString& caption, Activity activity, QWidget* owner, double labelWidthTwips)
    : QDialog(owner), m_activity(activity), m_labelWidthTwips(labelWidthTwips)
{
    setWindowTitle(caption);
    QFont small = font();
    small.setPointSizeF(8);
    setFont(small);
}

RecordEditor::~RecordEditor() = default;

double RecordEditor::nextRowTopTwips() const
{
    return MarginTwips + m_rows * RowStepTwips;
}

QLabel* RecordEditor::addRow(QWidget* input, const char* labelName, const QString& caption)
{
    QLabel* label = nullptr;
    if (!caption.isEmpty()) {
        label = new QLabel(caption, this);
        label->setObjectName(QString::fromLatin1(labelName));
        label->setBuddy(input);
        FormSize::placeControlTwips(*label, MarginTwips, nextRowTopTwips(), m_labelWidthTwips, RowHeightTwips);
        input->setAccessibleName(withoutAccessKey(caption));
    }
    input->setParent(this);
    FormSize::placeControlTwips(*input, MarginTwips + m_labelWidthTwips, nextRowTopTwips(), InputWidthTwips,
                                RowHeightTwips);
    if (!m_firstInput)
        m_firstInput = input;
    ++m_rows;
    return label;
}

QLineEdit* RecordEditor::addTextBox(const char* name, const char* labelName, const QString& caption, Storage storage)
{
    auto* box = new QLineEdit(this);
    box->setObjectName(QString::fromLatin1(name));
    // A box cuts a longer text to its most (32,767 characters unless told otherwise) without a word, on typing,
    // pasting and showing a stored text alike; so it takes any length, and OK refuses what cannot be stored.
    box->setMaxLength(std::numeric_limits<int>::max());
    addRow(box, labelName, caption);
    m_textBoxes.append(box);
    if (storage == Storage::Enciphered)
        m_encipheredBoxes.append(box);
    return box;
}

void RecordEditor::addButtons(PrintButton print)
{
    const double topTwips = nextRowTopTwips() + RowStepTwips - RowHeightTwips;
    const double leftTwips = MarginTwips + m_labelWidthTwips;
    auto* ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    FormSize::placeControlTwips(*ok, leftTwips, topTwips, ButtonWidthTwips, ButtonHeightTwips);
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    FormSize::placeControlTwips(*cancel, leftTwips + ButtonWidthTwips + MarginTwips, topTwips, ButtonWidthTwips,
                                ButtonHeightTwips);
    connect(ok, &QPushButton::clicked, this, &RecordEditor::cmdOK_Click);
    connect(cancel, &QPushButton::clicked, this, &RecordEditor::cmdCancel_Click);
    if (print == PrintButton::Shown) {
        auto* button = new QPushButton(QStringLiteral("&Print"), this);
        button->setObjectName(QStringLiteral("cmdPrint"));
        button->setAutoDefault(false);
        FormSize::placeControlTwips(*button, leftTwips + 2 * (ButtonWidthTwips + MarginTwips), topTwips,
                                    ButtonWidthTwips, ButtonHeightTwips);
        connect(button, &QPushButton::clicked, this, &RecordEditor::cmdPrint_Click);
    }
    setFixedSize(Twips::toPixels(leftTwips + InputWidthTwips + MarginTwips),
                 Twips::toPixels(topTwips + ButtonHeightTwips + MarginTwips));
}

bool RecordEditor::adding() const
{
    return gblnNewRecord;
}

// A window shown without being loaded first loads now, and closes again at once when it cannot.
void RecordEditor::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_load == Load::NotYet && !Form_Load())
        QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
}

// Showing a dialog sends its focus widget a focus-in as if tabbed to, which selects all of a box's text; the caret
// is put after the text once the window is up.
void RecordEditor::setVisible(bool visible)
{
    QDialog::setVisible(visible);
    if (visible)
        Form_Activate();
}

bool RecordEditor::Form_Load()
{
    if (m_load == Load::NotYet) {
        Screen::setMousePointer(Screen::vbHourglass);
        CenterForm(*this);
        m_load = readRecord() ? Load::Done : Load::Failed;
    }
    return m_load == Load::Done;
}

// The record and the lists to choose from are read whole, or the window does not open.
bool RecordEditor::readRecord()
{
    bool read = false;
    bool gone = false;
    RunHandler(
        [this, &read, &gone] {
            try {
                UnitOfWork work;
                if (!adding() && !loadRecord(work)) {
                    gone = true;
                    return;
                }
                loadCommon(work);
                read = true;
            } catch (const AppError& error) {
                throw AppError(error.number(),
                               QStringLiteral("The %1 window does not open, as what it shows could not be "
                                              "read: %2")
                                   .arg(windowTitle(), error.description()));
            }
        },
        [] { Screen::setMousePointer(Screen::vbDefault); });
    if (gone)
        dialogs().msgBox(recordGoneMessage(), Dialogs::vbExclamation);
    return read;
}

void RecordEditor::Form_Activate()
{
    if (!m_firstInput)
        return;
    m_firstInput->setFocus(Qt::ActiveWindowFocusReason);
    if (auto* box = qobject_cast<QLineEdit*>(m_firstInput))
        box->end(false);
}

// A text that cannot be stored whole is refused before anything is written, naming the box and what is wrong
// with it, so that the user can mend it; the box gets the focus.
bool RecordEditor::textsCanBeStored() const
{
    for (QLineEdit* box : m_textBoxes) {
        if (!box->isReadOnly() && !StoredTextFits(box->text(), box->accessibleName())) {
            box->setFocus();
            return false;
        }
    }
    for (QLineEdit* box : m_encipheredBoxes) {
        if (!FieldCipherCanStore(box->text(), box->accessibleName())) {
            box->setFocus();
            return false;
        }
    }
    return true;
}

// Nothing is saved from a window whose record was not read. A record gone since it was read is said so, and
// the window stays open with what was typed.
void RecordEditor::cmdOK_Click()
{
    if (m_load != Load::Done || !textsCanBeStored() || !checksPass())
        return;
    if (m_activity == Activity::Counted)
        gdblMinutesLeft = gdblRelockMinutes;
    bool saved = false;
    std::optional<QString> gone;
    RunHandler([this, &saved, &gone] {
        try {
            UnitOfWork work;
            saveRecord(work);
            saved = true;
        } catch (const RecordGone& recordGone) {
            gone = recordGone.message;
        }
    });
    if (gone)
        dialogs().msgBox(*gone + QStringLiteral(" Nothing was saved."), Dialogs::vbExclamation);
    if (saved)
        accept();
}

void RecordEditor::cmdCancel_Click()
{
    if (m_activity == Activity::Counted)
        gdblMinutesLeft = gdblRelockMinutes;
    reject();
}

// Prints what the window shows, saved or not.
void RecordEditor::cmdPrint_Click()
{
    if (m_activity == Activity::Counted)
        gdblMinutesLeft = gdblRelockMinutes;
    RunHandler(
        [this] { Printout(windowTitle(), [this](Printing::Printer& printer) { PrintRecordForm(printer, *this); }); },
        [] { Screen::setMousePointer(Screen::vbDefault); });
}
