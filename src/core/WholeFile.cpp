// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "core/WholeFile.h"

#include "core/Failure.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

QString fileErrorReason(const QFileDevice &file)
{
    // QFile's own reasons are in English and sometimes vague; the common
    // ones get an Italian text.
    const QFileInfo info(file.fileName());
    if (info.isDir())
        return QStringLiteral("è una cartella, non un file");
    if (!info.absoluteDir().exists())
        return QStringLiteral("la cartella che dovrebbe contenerlo non esiste");
    if (file.error() == QFileDevice::PermissionsError)
        return QStringLiteral("permesso negato");
    // Qt gives this error on a write for a full device alone.
    if (file.error() == QFileDevice::ResourceError)
        return QStringLiteral("spazio esaurito sul dispositivo");
    return file.errorString();
}

void writeWholeFile(const QString &path, const QByteArray &bytes)
{
    // Closing without commit() removes the temporary file.
    QSaveFile file(path);
    const auto fail = [&] {
        const QString kept = QFileInfo(path).isFile() ? QStringLiteral("Il file precedente è rimasto com'era.")
                                                      : QStringLiteral("Nessun file è stato scritto.");
        throw UserError(QStringLiteral("Impossibile scrivere il file «%1»: %2. %3")
                            .arg(QDir::toNativeSeparators(path), fileErrorReason(file), kept));
    };
    // Unbuffered, so that each write reaches the system at once. A write
    // the system cuts short reports no error; the rest is written again,
    // and the write that fails outright tells why (a full disk, say).
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        fail();
    for (qsizetype done = 0; done < bytes.size();) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0)
            fail();
        done += written;
    }
    if (!file.commit())
        fail();
}
