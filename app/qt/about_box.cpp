#include "app/qt/about_box.h"

#include "app/qt/art.h"
#include "app/qt/link_widgets.h"
#include "app/qt/version.h"
#include "core/model/maker_addresses.h"

#include <QBoxLayout>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>

AboutBox::AboutBox(WindowServices& services, QWidget* parent) : QDialog(parent)
{
    setWindowTitle("About Veyra");
    setObjectName("about");

    auto* icon = new QLabel(this);
    icon->setPixmap(veyraIcon().pixmap(32, 32));
    icon->setAlignment(Qt::AlignTop);
    auto* version = new QLabel(QString("Veyra Version %1").arg(kVeyraVersion), this);
    version->setObjectName("version");
    version->setTextFormat(Qt::PlainText);
    version->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* texts = new QVBoxLayout;
    texts->addWidget(version);
    // Both links lead to the maker's home page, as in Veyra.exe.
    for (const QString& text :
         {QString("Copyright \u00A9 2026 Veyra Software"), QString(kMakerHomePage)})
    {
        auto* link = new LinkLabel(text, kMakerHomePage, this);
        connect(link, &QLabel::linkActivated, this,
                [&services](const QString& address) { services.openUrl(QUrl(address)); });
        texts->addWidget(link);
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, Qt::Vertical, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(icon);
    layout->addLayout(texts, 1);
    layout->addWidget(buttons);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    buttons->button(QDialogButtonBox::Ok)->setFocus();
}
