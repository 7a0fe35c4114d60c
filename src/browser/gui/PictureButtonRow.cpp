#include "browser/gui/PictureButtonRow.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QPainter>

namespace kestro {

namespace {

// The ends of the row: an etched grip.
class EndPicture : public QWidget {
public:
    explicit EndPicture(QWidget* parent) : QWidget(parent) {
        setFixedSize(6, 28);
        setMouseTracking(true);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        for (int x : {1, 4}) {
            painter.setPen(palette().color(QPalette::Dark));
            painter.drawLine(x, 3, x, height() - 4);
            painter.setPen(palette().color(QPalette::Light));
            painter.drawLine(x + 1, 3, x + 1, height() - 4);
        }
    }
};

} // namespace

PictureButtonRow::PictureButtonRow(QWidget* parent)
    : QWidget(parent), layout_(new QHBoxLayout(this)) {
    setObjectName(QStringLiteral("buttonRow"));
    setMouseTracking(true);
    layout_->setContentsMargins(0, 1, 0, 2);
    layout_->setSpacing(3);
    addEndPicture(QStringLiteral("bStart"));
    tail_ = addEndPicture(QStringLiteral("tail"));
    layout_->addStretch();
}

QWidget* PictureButtonRow::addEndPicture(const QString& name) {
    auto* picture = new EndPicture(this);
    picture->setObjectName(name);
    picture->installEventFilter(this);
    layout_->addWidget(picture);
    return picture;
}

PictureButton* PictureButtonRow::addButton(const QString& name, const QIcon& picture,
                                           const QString& toolTip, std::function<void()> command) {
    auto* button = new PictureButton(name, picture, toolTip, this);
    layout_->insertWidget(layout_->indexOf(tail_), button);
    buttons_.push_back(button);
    connect(button, &PictureButton::mousePressed, this, [this, button] {
        pressed_ = true;
        button->setLook(PictureButton::Look::Pressed);
        resetAllExcept(button);
        Q_EMIT clickDown();
    });
    connect(button, &PictureButton::mouseMoved, this, [this, button] {
        if (pressed_)
            return;
        button->setLook(PictureButton::Look::Hovering);
        resetAllExcept(button);
    });
    connect(button, &PictureButton::mouseReleased, this, [this, button, command] {
        pressed_ = false;
        button->setLook(PictureButton::Look::Hovering);
        resetAllExcept(button);
        Q_EMIT clickUp();
        command();
    });
    return button;
}

void PictureButtonRow::resetAllExcept(const PictureButton* keep) {
    for (PictureButton* button : buttons_)
        if (button != keep)
            button->setLook(PictureButton::Look::Resting);
}

bool PictureButtonRow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove)
        resetAll();
    return QWidget::eventFilter(watched, event);
}

void PictureButtonRow::mouseMoveEvent(QMouseEvent*) {
    resetAll();
}

} // namespace kestro
