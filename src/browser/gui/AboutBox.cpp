#include "browser/gui/AboutBox.h"

#include "platform/Version.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kestro {

namespace {

const QString kDescription = QStringLiteral(
    "Kestro Pro keeps a catalog of your removable media and drives: USB sticks, memory cards, "
    "CDs and DVDs, floppy disks, network shares, and any folder you give a drive letter.\n\n"
    "Catalog a volume once, and browse it while it sits in a drawer. Kestro Pro knows the volume "
    "again by its serial number or by a small marker file, and keeps your descriptions when you "
    "catalog it anew.\n\n"
    "Group volumes into categories, search every volume by name, date, size and description, "
    "export what you find as delimited text, and open a catalogued file once its medium is "
    "back.");

} // namespace

AboutBox::AboutBox(const QIcon& logo, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fAbout"));
    setWindowTitle(QStringLiteral("About Kestro Pro"));

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setPixmap(logo.pixmap(64, 64));
    picture->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    auto* name = new QLabel(QStringLiteral("Kestro Pro"), this);
    name->setObjectName(QStringLiteral("Label1"));
    QFont big = name->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    name->setFont(big);
    auto* version = new QLabel(QStringLiteral("Version ") + kVersionText, this);
    version->setObjectName(QStringLiteral("Label5"));

    auto* description = new QPlainTextEdit(kDescription, this);
    description->setObjectName(QStringLiteral("Text1"));
    description->setReadOnly(true);
    description->setMinimumSize(420, 200);

    auto* help = new QPushButton(QStringLiteral("&Help"), this);
    help->setObjectName(QStringLiteral("Command2"));
    help->setAutoDefault(false);
    auto* ok = new QPushButton(QStringLiteral("&Ok"), this);
    ok->setObjectName(QStringLiteral("Command1"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(help, &QPushButton::clicked, this, &AboutBox::helpRequested);

    auto* heading = new QVBoxLayout;
    heading->setSpacing(2);
    heading->addWidget(name);
    heading->addWidget(version);
    heading->addSpacing(10);
    heading->addWidget(description, 1);
    auto* body = new QHBoxLayout;
    body->setSpacing(18);
    body->addWidget(picture, 0, Qt::AlignTop);
    body->addLayout(heading, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(help);
    buttons->addStretch();
    buttons->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 18, 18, 14);
    layout->addLayout(body, 1);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    ok->setFocus();
}

} // namespace kestro
