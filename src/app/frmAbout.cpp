#include "frmAbout.h"
#include "Controls.h"
#include "FormPrep.h"
#include "Procedure.h"
#include "Translation.h"
#include "frmMain.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {
const QString kForm = QStringLiteral("frmAbout");
}

frmAbout::frmAbout() : Form(QStringLiteral("frmAbout"))
{
    OsenXPForm1 = new SkinForm(this);
    OsenXPForm1->setCaption(QStringLiteral("Informazioni su Merivolo"));
    lblTitle = makeLabel(this, QStringLiteral("lblTitle"), QStringLiteral("Merivolo"), true);
    QFont big = lblTitle->font();
    big.setPointSize(big.pointSize() + 6);
    lblTitle->setFont(big);
    auto *lblVersion = makeLabel(this, QStringLiteral("lblVersion"), QStringLiteral("Versione 1.0"), true);
    auto *lblSite = makeLabel(this, QStringLiteral("lblSitoWeb"), QStringLiteral("Sito web:"));
    txtWebPage = makeTextBox(this, QStringLiteral("txtWebPage"));
    txtWebPage->setText(QStringLiteral("https://merivolo.example.org/"));
    txtWebPage->setMinimumWidth(260);
    cmdGoToWebPage = makeButton(this, QStringLiteral("cmdGoToWebPage"), QStringLiteral("&Vai al sito web"));
    cmdOK = makeButton(this, QStringLiteral("cmdOK"), QStringLiteral("&Ok"));
    auto *picture = new PictureBox(this, QStringLiteral("OsenXPPicture1"));
    picture->setPixmap(QApplication::windowIcon().pixmap(64, 64));
    auto *lblCredits = makeLabel(this, QStringLiteral("lblCredits"),
                                 QStringLiteral("Credits:Foto nella finestra principale: Ada Moretti"));

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(18, 18, 18, 18);
    grid->addWidget(picture, 0, 0, 3, 1, Qt::AlignTop);
    grid->addWidget(lblTitle, 0, 1, 1, 3);
    grid->addWidget(lblVersion, 1, 1, 1, 3);
    grid->addWidget(lblSite, 2, 1);
    grid->addWidget(txtWebPage, 2, 2);
    grid->addWidget(cmdGoToWebPage, 2, 3);
    grid->addWidget(lblCredits, 3, 0, 1, 4);
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(cmdOK);
    grid->addLayout(row, 4, 0, 1, 4);

    connect(cmdGoToWebPage, &QPushButton::clicked, this, &frmAbout::cmdGoToWebPage_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
}

void frmAbout::Form_Load()
{
    formProc(kForm, QStringLiteral("Form_Load"), [&] {
        adjustSize();
        CenterForm(*this);
        DisattivaTabstop(controls());
        if (isEnglish())
            txtWebPage->setText(QString::fromLatin1(kEnglishWebPage));
    });
}

void frmAbout::cmdGoToWebPage_Click()
{
    formProc(kForm, QStringLiteral("cmdGoToWebPage_Click"), [&] { LaunchBrowser(txtWebPage->text(), this); });
}

void frmAbout::cmdOK_Click()
{
    formProc(kForm, QStringLiteral("cmdOK_Click"), [&] {
        unload();
        Instance<frmAbout>::release();
    });
}
