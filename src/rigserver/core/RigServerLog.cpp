#include "rigserver/core/RigServerLog.h"

Q_LOGGING_CATEGORY(lcRigServer, "velkor.rigserver", QtInfoMsg)
