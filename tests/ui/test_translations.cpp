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

namespace {

// The captions of the buttons of the question asked, in order; the question is answered with
// its default button.
QStringList buttonsOfQuestion()
{
    QStringList captions;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        for (QAbstractButton *b : box->buttons())
            captions << b->text();
        box->defaultButton()->click();
    });
    poll.start(5);
    QtDialogs dialogs;
    static_cast<Dialogs &>(dialogs).ask(nullptr, QStringLiteral("?"), Dialogs::Buttons::YesNoCancel, Dialogs::Answer::Cancel);
    captions.sort();
    return captions;
}

} // namespace

TEST(QtTranslations, AnItalianQuestionHasItalianButtons)
{
    if (!QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_it.qm")))
        GTEST_SKIP() << "Qt's Italian translations (qt6-translations-l10n) are not installed";
    ASSERT_TRUE(applyQtTranslations(kItalian));
    EXPECT_EQ(buttonsOfQuestion(), QStringList({"&No", "&Sì", "Annulla"}));
    // Back to English, as File > Languages switches.
    ASSERT_TRUE(applyQtTranslations(kEnglish));
    EXPECT_EQ(buttonsOfQuestion(), QStringList({"&No", "&Yes", "Cancel"}));
}
