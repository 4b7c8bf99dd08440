// TranslateForm over real widgets on the offscreen platform.
#include "TranslatorTestSupport.h"
#include "ui/support/FormTranslator.h"

#include <QCheckBox>
#include <QDialog>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

const QByteArray kFile =
    "\"Converter\",\"Konverter\"\r\n"
    "\"&File\",\"&Datei\"\r\n"
    "\"&Open...\",\"\xC3\x96" "&ffnen...\"\r\n"
    "\"Recent\",\"Zuletzt\"\r\n"
    "\"Begin\",\"Beginnen\"\r\n"
    "\"Start the job\",\"Auftrag starten\"\r\n"
    "\"Original:\",\"Original:\"\r\n"
    "\"&Add\",\"&Hinzuf\xC3\xBCgen\"\r\n"
    "\"Subfolders\",\"Unterordner\"\r\n"
    "\"Options\",\"Optionen\"\r\n"
    "\"Tasks\",\"Aufgaben\"\r\n"
    "\"Log\",\"Protokoll\"\r\n"
    "\"Type a path\",\"Pfad eingeben\"\r\n"
    "\"Ready\",\"Bereit\"\r\n"
    "\"Keep me\",\"Nicht mich\"\r\n"
    "\"Original\",\"Vorlage\"\r\n";

struct Window
{
    QMainWindow main;
    QMenu *fileMenu = nullptr;
    QMenu *recent = nullptr;
    QAction *open = nullptr;
    QAction *mruEntry = nullptr;
    QAction *begin = nullptr;
    QLabel *label = nullptr;
    QLabel *keep = nullptr;
    QPushButton *add = nullptr;
    QCheckBox *check = nullptr;
    QGroupBox *group = nullptr;
    QLineEdit *edit = nullptr;
    QTabWidget *tabs = nullptr;
    QLabel *panel = nullptr;
    QDialog *childWindow = nullptr;

    Window()
    {
        main.setWindowTitle(QStringLiteral("Converter"));
        fileMenu = main.menuBar()->addMenu(QStringLiteral("&File"));
        open = fileMenu->addAction(QStringLiteral("&Open..."));
        fileMenu->addSeparator();
        recent = fileMenu->addMenu(QStringLiteral("Recent"));
        mruEntry = recent->addAction(QStringLiteral("&1 /jobs/Open.qvj"));
        mruEntry->setProperty("Tag", QStringLiteral("TranslateFalse"));
        QToolBar *bar = main.addToolBar(QStringLiteral("tb"));
        begin = bar->addAction(QStringLiteral("Begin"));
        begin->setToolTip(QStringLiteral("Start the job"));

        auto *central = new QWidget;
        auto *layout = new QVBoxLayout(central);
        label = new QLabel(QStringLiteral("Original:"));
        keep = new QLabel(QStringLiteral("Keep me"));
        keep->setProperty("Tag", QStringLiteral("TranslateFalse"));
        add = new QPushButton(QStringLiteral("&Add"));
        add->setToolTip(QStringLiteral("Start the job"));
        group = new QGroupBox(QStringLiteral("Options"));
        check = new QCheckBox(QStringLiteral("Subfolders"), group);
        edit = new QLineEdit(QStringLiteral("Original"));
        edit->setToolTip(QStringLiteral("Type a path"));
        tabs = new QTabWidget;
        tabs->addTab(new QWidget, QStringLiteral("Tasks"));
        tabs->addTab(new QWidget, QStringLiteral("Log"));
        for (QWidget *w : {static_cast<QWidget *>(label), static_cast<QWidget *>(keep),
                           static_cast<QWidget *>(add), static_cast<QWidget *>(group),
                           static_cast<QWidget *>(edit), static_cast<QWidget *>(tabs)})
            layout->addWidget(w);
        main.setCentralWidget(central);
        panel = new QLabel(QStringLiteral("Ready"));
        main.statusBar()->addWidget(panel);
        childWindow = new QDialog(&main);
        childWindow->setWindowTitle(QStringLiteral("Converter"));
    }
};

} // namespace

using FormTranslatorTest = TranslatorFixture;

TEST_F(FormTranslatorTest, TranslatesCaptionsButNeverInputTextOrTaggedEntries)
{
    startWith(QStringLiteral("German"), kFile);
    ASSERT_EQ(sLanguage, QStringLiteral("German"));
    Window w;
    TranslateForm(&w.main);

    EXPECT_EQ(w.main.windowTitle(), QStringLiteral("Konverter"));
    EXPECT_EQ(w.fileMenu->title(), QStringLiteral("&Datei"));
    EXPECT_EQ(w.open->text(), QStringLiteral("Ö&ffnen..."));
    EXPECT_EQ(w.recent->title(), QStringLiteral("Zuletzt"));
    EXPECT_EQ(w.mruEntry->text(), QStringLiteral("&1 /jobs/Open.qvj"));
    EXPECT_EQ(w.begin->text(), QStringLiteral("Beginnen"));
    EXPECT_EQ(w.begin->toolTip(), QStringLiteral("Auftrag starten"));
    EXPECT_EQ(w.label->text(), QStringLiteral("Original:"));
    EXPECT_EQ(w.keep->text(), QStringLiteral("Keep me"));
    EXPECT_EQ(w.add->text(), QStringLiteral("&Hinzufügen"));
    EXPECT_EQ(w.add->toolTip(), QStringLiteral("Auftrag starten"));
    EXPECT_EQ(w.group->title(), QStringLiteral("Optionen"));
    EXPECT_EQ(w.check->text(), QStringLiteral("Unterordner"));
    EXPECT_EQ(w.edit->text(), QStringLiteral("Original")); // the user's text stays
    EXPECT_EQ(w.edit->toolTip(), QStringLiteral("Pfad eingeben"));
    EXPECT_EQ(w.tabs->tabText(0), QStringLiteral("Aufgaben"));
    EXPECT_EQ(w.tabs->tabText(1), QStringLiteral("Protokoll"));
    EXPECT_EQ(w.panel->text(), QStringLiteral("Bereit"));
    // Another window translates itself when it loads.
    EXPECT_EQ(w.childWindow->windowTitle(), QStringLiteral("Converter"));

    // A second pass over the same window leaves the translations alone and looks nothing up,
    // so no translation ends up in the file as a new English text.
    const QByteArray before = fileBytes(QStringLiteral("German"));
    TranslateForm(&w.main);
    EXPECT_EQ(w.tabs->tabText(0), QStringLiteral("Aufgaben"));
    EXPECT_EQ(w.main.windowTitle(), QStringLiteral("Konverter"));
    EXPECT_EQ(fileBytes(QStringLiteral("German")), before);
    // Only texts the file lacks were appended (the toolbar's own title "tb" and such), never
    // a translation or the input box's text.
    for (const char *shown : {"Konverter", "Beginnen", "Auftrag starten", "Aufgaben", "Bereit"})
        EXPECT_FALSE(before.contains(QByteArray("\n\"") + shown + "\"\r\n")) << shown;
    EXPECT_EQ(before.count("\"Original\""), 1);
}

TEST_F(FormTranslatorTest, FontRules)
{
    if (!bFontExists(QStringLiteral("DejaVu Sans")))
        GTEST_SKIP() << "DejaVu Sans is not installed";
    EXPECT_TRUE(bFontExists(QStringLiteral("dejavu sans")));
    EXPECT_FALSE(bFontExists(QStringLiteral("No Such Font 123")));
    EXPECT_EQ(GetControlFontName(nullptr), QStringLiteral("ERROR"));

    // A missing Tahoma is replaced by the system's dialog font; other fonts stay.
    InitializeTranslator();
    {
        Window w;
        w.label->setFont(QFont(QStringLiteral("Tahoma")));
        w.add->setFont(QFont(QStringLiteral("Liberation Serif")));
        TranslateForm(&w.main);
        if (!bFontExists(QStringLiteral("Tahoma"))) {
            EXPECT_NE(GetControlFontName(w.label), QStringLiteral("Tahoma"));
        }
        EXPECT_EQ(GetControlFontName(w.add), QStringLiteral("Liberation Serif"));
    }

    // The chosen interface font goes to every control.
    SaveIniLanguageFont(QStringLiteral("DejaVu Sans"));
    InitializeTranslator();
    {
        Window w;
        w.add->setFont(QFont(QStringLiteral("Liberation Serif")));
        TranslateForm(&w.main);
        EXPECT_EQ(GetControlFontName(w.add), QStringLiteral("DejaVu Sans"));
        EXPECT_EQ(GetControlFontName(w.edit), QStringLiteral("DejaVu Sans"));
        EXPECT_EQ(GetControlFontName(w.check), QStringLiteral("DejaVu Sans"));
    }
}

TEST_F(FormTranslatorTest, LanguageListShowsInstalledFilesWithCurrentSelected)
{
    for (const char *name : {"German-Quorvane.txt", "french-QUORVANE.TXT", "notes.txt",
                             "English-Quorvane.txt", "Dutch-Other.txt"})
        ASSERT_TRUE(qvtest::writeFile(tmp.path() + QStringLiteral("/Languages/") +
                                          QString::fromLatin1(name),
                                      "\"a\"\r\n"));
    startWith(QStringLiteral("German"), kFile);
    QListWidget list;
    list.addItem(QStringLiteral("stale"));
    FillInLanguageList(&list);
    ASSERT_EQ(list.count(), 3);
    EXPECT_EQ(list.item(0)->text(), QStringLiteral("English"));
    EXPECT_EQ(list.currentItem()->text(), QStringLiteral("German"));
}

