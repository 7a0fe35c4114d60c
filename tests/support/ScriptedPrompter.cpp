#include "support/ScriptedPrompter.h"

#include <stdexcept>

namespace kestro::test {

ScriptedPrompter::Answer ScriptedPrompter::next(const QString& asked) {
    questions << asked;
    if (answers_.empty())
        throw std::logic_error("no scripted answer for: " + asked.toStdString());
    Answer a = std::move(answers_.front());
    answers_.pop_front();
    return a;
}

bool ScriptedPrompter::question(const QString& text, const QString&) {
    const Answer a = next(text);
    if (!std::holds_alternative<bool>(a))
        throw std::logic_error("scripted a text where a question was asked: " + text.toStdString());
    return std::get<bool>(a);
}

namespace {

std::optional<QString> textAnswer(const ScriptedPrompter::Answer& a, const QString& asked) {
    if (!std::holds_alternative<std::optional<QString>>(a))
        throw std::logic_error("scripted Yes/No where a text was asked: " + asked.toStdString());
    return std::get<std::optional<QString>>(a);
}

} // namespace

std::optional<QString> ScriptedPrompter::inputText(const QString& prompt, const QString&,
                                                   const QString&) {
    return textAnswer(next(prompt), prompt);
}

std::optional<QString> ScriptedPrompter::openFileName(const QString& title, const QString&,
                                                      const QString&) {
    return textAnswer(next(title), title);
}

std::optional<QString> ScriptedPrompter::saveFileName(const QString& title, const QString&,
                                                      const QString&, const QString&) {
    return textAnswer(next(title), title);
}

std::optional<QString> ScriptedPrompter::existingFolder(const QString& title, const QString&) {
    return textAnswer(next(title), title);
}

} // namespace kestro::test
