#pragma once

#include <QSplitter>

namespace kestro {

// The tree on the left and the contents list on the right, with a bar
// between them that the user drags. The list's width is the value that
// holds: when the window's width changes the tree takes what the list
// leaves. Neither pane gets narrower than 60 pixels: a narrow window narrows
// the list rather than the tree below 60, and the bar dropped closer than 60
// pixels to either edge stops there.
class PaneSplitter : public QSplitter {
    Q_OBJECT
public:
    static constexpr int kNarrowest = 60;
    static constexpr int kBarWidth = 5;

    PaneSplitter(QWidget* tree, QWidget* list, QWidget* parent = nullptr);

    int listWidth() const { return listWidth_; }
    void setListWidth(int width);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeBar();

    int listWidth_;
};

} // namespace kestro
