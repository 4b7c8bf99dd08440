// The mnemonic letters of every menu of the real window (menu bar, its menus and sub-menus, the
// toolbar's Open drop-down and the task grid's pop-up), in English and in the shipped German:
// one letter names one entry in each menu, and an entry marked in English is marked in German.
#include "../../language/TranslatorTestSupport.h"

#include "ui/main/frame/MainWindowStart.h"
#include "ui/main/frame/frmMainMDI.h"
#include "ui/main/frmMain.h"

#include <QAction>
#include <QMap>
#include <QMenu>
#include <QMenuBar>

#include <memory>

namespace {

// The letter after the single "&" of a caption ("&&" is a plain ampersand); a null QChar for
// none, and '&' itself for a caption whose "&" marks nothing (at its end).
QChar mnemonicOf(const QString &text)
{
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] != u'&')
            continue;
        if (i + 1 < text.size() && text[i + 1] == u'&') {
            ++i;
            continue;
        }
        return i + 1 < text.size() ? text[i + 1].toUpper() : QChar(u'&');
    }
    return QChar();
}

struct Menu
{
    QString name;
    QList<QAction *> entries;
};

// Every menu the window offers, by object name: the bar itself, each menu reachable from it,
// the Open key's drop-down and the grid's pop-up.
QList<Menu> everyMenu(frmMainMDI &frame, frmMain &main)
{
    QList<Menu> all{{QStringLiteral("menu bar"), frame.menuBar()->actions()}};
    QList<QMenu *> todo{main.tbOpenMenu, main.mnuPopup};
    for (QAction *a : frame.menuBar()->actions())
        if (a->menu())
            todo << a->menu();
    while (!todo.isEmpty()) {
        QMenu *m = todo.takeFirst();
        all.append({m->objectName(), m->actions()});
        for (QAction *a : m->actions())
            if (a->menu())
                todo << a->menu();
    }
    return all;
}

using Captions = QMap<QString, QMap<QString, QString>>; // menu -> entry key -> caption

Captions walk(frmMainMDI &frame, frmMain &main, const QString &language)
{
    Captions seen;
    for (const Menu &m : everyMenu(frame, main)) {
        QMap<QChar, QString> owner;
        for (QAction *a : m.entries) {
            if (a->isSeparator())
                continue;
            const QString key = a->menu() ? a->menu()->objectName() : a->objectName();
            seen[m.name][key.isEmpty() ? a->text() : key] = a->text();
            const QChar c = mnemonicOf(a->text());
            if (c.isNull())
                continue;
            EXPECT_NE(c, QChar(u'&')) << language.toStdString() << ": no letter after & in \""
                                      << a->text().toStdString() << "\"";
            const QString other = owner.value(c);
            EXPECT_TRUE(other.isEmpty()) << language.toStdString() << ", " << m.name.toStdString() << ": "
                                         << QString(c).toStdString() << " names \"" << other.toStdString()
                                         << "\" and \"" << a->text().toStdString() << "\"";
            owner[c] = a->text();
        }
    }
    return seen;
}

class MenuMnemonicsTest : public TranslatorFixture
{
protected:
    Captions open(const QString &language)
    {
        if (language != QLatin1String("English"))
            startWith(language, qvtest::readFile(qvtest::sourceDir() + "/data/Languages/" + language + "-Quorvane.txt"));
        // Two recent jobs, so that the File menu and the Open drop-down show their numbered entries.
        const QString recent = tmp.filePath("recent & more.qvj");
        EXPECT_TRUE(qvtest::writeFile(G_IniFilePath, ("[mruFileOpen]\r\nmruFileOpen1=" + recent + "\r\nmruFileOpen2=" +
                                                      tmp.filePath("b.qvj") + "\r\nmruFileOpen3=MRU_DONE\r\n")
                                                         .toUtf8()));
        std::unique_ptr<frmMainMDI> frame(ShowMainMDIWithSplash());
        return walk(*frame, *frame->mainWindow(), language);
    }
};

} // namespace

TEST_F(MenuMnemonicsTest, EachLetterNamesOneEntryPerMenuInEnglishAndGerman)
{
    const Captions english = open(QStringLiteral("English"));
    ASSERT_TRUE(english.contains("mnuMoveConversionTask"));
    ASSERT_TRUE(english.contains("mnuPopup"));
    EXPECT_EQ(english["mnuFile"].size(), 11) << "the two recent jobs are in the walk";
    const Captions german = open(QStringLiteral("German"));
    ASSERT_EQ(german.keys(), english.keys());
    // An entry with a letter in English has one in German, and none gains one that English lacks
    // (the recent jobs' numbers are the same in both).
    for (auto menu = english.cbegin(); menu != english.cend(); ++menu)
        for (auto e = menu->cbegin(); e != menu->cend(); ++e) {
            const QString translated = german[menu.key()].value(e.key());
            EXPECT_EQ(mnemonicOf(e.value()).isNull(), mnemonicOf(translated).isNull())
                << menu.key().toStdString() << ": \"" << e.value().toStdString() << "\" / \""
                << translated.toStdString() << "\"";
        }
    // Alt+K, A pauses a run in German.
    EXPECT_EQ(german["menu bar"]["mnuConversion"], "&Konvertierung");
    EXPECT_EQ(mnemonicOf(german["mnuConversion"]["mnuPause"]), QChar(u'A'));
}
