// gipso-cli list: the points list as the window holds it, with "." "/" ":" whatever the language.

#include "CliTest.h"

using namespace gipso::test;

TEST_F(CliTest, ListPrintsTheTextThenTheLabels)
{
    const QString file = testData("gpx/track-with-empty-segment.gpx");
    const CliRun r = run("list tracks " + file + " --units nautical --lang it");
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "Elenco TrackPoints. \n"
                     "\n"
                     "NOME     LATITUDINE   LONGITUDINE    QUOTA    DATA      ORA    DESCRIZIONE \n"
                     "\n"
                     "1       50.77721260    6.08196950    628.6 06/07/2013 17:26:26 2013-07-06T14:59:00Z\n"
                     "2       50.77733460    6.08213330    628.6 06/07/2013 17:26:30 \n"
                     "3       50.77746660    6.08234260    628.6 06/07/2013 17:26:35 \n"
                     "4       50.77762030    6.08262530    628.6 06/07/2013 17:26:44 \n"
                     "5       50.77769100    6.08268030    628.6 06/07/2013 17:26:49 \n"
                     "6       50.77772830    6.08270790    628.6 06/07/2013 17:26:57 \n"
                     "7       50.77773410    6.08270950    628.6 06/07/2013 17:27:15 \n"
                     "8       50.77767890    6.08272330    628.6 06/07/2013 17:27:41 \n"
                     "9       50.77767150    6.08272030    628.6 06/07/2013 17:27:42 \n"
                     "\n"
                     "N\u00b0  9 TrackPoints.\n"
                     "Lunghezza percorso: 0.046 NM\n"
                     "Lunghezza totale ortodromia: 0.040 NM\n");
    // Only the count for WayPoints; the options were for that run only.
    EXPECT_EQ(run("list waypoints " + file).out.section('\n', -3), "\nN\u00b0 0 WayPoints.\n");
    EXPECT_FALSE(QFile::exists(path("config/Gipso.cfg")));

    expectFailures({
        {"list planets " + file, "list: expected waypoints, route or tracks, then FILE..."},
        {"list route", "list: expected FILE..."},
        {"list route @missing.gpx", "@missing.gpx: No such file or directory"},
        {"list route " + file + " --units imperial", "list: --units must be metric or nautical, not 'imperial'"},
    });
}
