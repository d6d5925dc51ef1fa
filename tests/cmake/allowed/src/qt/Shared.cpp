#include "low/Low.h"

#include <QString>

int shared()
{
    return low();
}
