// The help document: one page that any browser shows on its own, with no
// network and nothing run, using the program's captions and messages as the
// user meets them.

#include "catalog/Catalog.h"
#include "catalog/CatalogFile.h"
#include "support/TestSupport.h"

#include <QRegularExpression>
#include <QSet>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

using kestro::test::readAll;

namespace {

struct Page {
    QString error; // empty when the page is well-formed
    QStringList elements;
    QStringList links;    // every href
    QStringList sources;  // every src, and every url() or @import of the style sheet
    QStringList handlers; // attributes that would run script: onclick and the like
    QStringList ids;
    QString text; // as a browser lays it out: runs of white space as one space
};

Page readPage(const QString& path) {
    Page page;
    QXmlStreamReader xml(readAll(path));
    QString rawText;
    QString style;
    bool inStyle = false;
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement:
            page.elements << xml.name().toString();
            inStyle = xml.name() == QLatin1String("style");
            for (const QXmlStreamAttribute& attribute : xml.attributes()) {
                const QString name = attribute.name().toString();
                const QString value = attribute.value().toString();
                if (name == QLatin1String("href"))
                    page.links << value;
                else if (name == QLatin1String("src"))
                    page.sources << value;
                else if (name == QLatin1String("id"))
                    page.ids << value;
                else if (name.startsWith(QLatin1String("on")))
                    page.handlers << name;
            }
            break;
        case QXmlStreamReader::EndElement:
            inStyle = false;
            break;
        case QXmlStreamReader::Characters:
            (inStyle ? style : rawText) += xml.text();
            break;
        default:
            break;
        }
    }
    if (xml.hasError())
        page.error = QStringLiteral("line %1: %2").arg(xml.lineNumber()).arg(xml.errorString());
    static const QRegularExpression fetches(QStringLiteral("(url\\s*\\([^)]*\\)|@import)"));
    for (const QRegularExpressionMatch& match : fetches.globalMatch(style))
        page.sources << match.captured(1);
    // A no-break space is how the page keeps the two spaces some messages
    // have after a full stop; the browser shows it as a space.
    static const QRegularExpression whiteSpace(QStringLiteral("[ \\t\\r\\n]+"));
    page.text =
        rawText.replace(whiteSpace, QStringLiteral(" ")).replace(QChar(0xA0), QLatin1Char(' '));
    return page;
}

const Page& helpPage() {
    static const Page page = readPage(QStringLiteral(KESTRO_HELP_FILE));
    return page;
}

} // namespace

TEST(HelpDocument, IsOnePageThatNeedsNothingElse) {
    const Page& page = helpPage();
    ASSERT_EQ(page.error, QString());
    ASSERT_FALSE(page.elements.isEmpty());
    EXPECT_EQ(page.elements.first(), "html");
    for (const char* name : {"script", "link", "img", "iframe", "object", "embed", "base"})
        EXPECT_FALSE(page.elements.contains(QLatin1String(name))) << name;
    EXPECT_EQ(page.sources, QStringList());
    EXPECT_EQ(page.handlers, QStringList());

    // Every link leads to a place on the page, and no two places share a name.
    EXPECT_EQ(QSet<QString>(page.ids.begin(), page.ids.end()).size(), page.ids.size());
    EXPECT_FALSE(page.links.isEmpty());
    for (const QString& link : page.links) {
        EXPECT_TRUE(link.startsWith(QLatin1Char('#')) && page.ids.contains(link.mid(1)))
            << link.toStdString();
    }
}

TEST(HelpDocument, UsesTheProgramsCaptionsAndMessagesAsShown) {
    const QString& text = helpPage().text;
    const QStringList shown = {
        // The options, each under its own caption.
        "Sounds Effects Enabled", "Default to Search Files?", "Default to Search Folders?",
        "European Dates (d/m/y)?", "Network Shared Mode", "Eject Media After Cataloging?",
        "Always Clear Descriptions?", "SmartCaps©", "Startup with Search Dialog",
        "Default Catalog Drive", "Your Current Default  is - ",
        // The Find Tool's tabs and the catalog dialog's choices.
        "Name & Location", "Date Modified", "Advanced", "Eject media when done?",
        "Clear existing file/folder descriptions?",
        // Messages with two spaces after a full stop.
        "Can't catalog this volume.  Can't write marker file.",
        "Can't catalog this volume.  Can't retrieve serial number from read-only media.",
        "No volume description entered.  Won't catalog volume.", kestro::kReadOnlyMessage,
        kestro::kNoValidFileMessage,
        // The files the user may look for.
        "Kestro.cat", "Kestro.ini", "default.mdb", "new.kst", "kestro2.html"};
    for (const QString& caption : shown)
        EXPECT_TRUE(text.contains(caption)) << caption.toStdString();
}
