// The windows shown modally: made on demand, one at a time, deleted when they close.

#include "ui/ModalWindow.h"

#include <QTest>
#include <QTimer>

namespace {

int made = 0;
int deleted = 0;

class Editor : public QDialog
{
public:
    explicit Editor(QWidget* owner) : QDialog(owner) { ++made; }
    ~Editor() override { ++deleted; }
};

} // namespace

class TestModalWindow : public QObject
{
    Q_OBJECT

private slots:
    void oneAtATimeAndDeletedWhenClosed()
    {
        made = deleted = 0;
        QWidget owner;
        int secondResult = -1;
        QTimer::singleShot(0, [&] {
            QVERIFY(ModalWindow<Editor>::OpenInstance());
            secondResult = ModalWindow<Editor>::Show(&owner); // brings the open one forward instead
            ModalWindow<Editor>::OpenInstance()->accept();
        });
        QCOMPARE(ModalWindow<Editor>::Show(&owner), int(QDialog::Accepted));
        QCOMPARE(secondResult, int(QDialog::Rejected));
        QCOMPARE(made, 1);
        QCOMPARE(deleted, 1);
        QVERIFY(!ModalWindow<Editor>::OpenInstance());
    }

    // A re-lock may close the program, and the window's owner with it, while the window is open.
    void ownerGoneWhileOpen()
    {
        made = deleted = 0;
        auto* owner = new QWidget;
        QTimer::singleShot(0, [owner] { delete owner; });
        QCOMPARE(ModalWindow<Editor>::Show(owner), int(QDialog::Rejected));
        QCOMPARE(deleted, 1);
        QVERIFY(!ModalWindow<Editor>::OpenInstance());
    }
};

QTEST_MAIN(TestModalWindow)
#include "tst_modal_window.moc"
