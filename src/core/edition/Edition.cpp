#include "Edition.h"

bool isEnglish()
{
    return SOCIVANT_ENGLISH_EDITION;
}
