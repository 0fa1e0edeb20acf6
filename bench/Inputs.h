// Quadrivo — statistiche di punteggio per un'alleanza di Zorva.
#pragma once

#include <QString>
#include <QStringList>

#include <vector>

/// One member as the generated lists write it.
struct BenchMember
{
    QString nick;
    QString grado; // as written in the list, letter case varied
    qint32 punti = 0;
    QString madre;
    int initialIndex = -1; // the member's entry in the initial list; -1 for a newcomer
};

/// Generated, reproducible inputs for one list size: the rank names of the
/// rank list file and the member lists at the start and at the end of the
/// period, as pasted text. The members' texts are views of the lists'
/// texts, which stay unchanged as long as the inputs live.
struct BenchInputs
{
    QStringList ranks;
    std::vector<BenchMember> initial;
    std::vector<BenchMember> final;
    QString initialText;
    QString finalText;
    int leavers = 0;
    int newcomers = 0;
    int moved = 0; // members whose home planet changed

    /// Current members after the final import: the initial ones, plus the
    /// newcomers and the moved members, who get records of their own.
    int validAfterFinal() const { return static_cast<int>(initial.size()) + newcomers + moved; }
};

/// The same seed gives the same inputs on every machine.
BenchInputs makeInputs(int members, quint32 seed);

/// The rank list file's text: one name per line, CR LF line ends.
QString rankListText(const QStringList &ranks);
