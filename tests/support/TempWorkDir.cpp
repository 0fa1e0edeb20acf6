// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#include "support/TempWorkDir.h"

#include <QDir>
#include <QFile>

TempWorkDir::TempWorkDir()
    : m_previous(QDir::currentPath())
{
    m_valid = m_dir.isValid() && QDir::setCurrent(m_dir.path());
}

TempWorkDir::~TempWorkDir()
{
    QDir::setCurrent(m_previous);
}

bool TempWorkDir::write(const QString &name, const QByteArray &bytes) const
{
    QFile file(m_dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(bytes) == bytes.size();
}

QByteArray TempWorkDir::read(const QString &name) const
{
    QFile file(m_dir.filePath(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}
