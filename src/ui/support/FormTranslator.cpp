// TranslateForm: the texts of a window's widgets and actions, then the language's font rules.
#include "FormTranslator.h"

#include "language/Translator.h"

#include <QAbstractButton>
#include <QAction>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QWidget>

#include <optional>

namespace {

// Set on every widget and action once its texts went through Translate: a second walk over the
// same window must not look up translations as if they were English texts.
constexpr const char *kDoneProperty = "qvTranslated";

bool keepsText(const QObject *o)
{
    return o->property("Tag").toString() == QStringLiteral("TranslateFalse");
}

bool claim(QObject *o)
{
    if (o->property(kDoneProperty).toBool())
        return false;
    o->setProperty(kDoneProperty, true);
    return true;
}

// The tool tip Qt derives from an action's text when none was set.
QString strippedText(QString s)
{
    s.remove(QStringLiteral("..."));
    for (qsizetype i = 0; i < s.size(); ++i)
        if (s.at(i) == u'&')
            s.remove(i, 1);
    return s.trimmed();
}

void translateToolTip(QWidget *w) { w->setToolTip(Translate(w->toolTip())); }

void translateActions(const QList<QAction *> &actions)
{
    for (QAction *a : actions) {
        if (!claim(a) || a->isSeparator())
            continue;
        const bool derivedTip = a->toolTip() == strippedText(a->text());
        if (!keepsText(a) && a->text() != QStringLiteral("-"))
            a->setText(Translate(a->text()));
        if (!derivedTip)
            a->setToolTip(Translate(a->toolTip()));
        if (a->menu())
            translateActions(a->menu()->actions());
    }
}

void translateTabs(QTabBar *bar)
{
    for (int i = 0; i < bar->count(); ++i) {
        bar->setTabText(i, Translate(bar->tabText(i)));
        bar->setTabToolTip(i, Translate(bar->tabToolTip(i)));
    }
}

void translateControl(QWidget *w)
{
    if (auto *tabs = qobject_cast<QTabWidget *>(w)) {
        for (int i = 0; i < tabs->count(); ++i) {
            tabs->setTabText(i, Translate(tabs->tabText(i)));
            tabs->setTabToolTip(i, Translate(tabs->tabToolTip(i)));
        }
    } else if (auto *bar = qobject_cast<QTabBar *>(w)) {
        // The bar of a tab widget is done with its widget.
        if (!qobject_cast<QTabWidget *>(bar->parentWidget()))
            translateTabs(bar);
    } else if (qobject_cast<QToolBar *>(w) || qobject_cast<QMenuBar *>(w)) {
        translateActions(w->actions());
    } else if (auto *menu = qobject_cast<QMenu *>(w)) {
        // A menu's title is the text of its menu action: translating that action translates
        // the title once and, through the action, the entries.
        translateActions({menu->menuAction()});
    } else if (auto *button = qobject_cast<QAbstractButton *>(w)) {
        // A tool button that shows an action takes its text and tool tip from the action.
        auto *tool = qobject_cast<QToolButton *>(button);
        if (tool && tool->defaultAction())
            return;
        if (!keepsText(button))
            button->setText(Translate(button->text()));
    } else if (auto *label = qobject_cast<QLabel *>(w)) {
        if (!keepsText(label))
            label->setText(Translate(label->text()));
    } else if (auto *group = qobject_cast<QGroupBox *>(w)) {
        if (!keepsText(group))
            group->setTitle(Translate(group->title()));
    }
    // Input boxes and every other widget: the tool tip only, never the user's text.
    translateToolTip(w);
}

// What the font rules know of the language and the installed fonts. Each font is looked up
// once, when a rule first asks: a lookup lists the font database.
class FontFacts
{
public:
    bool japaneseUi = false;
    QString languageFont;

    bool tahoma() { return installed(m_tahoma, "Tahoma"); }
    bool microsoftSansSerif() { return installed(m_microsoftSansSerif, "Microsoft Sans Serif"); }
    bool msUiGothic() { return installed(m_msUiGothic, "MS UI Gothic"); }

private:
    static bool installed(std::optional<bool> &known, const char *family)
    {
        if (!known)
            known = bFontExists(QLatin1String(family));
        return *known;
    }
    std::optional<bool> m_tahoma, m_microsoftSansSerif, m_msUiGothic;
};

void applyFontRules(QWidget *w, FontFacts &ff)
{
    QFont font = w->font();
    QString family;
    if (!ff.languageFont.isEmpty())
        family = ff.languageFont;
    else if (ff.japaneseUi && ff.msUiGothic())
        family = QStringLiteral("MS UI Gothic");
    else if (font.family() == QStringLiteral("Tahoma") && !ff.tahoma())
        family = bMSSansSerifIsBitmapFont() ? QStringLiteral("MS Sans Serif")
                 : ff.microsoftSansSerif()  ? QStringLiteral("Microsoft Sans Serif")
                                            : QFontDatabase::systemFont(QFontDatabase::GeneralFont)
                                                 .family(); // the system's dialog font
    if (family.isEmpty() || font.family() == family)
        return;
    font.setFamilies({family});
    w->setFont(font);
}

void walk(QWidget *parent, FontFacts &ff)
{
    const QList<QWidget *> children =
        parent->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
    for (QWidget *child : children) {
        // Another window translates itself when it loads; a menu belongs to this one.
        if (child->isWindow() && !qobject_cast<QMenu *>(child))
            continue;
        if (claim(child))
            translateControl(child);
        applyFontRules(child, ff);
        walk(child, ff);
    }
}

} // namespace

void TranslateForm(QWidget *frm)
{
    if (!frm)
        return;
    FontFacts ff;
    ff.japaneseUi = sLanguage != QStringLiteral("English") &&
                    GetTranslatorUserLocale().language() == QLocale::Japanese;
    ff.languageFont = GetLanguageFont();

    if (claim(frm))
        frm->setWindowTitle(Translate(frm->windowTitle()));
    applyFontRules(frm, ff);
    walk(frm, ff);
}

void FillInLanguageList(QListWidget *listBox)
{
    if (!listBox)
        return;
    listBox->clear();
    listBox->addItem(QStringLiteral("English"));
    listBox->setCurrentRow(0);
    for (const QString &language : GetInstalledLanguages()) {
        listBox->addItem(language);
        if (language == sLanguage)
            listBox->setCurrentRow(listBox->count() - 1);
    }
}

QString GetControlFontName(const QWidget *ctl)
{
    return ctl ? ctl->font().family() : QStringLiteral("ERROR");
}
