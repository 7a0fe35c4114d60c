#include "browser/gui/AboutBox.h"

#include "platform/Version.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kestro {

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fAbout"));
    setWindowTitle(QStringLiteral("About Kestro Pro"));
    auto* name = new QLabel(QStringLiteral("<b>Kestro Pro</b>"), this);
    auto* version = new QLabel(QStringLiteral("Version ") + kVersionText, this);
    version->setObjectName(QStringLiteral("Label5"));
    auto* about = new QLabel(
        QStringLiteral("Catalogues your removable media and drives, so that you can browse and "
                       "search them while they are offline."),
        this);
    about->setWordWrap(true);
    auto* ok = new QPushButton(QStringLiteral("&Ok"), this);
    ok->setObjectName(QStringLiteral("Command1"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(name);
    layout->addWidget(version);
    layout->addWidget(about);
    layout->addWidget(ok, 0, Qt::AlignRight);
    setMinimumWidth(320);
}

} // namespace kestro
