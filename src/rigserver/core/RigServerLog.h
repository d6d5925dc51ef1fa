// The rig server's logging category, "velkor.rigserver": why a radio or a peer was given up on. Its debug
// messages are off by default; QT_LOGGING_RULES="velkor.rigserver.debug=true" turns them on.
// Threads: any.
#pragma once

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcRigServer)
