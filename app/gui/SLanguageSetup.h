// Choosing the run's language at start and installing the translators that go with it: the
// program's English texts, or Qt's own Japanese texts for its standard dialogs and buttons, so a
// window never mixes the two languages.
#pragma once

#include <QTranslator>

class QCoreApplication;

class SLanguageSetup
{
public:
    // Chooses the language (SLanguage.h) from the environment, the stored option and the locale,
    // and installs the translators into the application, which must outlive this object.
    explicit SLanguageSetup(QCoreApplication& application);

private:
    QTranslator own_;
    QTranslator qt_;
};
