// LMImportProgress: what an import tells its progress indicator (bytes of the file read so far).
#pragma once

#include <QtGlobal>

class LMImportProgress {
public:
    virtual ~LMImportProgress() = default;
    virtual void setMaximum(qint64 maximum) = 0;
    virtual void setValue(qint64 value) = 0;
};
