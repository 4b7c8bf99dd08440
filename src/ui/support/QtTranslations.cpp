#include "QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

namespace {

std::unique_ptr<QTranslator> &installed()
{
    static std::unique_ptr<QTranslator> translator;
    return translator;
}

} // namespace

QLocale LocaleForLanguageName(const QString &sLanguageName)
{
    const QString name = sLanguageName.trimmed();
    if (name.isEmpty() || name.compare(QStringLiteral("English"), Qt::CaseInsensitive) == 0)
        return QLocale::c();
    for (int l = QLocale::AnyLanguage + 1; l <= QLocale::LastLanguage; ++l) {
        const auto language = static_cast<QLocale::Language>(l);
        if (QLocale::languageToString(language).compare(name, Qt::CaseInsensitive) == 0)
            return QLocale(language);
    }
    return QLocale::c();
}

bool ApplyQtTranslations(const QString &sLanguageName)
{
    std::unique_ptr<QTranslator> &current = installed();
    if (current) {
        QCoreApplication::removeTranslator(current.get());
        current.reset();
    }
    const QLocale locale = LocaleForLanguageName(sLanguageName);
    if (locale.language() == QLocale::C)
        return false;
    auto translator = std::make_unique<QTranslator>();
    // qtbase holds the widgets' texts: dialogs, standard buttons and key names.
    if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    QCoreApplication::installTranslator(translator.get());
    current = std::move(translator);
    return true;
}
