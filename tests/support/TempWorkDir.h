// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

/// A fresh temporary folder made the current directory for one test, the
/// previous one restored afterwards. The program keeps its files in the
/// current directory, so every test starts from an empty one.
class TempWorkDir
{
public:
    TempWorkDir();
    ~TempWorkDir();

    TempWorkDir(const TempWorkDir &) = delete;
    TempWorkDir &operator=(const TempWorkDir &) = delete;

    bool isValid() const { return m_valid; }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

    /// Writes bytes to a file of the folder; returns false on failure.
    bool write(const QString &name, const QByteArray &bytes) const;
    /// The bytes of a file of the folder (empty when missing).
    QByteArray read(const QString &name) const;

private:
    QTemporaryDir m_dir;
    QString m_previous;
    bool m_valid = false;
};
