// The windows' texts in the run's language: a Japanese text of the program through the installed
// translator (the English .qm when the run is English; itself otherwise).
#pragma once

#include "SLanguage.h"

#include <QCoreApplication>
#include <QString>

inline QString UiText(const char* japanese)
{
    return QCoreApplication::translate(ulib::TranslationContext, japanese);
}
