// Qt's own texts follow the program's language: the standard buttons of a question.
#include "base/Messages.h"
#include "base/ui/Dialogs.h"
#include "base/ui/QtTranslations.h"

#include <QApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

using namespace gipso;

TEST(QtTranslations, AnItalianQuestionHasItalianButtons)
{
    if (!QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_it.qm")))
        GTEST_SKIP() << "Qt's Italian translations (qt6-translations-l10n) are not installed";
    QStringList captions;
    QTimer poll; // reads the real box, then answers it
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            for (QAbstractButton *b : box->buttons())
                captions << b->text();
            box->defaultButton()->click();
        }
    });
    poll.start(5);
    QtDialogs dialogs;
    for (int language : {kItalian, kEnglish}) { // as File > Languages switches
        ASSERT_TRUE(applyQtTranslations(language));
        static_cast<Dialogs &>(dialogs).ask(nullptr, QStringLiteral("?"), Dialogs::Buttons::YesNoCancel, Dialogs::Answer::Cancel);
    }
    captions.sort();
    EXPECT_EQ(captions, QStringList({"&No", "&No", "&Sì", "&Yes", "Annulla", "Cancel"}));
}
