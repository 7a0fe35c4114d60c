#include "platform/gui/Prompter.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace kestro {

void WidgetPrompter::message(const QString& text) {
    QMessageBox::information(parent_, kProgramTitle, text, QMessageBox::Ok);
}

bool WidgetPrompter::question(const QString& text, const QString& title) {
    return QMessageBox::question(parent_, title, text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

std::optional<QString> WidgetPrompter::inputText(const QString& prompt, const QString& title,
                                                 const QString& defaultText) {
    bool accepted = false;
    const QString text =
        QInputDialog::getText(parent_, title, prompt, QLineEdit::Normal, defaultText, &accepted);
    if (!accepted)
        return std::nullopt;
    return text;
}

std::optional<QString> WidgetPrompter::openFileName(const QString& title, const QString& folder,
                                                    const QString& filter) {
    const QString name = QFileDialog::getOpenFileName(parent_, title, folder, filter);
    if (name.isEmpty())
        return std::nullopt;
    return name;
}

std::optional<QString> WidgetPrompter::saveFileName(const QString& title, const QString& folder,
                                                    const QString& filter,
                                                    const QString& defaultSuffix) {
    QFileDialog dialog(parent_, title, folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}

std::optional<QString> WidgetPrompter::existingFolder(const QString& title, const QString& folder) {
    const QString name = QFileDialog::getExistingDirectory(parent_, title, folder);
    if (name.isEmpty())
        return std::nullopt;
    return name;
}

} // namespace kestro
