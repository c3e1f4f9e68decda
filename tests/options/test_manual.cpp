// The user manual: every link and picture of the installed pages resolves to an installed
// file, nothing is fetched from outside, both languages have the same sections and name every
// menu entry and option as the program shows it, and the pages are valid HTML 5.
#include "base/Messages.h"
#include "support/CliRunner.h"
#include "support/TestSupport.h"

#include <QFileInfo>
#include <QImage>
#include <QSet>
#include <QTemporaryDir>
#include <QUrl>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

using namespace gipso;
using namespace gipso::test;

namespace {

const char *const kPages[] = {"Gipso_Eng.html", "Gipso_Ita.html", "Gipso.html"};
const QString kSource = QStringLiteral(GIPSO_SOURCE_DATA_DIR "/");

// What a page refers to, read as XML (the pages are written so that an XML parser reads them).
struct Page {
    QString error, lang, text;
    QSet<QString> ids;
    QStringList links, pictures; // href of <a>, src of <img>
    QStringList headingIds;      // id of every <h2> and <h3> outside the contents
    QStringList notAllowed;      // elements that fetch something, pictures without alt
};

Page readPage(const QString &path)
{
    Page page;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        page.error = file.errorString();
        return page;
    }
    QXmlStreamReader xml(&file);
    bool inContents = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isCharacters())
            page.text += xml.text();
        if (xml.isEndElement() && xml.name() == QLatin1String("nav"))
            inContents = false;
        if (!xml.isStartElement())
            continue;
        const QString name = xml.name().toString();
        const QXmlStreamAttributes a = xml.attributes();
        if (a.hasAttribute("id"))
            page.ids << a.value("id").toString();
        inContents = inContents || name == "nav";
        if (name == "html")
            page.lang = a.value("lang").toString();
        else if (name == "a" && a.hasAttribute("href"))
            page.links << a.value("href").toString();
        else if (name == "img")
            page.pictures << a.value("src").toString();
        else if ((name == "h2" || name == "h3") && !inContents)
            page.headingIds << a.value("id").toString();
        if (QStringList{"link", "script", "iframe", "object", "embed", "source", "video", "audio"}.contains(name) ||
            a.value("style").contains(QLatin1String("url(")) || (name == "img" && a.value("alt").trimmed().isEmpty()))
            page.notAllowed << name;
    }
    if (xml.hasError())
        page.error = QStringLiteral("line %1: %2").arg(xml.lineNumber()).arg(xml.errorString());
    return page;
}

// The data folder as `cmake --install` lays it out, made once for the tests of this file.
QString installedData()
{
    static QTemporaryDir prefix;
    static QString data = [] {
        const CliRun r = runProgram("cmake", {"--install", buildDir(), "--prefix", prefix.path()});
        EXPECT_EQ(r.status, 0) << r.err.toStdString();
        return prefix.filePath("share/gipso");
    }();
    return data;
}

} // namespace

TEST(Manual, EveryLinkAndPictureResolvesAndBothLanguagesMatch)
{
    const QString data = installedData();
    QList<Page> pages;
    for (const char *name : kPages) {
        SCOPED_TRACE(name);
        const Page &page = pages.emplaceBack(readPage(data + '/' + name));
        ASSERT_EQ(page.error, "");
        EXPECT_EQ(page.notAllowed, QStringList());
        for (const QString &link : page.links) {
            const QUrl url(link);
            EXPECT_TRUE(url.isRelative() && !link.startsWith('/')) << "not in the data folder: " << link.toStdString();
            const QString target = data + '/' + url.path();
            ASSERT_TRUE(url.path().isEmpty() || QFileInfo(target).isFile()) << "not installed: " << link.toStdString();
            EXPECT_TRUE(!url.hasFragment() || (url.path().isEmpty() ? page.ids : readPage(target).ids).contains(url.fragment()))
                << "no such section: " << link.toStdString();
        }
        for (const QString &src : page.pictures) {
            EXPECT_TRUE(QUrl(src).isRelative() && !src.startsWith('/')) << src.toStdString();
            EXPECT_FALSE(QImage(data + '/' + src).isNull()) << "not installed or not a picture: " << src.toStdString();
        }
        for (const QString &id : page.headingIds)
            EXPECT_TRUE(!id.isEmpty() && page.links.contains('#' + id)) << "not in the contents: " << id.toStdString();
    }
    // The same sections and pictures in both languages; the page for other languages leads to both.
    EXPECT_EQ(QStringList({pages[0].lang, pages[1].lang}), QStringList({"en", "it"}));
    EXPECT_EQ(pages[0].ids, pages[1].ids);
    EXPECT_EQ(pages[0].pictures.size(), pages[1].pictures.size());
    EXPECT_GE(pages[0].pictures.size(), 3);
    EXPECT_TRUE(pages[2].links.contains("Gipso_Eng.html") && pages[2].links.contains("Gipso_Ita.html"));
}

TEST(Manual, NamesEveryMenuEntryAndOptionAsTheProgramShowsIt)
{
    // The menus (172 to 236 but the mode and kind tags, the About box texts and the messages
    // between them), the options dialog (384 to 412) and the entries added since.
    QList<int> ids = {msg::MenuAbout, msg::AboutSystemInfo, msg::MenuHelp, msg::MenuNmeaAcquisition, msg::MenuReverseTrack,
                      msg::MenuReverseRoute, msg::MenuEdit, msg::MenuUndo, msg::MenuRedo, msg::SysInfoCopy};
    for (int id = msg::MenuFile; id <= msg::MenuHalftone; ++id)
        if (id <= msg::MenuLanguages || (id >= msg::MenuView && id != msg::PrintError))
            ids << id;
    for (int id = msg::OptionsTitle; id <= msg::OptionsNautical; ++id)
        ids << id;
    for (const auto &[language, page] : {std::pair{kEnglish, kPages[0]}, std::pair{kItalian, kPages[1]}}) {
        SCOPED_TRACE(page);
        setLanguage(language);
        const QString text = readPage(kSource + page).text.simplified();
        for (int id : ids)
            EXPECT_TRUE(text.contains(messageText(id).remove('&').trimmed())) << id << " " << messageText(id).toStdString();
    }
}

TEST(Manual, PagesAreValidHtml5)
{
    if (!haveProgram("tidy"))
        GTEST_SKIP() << "tidy not installed (scripts/install-deps.sh installs it)";
    for (const char *name : kPages) {
        // HTML Tidy 5 checks HTML 5; warnings count as faults too.
        const CliRun r = runProgram("tidy", {"-q", "-e", "--show-warnings", "yes", "--gnu-emacs", "yes", kSource + name});
        EXPECT_EQ(r.status, 0) << name << "\n" << r.err.toStdString();
        EXPECT_EQ(r.err, "") << name;
    }
}
