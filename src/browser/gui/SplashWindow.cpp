#include "browser/gui/SplashWindow.h"

#include "platform/Version.h"

#include <QLabel>
#include <QVBoxLayout>

namespace kestro {

SplashWindow::SplashWindow(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint), lbl_(new QLabel(this)) {
    setObjectName(QStringLiteral("frmSplash"));
    auto* title = new QLabel(QStringLiteral("Kestro Pro"), this);
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 2);
    big.setBold(true);
    title->setFont(big);
    title->setAlignment(Qt::AlignCenter);
    auto* version = new QLabel(QStringLiteral("Version ") + kVersionText, this);
    version->setObjectName(QStringLiteral("Label2"));
    version->setAlignment(Qt::AlignCenter);
    lbl_->setObjectName(QStringLiteral("lbl"));
    lbl_->setAlignment(Qt::AlignCenter);
    lbl_->setText(QStringLiteral("Loading database..."));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(32, 24, 32, 24);
    layout->addWidget(title);
    layout->addWidget(version);
    layout->addSpacing(12);
    layout->addWidget(lbl_);
    setAutoFillBackground(true);
    resize(360, 160);
}

void SplashWindow::setMessage(const QString& text) {
    lbl_->setText(text);
}

} // namespace kestro
