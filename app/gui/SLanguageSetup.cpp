#include "SLanguageSetup.h"

#include "SHuedraneSettings.h"
#include "SLanguage.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

SLanguageSetup::SLanguageSetup(QCoreApplication& application)
{
    const ulib::SLanguage language = ulib::ChooseLanguage(StoredLanguage().View());
    ulib::SetLanguage(language);
    if (language == ulib::SLanguage::English) {
        // Built in by the build; Qt's own texts are English without a translator.
        if (own_.load(QStringLiteral(":/i18n/huedrane_en.qm")))
            application.installTranslator(&own_);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        return;
    }
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    if (qt_.load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        application.installTranslator(&qt_);
}
