#pragma once

#include "platform/gui/Prompter.h"

#include <QStringList>
#include <deque>
#include <variant>

namespace kestro::test {

// A Prompter that answers from a script and records everything it was shown.
// An answer is a bool for a question, a text (or nothing, for Cancel) for an
// input box or file dialog. Running out of answers fails the test loudly.
class ScriptedPrompter : public Prompter {
public:
    using Answer = std::variant<bool, std::optional<QString>>;

    void answer(Answer a) { answers_.push_back(std::move(a)); }
    void answerText(const QString& text) { answers_.push_back(std::optional<QString>(text)); }
    void answerCancel() { answers_.push_back(std::optional<QString>()); }
    bool allAnswered() const { return answers_.empty(); }

    QStringList messages;  // every notice shown, in order
    QStringList questions; // every question, input prompt or dialog title, in order

    void message(const QString& text) override { messages << text; }
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
    Answer next(const QString& asked);

    std::deque<Answer> answers_;
};

} // namespace kestro::test
