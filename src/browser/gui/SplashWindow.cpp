#include "browser/gui/SplashWindow.h"

#include "platform/Version.h"

#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QVBoxLayout>

namespace kestro {

namespace {

QLabel* centredLabel(const char* name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setAlignment(Qt::AlignHCenter);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QFont scaled(QFont font, double factor, bool bold) {
    font.setPointSizeF(font.pointSizeF() * factor);
    font.setBold(bold);
    return font;
}

} // namespace

SplashWindow::SplashWindow(const QIcon& logo, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QStringLiteral("Kestro Pro"));

    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setFrameShadow(QFrame::Raised);

    auto* picture = new QLabel(frame);
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setPixmap(logo.pixmap(64, 64));
    picture->setAlignment(Qt::AlignHCenter);
    auto* name = centredLabel("lblName", QStringLiteral("Kestro Pro"), frame);
    name->setFont(scaled(font(), 2.0, true));
    auto* version = centredLabel("Label2", QStringLiteral("Version ") + kVersionText, frame);
    label1_ = centredLabel("Label1", QStringLiteral("The catalog of your removable media"), frame);
    label1_->setFont(scaled(font(), 0.9, false));
    label1_->setForegroundRole(QPalette::PlaceholderText);
    lbl_ = centredLabel("lbl", QStringLiteral("Loading database..."), frame);

    auto* column = new QVBoxLayout(frame);
    column->setContentsMargins(40, 28, 40, 20);
    column->setSpacing(4);
    column->addWidget(picture);
    column->addSpacing(8);
    column->addWidget(name);
    column->addWidget(version);
    column->addWidget(label1_);
    column->addSpacing(20);
    column->addWidget(lbl_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(frame);
    setAutoFillBackground(true);
    setFixedSize(sizeHint().expandedTo(QSize(380, 0)));
}

void SplashWindow::setMessage(const QString& text) {
    lbl_->setText(text);
}

void SplashWindow::setProgress(const QString& text) {
    label1_->setText(text);
}

} // namespace kestro
