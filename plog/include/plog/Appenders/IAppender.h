#pragma once

#include "plog/Record.h"

namespace plog {

class IAppender {
public:
    virtual ~IAppender() = default;
    virtual void write(const Record& record) = 0;
};

}  // namespace plog
