// The identifiers the stand-ins' headers declare, defined once.
#include <ocidl.h>
#include <windows.h>

#include <initguid.h>

#include "OmniRigStandIn.h"
#include "StandInControl.h"
