#pragma once
// The language chooser: the installed languages, the language file in a text editor, a font
// for the interface. It only returns the choice; SelectLanguage stores and applies it.
#include "language/Translator.h"

#include <QDialog>

#include <functional>

class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class ShellOpener;

class frmLanguage : public QDialog
{
    Q_OBJECT
public:
    // opener: how the language file and the help page are opened (nullptr: the desktop's).
    explicit frmLanguage(QWidget *parent = nullptr, ShellOpener *opener = nullptr);

    QLabel *Label1 = nullptr;
    QListWidget *List1 = nullptr;
    QPushButton *cmdDone = nullptr;
    QPushButton *cmdCancel = nullptr;
    QPushButton *cmdEditLanguageFile = nullptr;
    QPushButton *cmdSelectFont = nullptr;
    QPushButton *cmdHelpLanguage = nullptr;

    // The choice, read after the window has closed; "" when none.
    QString Language;
    QString sFontName;

    // Asks for a font starting at the given one; false when cancelled. The default shows the
    // platform's font dialog; tests put their own here.
    std::function<bool(const QFont &start, QString &family)> fontPicker;

public slots:
    void cmdDone_Click();
    void cmdCancel_Click();
    void List1_Click();
    void cmdEditLanguageFile_Click();
    void cmdSelectFont_Click();
    void cmdHelpLanguage_Click();

protected:
    void keyPressEvent(QKeyEvent *e) override;
    void keyReleaseEvent(QKeyEvent *e) override;
    void showEvent(QShowEvent *e) override;

private:
    ShellOpener *m_opener;
};

// The window's LanguageChooser: fills and shows frmLanguage modally. A test puts a function in
// run that drives the window in place of exec().
class LanguageChooserDialog : public LanguageChooser
{
public:
    explicit LanguageChooserDialog(QWidget *parent = nullptr, ShellOpener *opener = nullptr);
    bool choose(const QString &currentLanguage, QString &language, QString &font) override;

    std::function<void(frmLanguage &)> run;
    std::function<bool(const QFont &start, QString &family)> fontPicker;

private:
    QWidget *m_parent;
    ShellOpener *m_opener;
};
