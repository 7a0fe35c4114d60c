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
    QStringList attributes; // "name=value"
    QString style;
    QString text; // as a browser lays it out: runs of white space as one space
};

const Page& helpPage() {
    static const Page page = [] {
        Page read;
        QXmlStreamReader xml(readAll(QStringLiteral(KESTRO_HELP_FILE)));
        QString rawText;
        while (!xml.atEnd()) {
            const auto token = xml.readNext();
            if (token == QXmlStreamReader::StartElement) {
                read.elements << xml.name().toString();
                for (const QXmlStreamAttribute& attribute : xml.attributes())
                    read.attributes << attribute.name().toString() + QLatin1Char('=') +
                                           attribute.value().toString();
            } else if (token == QXmlStreamReader::Characters) {
                const bool inStyle =
                    !read.elements.isEmpty() && read.elements.last() == QLatin1String("style");
                (inStyle ? read.style : rawText) += xml.text();
            }
        }
        if (xml.hasError())
            read.error = QStringLiteral("line %1: %2").arg(xml.lineNumber()).arg(xml.errorString());
        // A no-break space is how the page keeps the two spaces some messages
        // have after a full stop; the browser shows it as a space.
        static const QRegularExpression whiteSpace(QStringLiteral("[ \\t\\r\\n]+"));
        read.text =
            rawText.replace(whiteSpace, QStringLiteral(" ")).replace(QChar(0xA0), QLatin1Char(' '));
        return read;
    }();
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
    // Nothing fetched by the style sheet, no src, no handler that runs script.
    EXPECT_FALSE(page.style.contains(QRegularExpression(QStringLiteral("url\\s*\\(|@import"))));
    EXPECT_EQ(page.attributes.filter(QRegularExpression(QStringLiteral("^(src|on\\w+)="))),
              QStringList());

    // Every link leads to a place on the page, and no two places share a name.
    QStringList ids = page.attributes.filter(QRegularExpression(QStringLiteral("^id=")));
    ids.replaceInStrings(QStringLiteral("id="), QStringLiteral("href=#"));
    EXPECT_EQ(QSet<QString>(ids.begin(), ids.end()).size(), ids.size());
    const QStringList links = page.attributes.filter(QRegularExpression(QStringLiteral("^href=")));
    EXPECT_FALSE(links.isEmpty());
    for (const QString& link : links)
        EXPECT_TRUE(ids.contains(link)) << link.toStdString();
}

TEST(HelpDocument, UsesTheProgramsCaptionsAndMessagesAsShown) {
    const QString& text = helpPage().text;
    const QStringList shown = {
        // The options, each under its own caption.
        "Sounds Effects Enabled", "Default to Search Files?", "Default to Search Folders?",
        "European Dates (d/m/y)?", "Network Shared Mode", "Eject Media After Cataloging?",
        "Always Clear Descriptions?", "SmartCaps©", "Startup with Search Dialog",
        "Search as You Type?", "Default Catalog Drive", "Your Current Default  is - ",
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
