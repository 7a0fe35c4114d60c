#pragma once

#include <QString>
#include <optional>

class QWidget;

namespace kestro {

// Every message box, input box and file dialog of the program goes through
// this interface, so that tests script the answers instead of fighting modal
// windows.
class Prompter {
public:
    virtual ~Prompter() = default;

    // A notice with only an OK button and the program's own title.
    virtual void message(const QString& text) = 0;
    // A question with Yes and No buttons; true for Yes.
    virtual bool question(const QString& text, const QString& title) = 0;
    // An input box; nothing when cancelled.
    virtual std::optional<QString> inputText(const QString& prompt, const QString& title,
                                             const QString& defaultText) = 0;
    // File dialogs; nothing when cancelled. `filter` is in Qt's form
    // ("Kestro Database files (*.mdb)"); `defaultSuffix` is added to a name
    // typed without one.
    virtual std::optional<QString> openFileName(const QString& title, const QString& folder,
                                                const QString& filter) = 0;
    virtual std::optional<QString> saveFileName(const QString& title, const QString& folder,
                                                const QString& filter,
                                                const QString& defaultSuffix) = 0;
    // A folder chooser starting in `folder`; nothing when cancelled.
    virtual std::optional<QString> existingFolder(const QString& title, const QString& folder) = 0;
};

// The title of the program's message boxes.
inline const QString kProgramTitle = QStringLiteral("Kestro Pro");

// The real dialogs, parented to a window.
class WidgetPrompter : public Prompter {
public:
    explicit WidgetPrompter(QWidget* parent) : parent_(parent) {}

    void message(const QString& text) override;
    bool question(const QString& text, const QString& title) override;
    std::optional<QString> inputText(const QString& prompt, const QString& title,
                                     const QString& defaultText) override;
    std::optional<QString> openFileName(const QString& title, const QString& folder,
                                        const QString& filter) override;
    std::optional<QString> saveFileName(const QString& title, const QString& folder,
                                        const QString& filter,
                                        const QString& defaultSuffix) override;
    std::optional<QString> existingFolder(const QString& title, const QString& folder) override;

private:
    QWidget* parent_;
};

} // namespace kestro
