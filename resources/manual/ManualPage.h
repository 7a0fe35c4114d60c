#pragma once

#include <QByteArray>
#include <QCommandLineOption>
#include <QString>

namespace kestro::manual {

// A manual page in the man macros of roff, built a part at a time. Texts are
// given plain and escaped here: a backslash, a dash that starts an option
// ("--home", written as a minus so it can be copied), a line that would
// begin with a control character.
class ManualPage {
public:
    // The title line and the NAME section: "name \- summary".
    ManualPage(const QString& name, int section, const QString& date, const QString& source,
               const QString& summary);

    void section(const QString& title);
    void subsection(const QString& title);
    void paragraph(const QString& text);
    // A paragraph with a bold tag above it, indented: an exit status, a file.
    void tagged(const QString& tag, const QString& text);
    // An option, "-h, --help" or "--catalog PATH", with its description.
    void option(const QCommandLineOption& option);
    // A line of roff written as it is, for the synopsis.
    void raw(const QString& line);

    QByteArray text() const { return text_.toUtf8(); }

    // Plain text escaped for roff, and in bold or in italics.
    static QString escaped(const QString& text);
    static QString bold(const QString& text);
    static QString italic(const QString& text);

private:
    QString text_;
};

} // namespace kestro::manual
