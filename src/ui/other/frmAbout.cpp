#include "ui/other/frmAbout.h"

#include "platform/app/Application.h"
#include "platform/screen/FormSize.h"
#include "platform/screen/Twips.h"
#include "system/app/HandlerGuard.h"
#include "system/app/SupportPages.h"
#include "system/app/basModule1.h"
#include "system/launch/OpenWebPage.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

namespace {

// Places a new control of the window (or of a frame in it) at a place in twips, with its names.
template <class Control, class... Args>
Control* place(QWidget* parent, const char* name, const QString& accessibleName, QRect twips, Args&&... args)
{
    auto* control = new Control(std::forward<Args>(args)..., parent);
    control->setObjectName(QString::fromLatin1(name));
    control->setAccessibleName(accessibleName);
    FormSize::placeControlTwips(*control, twips.x(), twips.y(), twips.width(), twips.height());
    return control;
}

// A label's accessible name is the text it shows.
void setLabel(QLabel* label, const QString& text)
{
    label->setText(text);
    label->setAccessibleName(text);
}

} // namespace

frmAbout::frmAbout(QWidget* owner) : QDialog(owner)
{
    setWindowTitle(QStringLiteral("About MyApp"));
    // The captions were laid out for a small 8-point face, as in the other windows.
    QFont small = font();
    small.setPointSizeF(8);
    setFont(small);
    createControls();
    setFixedSize(Twips::toPixels(6000), Twips::toPixels(3960));
    Form_Load();
}

void frmAbout::createControls()
{
    auto* picIcon = place<QLabel>(this, "picIcon", QStringLiteral("Quillock icon"), {240, 240, 480, 480});
    const QIcon icon = QApplication::windowIcon().isNull() ? style()->standardIcon(QStyle::SP_ComputerIcon)
                                                           : QApplication::windowIcon();
    picIcon->setPixmap(icon.pixmap(Twips::toPixels(480)));
    lblTitle = place<QLabel>(this, "lblTitle", QString(), {1050, 240, 4710, 480});
    QFont large = lblTitle->font();
    large.setPointSizeF(large.pointSizeF() * 1.5);
    large.setBold(true);
    lblTitle->setFont(large);
    lblVersion = place<QLabel>(this, "lblVersion", QString(), {1050, 780, 4710, 255});

    auto* fraOrvane = place<QGroupBox>(this, "fraOrvane", QStringLiteral("The Quillock project"),
                                       {1050, 1080, 4710, 780}, QStringLiteral("The Quillock project"));
    auto* txtOrvaneWebPage = place<QLineEdit>(fraOrvane, "txtOrvaneWebPage", QStringLiteral("Project web page"),
                                              {120, 330, 2970, 315}, SupportPages::makerHomePage());
    txtOrvaneWebPage->setReadOnly(true); // the button opens the page fixed in code, whatever this box holds
    connect(place<QPushButton>(fraOrvane, "cmdGotoOrvaneWebPage", QStringLiteral("Go to the project web page"),
                               {3180, 300, 1440, 375}, QStringLiteral("Go To WebPage")),
            &QPushButton::clicked, this, &frmAbout::cmdGotoOrvaneWebPage_Click);

    setLabel(place<QLabel>(this, "Label1", QString(), {1050, 1980, 4710, 255}),
             QStringLiteral("Built from the Quillock source code."));
    setLabel(place<QLabel>(this, "Label2", QString(), {1050, 2310, 4710, 255}),
             QStringLiteral("More Info Available At:"));
    txtWebPage = place<QLineEdit>(this, "txtWebPage", QStringLiteral("More info web address"), {1050, 2580, 3150, 315},
                                  SupportPages::makerHomePage());
    connect(place<QPushButton>(this, "cmdGoToWebPage", QStringLiteral("Go to the more info web address"),
                               {4320, 2550, 1440, 375}, QStringLiteral("Go To WebPage")),
            &QPushButton::clicked, this, &frmAbout::cmdGoToWebPage_Click);

    setLabel(place<QLabel>(this, "lblCopyrightNotice", QString(), {240, 3240, 3960, 255}),
             QStringLiteral("Copyright (C) 2026 the Quillock developers."));
    auto* cmdOK =
        place<QPushButton>(this, "cmdOK", QStringLiteral("OK"), {4320, 3180, 1440, 375}, QStringLiteral("OK"));
    // The default button answers Enter; a dialog answers Escape with reject, which closes it the same way.
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
}

void frmAbout::Form_Load()
{
    CenterForm(*this);
    setWindowTitle(QStringLiteral("About ") + Application::title());
    setLabel(lblVersion, QStringLiteral("Version ") + Application::version());
    setLabel(lblTitle, Application::title());
}

void frmAbout::cmdOK_Click()
{
    accept();
}

void frmAbout::cmdGotoOrvaneWebPage_Click()
{
    RunHandler([this] { OpenWebPage(SupportPages::makerHomePage(), this); });
}

void frmAbout::cmdGoToWebPage_Click()
{
    RunHandler([this] { OpenWebPage(txtWebPage->text(), this); });
}
