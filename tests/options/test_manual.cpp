// The user manual: every link and picture of the installed pages resolves to an installed
// file, nothing is fetched from outside, both languages have the same sections and name every
// menu entry and option as the program shows it, and the pages are valid HTML 5.
#include "base/Messages.h"
#include "options/About.h"
#include "support/CliRunner.h"
#include "support/TestSupport.h"

#include <QDir>
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

// What a page refers to, read as XML (the pages are written so that an XML parser reads them).
struct Page {
    QString error;
    QString lang;
    QSet<QString> ids;
    QStringList links;    // href of <a>
    QStringList pictures; // src of <img>
    QStringList headingIds; // id of every <h2> and <h3> outside the contents
    QStringList notAllowed; // elements that fetch something, pictures without alt
    QString text;
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
        if (name == "html")
            page.lang = a.value("lang").toString();
        else if (name == "nav")
            inContents = true;
        else if (name == "a" && a.hasAttribute("href"))
            page.links << a.value("href").toString();
        else if (name == "img") {
            page.pictures << a.value("src").toString();
            if (a.value("alt").trimmed().isEmpty())
                page.notAllowed << "img without alt: " + a.value("src").toString();
        } else if ((name == "h2" || name == "h3") && !inContents)
            page.headingIds << a.value("id").toString();
        if (QStringList{"link", "script", "iframe", "object", "embed", "source", "video", "audio"}.contains(name) ||
            a.value("style").contains(QLatin1String("url(")))
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

TEST(Manual, EveryLinkAndPictureResolvesToAnInstalledFile)
{
    const QString data = installedData();
    for (const char *name : kPages) {
        SCOPED_TRACE(name);
        const Page page = readPage(data + '/' + name);
        ASSERT_EQ(page.error, "");
        EXPECT_EQ(page.notAllowed, QStringList());
        for (const QString &link : page.links) {
            const QUrl url(link);
            EXPECT_TRUE(url.isRelative() && !link.startsWith('/') && !link.startsWith("//")) << "not in the data folder: " << link.toStdString();
            if (url.path().isEmpty()) {
                EXPECT_TRUE(page.ids.contains(url.fragment())) << "no such section: " << link.toStdString();
                continue;
            }
            const QString target = data + '/' + url.path();
            ASSERT_TRUE(QFileInfo(target).isFile()) << "not installed: " << link.toStdString();
            if (url.hasFragment()) {
                EXPECT_TRUE(readPage(target).ids.contains(url.fragment())) << "no such section: " << link.toStdString();
            }
        }
        for (const QString &src : page.pictures) {
            EXPECT_TRUE(QUrl(src).isRelative() && !src.startsWith('/')) << src.toStdString();
            EXPECT_FALSE(QImage(data + '/' + src).isNull()) << "not installed or not a picture: " << src.toStdString();
        }
    }
}

TEST(Manual, BothLanguagesHaveTheSameSectionsAndATableOfContents)
{
    const QString data = QStringLiteral(GIPSO_SOURCE_DATA_DIR);
    const Page en = readPage(data + "/Gipso_Eng.html"), it = readPage(data + "/Gipso_Ita.html");
    ASSERT_EQ(en.error + it.error, "");
    EXPECT_EQ(QStringList({en.lang, it.lang}), QStringList({"en", "it"}));
    EXPECT_EQ(en.ids, it.ids);
    EXPECT_EQ(en.pictures.size(), it.pictures.size());
    EXPECT_GE(en.pictures.size(), 3);
    for (const Page *p : {&en, &it})
        for (const QString &id : p->headingIds)
            EXPECT_TRUE(!id.isEmpty() && p->links.contains('#' + id)) << "not in the contents: " << id.toStdString();
    // The page for other languages leads to both.
    const Page other = readPage(data + "/Gipso.html");
    EXPECT_TRUE(other.links.contains("Gipso_Eng.html") && other.links.contains("Gipso_Ita.html"));
    EXPECT_EQ(helpFileName(1031), "Gipso.html");
}

TEST(Manual, NamesEveryMenuEntryAndOptionAsTheProgramShowsIt)
{
    const int ids[] = {
        msg::MenuFile, msg::MenuOpenMap, msg::MenuSaveCalibratedMap, msg::MenuImportPoints, msg::MenuExportPoints,
        msg::MenuPrint, msg::MenuOptions, msg::MenuLanguages, msg::MenuExit, msg::MenuEdit, msg::MenuUndo, msg::MenuRedo,
        msg::MenuView, msg::MenuZoomIn, msg::MenuZoomOut, msg::MenuZoom400, msg::MenuZoom25, msg::MenuHalftone,
        msg::MenuCalibration, msg::MenuCalibrateMap, msg::MenuWayPoints, msg::MenuWayPointsCreate,
        msg::MenuWayPointsInsert, msg::MenuWayPointsEdit, msg::MenuWayPointsDeleteAll, msg::MenuWayPointsDeleteLast,
        msg::MenuWayPointsList, msg::MenuWayPointsDownload, msg::MenuWayPointsUpload, msg::MenuRoutePoints,
        msg::MenuRoutePointsInsert, msg::MenuRoutePointsEdit, msg::MenuReverseRoute, msg::MenuRoutePointsProfile,
        msg::MenuTrackPoints, msg::MenuTrackPointsEdit, msg::MenuReverseTrack, msg::MenuTrackStatistics,
        msg::MenuNmeaAcquisition, msg::MenuHelp, msg::MenuAbout,
        msg::OptionsLinesAndSymbols, msg::OptionsLineThickness, msg::OptionsCharacterSize, msg::OptionsSymbolSize,
        msg::OptionsCursorThickness, msg::OptionsColors, msg::OptionsShow, msg::OptionsWayPointSymbol,
        msg::OptionsWayPointName, msg::OptionsRoutePointSymbol, msg::OptionsRoutePointName, msg::OptionsRouteHeadings,
        msg::OptionsRouteLengths, msg::OptionsTrackPointSymbol, msg::OptionsTrackPointDescription, msg::OptionsAutoTrack,
        msg::OptionsImport, msg::OptionsIgnoreTxtDescription, msg::OptionsIgnoreGpxDescription, msg::OptionsUnits,
        msg::OptionsMetric, msg::OptionsNautical, msg::AboutSystemInfo, msg::SysInfoCopy};
    const QString data = QStringLiteral(GIPSO_SOURCE_DATA_DIR);
    for (const auto &[language, page] : {std::pair{kEnglish, "Gipso_Eng.html"}, std::pair{kItalian, "Gipso_Ita.html"}}) {
        SCOPED_TRACE(page);
        setLanguage(language);
        const QString text = readPage(data + '/' + page).text.simplified();
        for (int id : ids) {
            const QString caption = messageText(id).remove('&').trimmed();
            EXPECT_TRUE(text.contains(caption)) << id << " " << caption.toStdString();
        }
    }
    setLanguage(kEnglish);
}

TEST(Manual, PagesAreValidHtml5)
{
    if (!haveProgram("tidy"))
        GTEST_SKIP() << "tidy not installed (scripts/install-deps.sh installs it)";
    for (const char *name : kPages) {
        // HTML Tidy 5 checks HTML 5; warnings count as faults too.
        const CliRun r = runProgram("tidy", {"-q", "-e", "--show-warnings", "yes", "--gnu-emacs", "yes",
                                             QStringLiteral(GIPSO_SOURCE_DATA_DIR "/") + name});
        EXPECT_EQ(r.status, 0) << name << "\n" << r.err.toStdString();
        EXPECT_EQ(r.err, "") << name;
    }
}
