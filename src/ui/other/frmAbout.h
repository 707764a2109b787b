#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;

// The about box: the program's title and version, and two buttons that open web pages, the maker's home page
// and whatever address the box below "More Info Available At:" holds. OK, Enter and Escape close it. Its
// controls carry their names as object names and each has an accessible name.
//
//     ModalWindow<frmAbout>::Show(this);
class frmAbout : public QDialog
{
    Q_OBJECT

public:
    explicit frmAbout(QWidget* owner = nullptr);

private slots:
    void cmdOK_Click();
    void cmdGotoOrvaneWebPage_Click();
    void cmdGoToWebPage_Click();

private:
    void createControls();
    void Form_Load();

    QLabel* lblTitle;
    QLabel* lblVersion;
    QLineEdit* txtWebPage;
};
