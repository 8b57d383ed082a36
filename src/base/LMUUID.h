// LMUUID: unique names for working copies, rows and console sessions.
#pragma once

#include <QString>

class LMUUID {
public:
    // A fresh UUID from /usr/bin/uuidgen, run in the temporary directory (falls back to Qt's generator).
    static QString generate();
    // Five random() values in hex, concatenated; cheap, for names that only need to differ within a run.
    static QString generateFast();
};
