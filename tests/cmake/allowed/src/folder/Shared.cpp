#include "low/Low.h"
#include "other/Other.h"

int shared()
{
    return low();
}
