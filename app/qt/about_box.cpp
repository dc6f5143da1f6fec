#include "app/qt/about_box.h"

#include "app/qt/art.h"
#include "app/qt/link_widgets.h"
#include "app/qt/version.h"
#include "core/model/maker_addresses.h"

#include <QBoxLayout>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>

CAboutBox::CAboutBox(CWindowServices& services, QWidget* pParent) : QDialog(pParent)
{
    setWindowTitle("About Veyra");
    setObjectName("about");

    auto* pIcon = new QLabel(this);
    pIcon->setPixmap(VeyraIcon().pixmap(32, 32));
    pIcon->setAlignment(Qt::AlignTop);
    auto* pVersion = new QLabel(QString("Veyra Version %1").arg(kVeyraVersion), this);
    pVersion->setObjectName("version");
    pVersion->setTextFormat(Qt::PlainText);
    pVersion->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* pTexts = new QVBoxLayout;
    pTexts->addWidget(pVersion);
    // Both links lead to the maker's home page, as in Veyra.exe.
    for (const QString& strText :
         {QString("Copyright \u00A9 2026 Veyra Software"), QString(kMakerHomePage)})
    {
        auto* pLink = new CLinkLabel(strText, kMakerHomePage, this);
        connect(pLink, &QLabel::linkActivated, this,
                [&services](const QString& strLink) { services.OpenUrl(QUrl(strLink)); });
        pTexts->addWidget(pLink);
    }

    auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Ok, Qt::Vertical, this);
    connect(pButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* pLayout = new QHBoxLayout(this);
    pLayout->addWidget(pIcon);
    pLayout->addLayout(pTexts, 1);
    pLayout->addWidget(pButtons);
    pButtons->button(QDialogButtonBox::Ok)->setDefault(true);
    pButtons->button(QDialogButtonBox::Ok)->setFocus();
}
