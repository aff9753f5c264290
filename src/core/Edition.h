#pragma once
#include <QString>

// The edition built. The English edition shows the windows' Italian texts in
// English, translated at run time; the Italian edition shows them as written.
// Every library is the same for both: each program links the one definition
// of its edition (edition_English or edition_Italian, chosen by the CMake
// option SOCIVANT_EDITION), so nothing can switch it while the program runs.
bool isEnglish();

// The product's name in the edition built.
inline QString productTitle()
{
    return isEnglish() ? QStringLiteral("Socivant") : QStringLiteral("Merivolo");
}
