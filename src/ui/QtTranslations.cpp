// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "ui/QtTranslations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstdio>

bool caricaTraduzioniQt(QCoreApplication &app, QTranslator &translator)
{
    const QString name = QStringLiteral("qtbase_it");
    const QStringList folders = {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                                 QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("translations"))};
    for (const QString &folder : folders) {
        if (translator.load(name, folder))
            return app.installTranslator(&translator);
    }
    std::fprintf(stderr,
                 "Quadrivo: traduzione italiana di Qt (%s.qm) non trovata in %s: "
                 "menu e pulsanti standard restano in inglese.\n",
                 qPrintable(name), qPrintable(QDir::toNativeSeparators(folders.join(QStringLiteral(", ")))));
    return false;
}
